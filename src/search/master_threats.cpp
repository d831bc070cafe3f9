#include "search/master_threats.h"

#include <bit>

namespace tesmor {

namespace {

int OrderScore(const MasterBoard& board, int own, int index) {
  return board.Value(own, index) + board.weights().orderDefence * board.Value(1 - own, index) / 100;
}

// Adds the points of `from` (no point twice) that the side to move may play to the empty list
// `to`, scored for ordering.
void AddLegal(MasterBoard& board, const MoveList& from, MoveList& to) {
  const int colour = board.SideToMove();
  const int own = MasterBoard::Side(colour);
  for (int i = 0; i < from.size; ++i) {
    const int index = from.moves[static_cast<size_t>(i)];
    if (board.ForbiddenFor(colour, index)) continue;
    to.Add(index, OrderScore(board, own, index));
  }
}

// Whether a stone at `index` can take away the opponent's straight four at `point`. The four
// would be four stones in a row with an empty end on either side, all on the one line and
// within four points of `point`; a stone anywhere else leaves it standing.
bool OnStraightFourLine(const MasterBoard& board, int opponent, int point, int index) {
  if (index == point) return true;
  for (int dir = 0; dir < 4; ++dir) {
    if (board.Pattern(opponent, point, dir) != OpenFourLine) continue;
    const int step = MasterBoard::Step[static_cast<size_t>(dir)];
    for (int k = 1; k <= 4; ++k)
      if (index == point + k * step || index == point - k * step) return true;
  }
  return false;
}

// The answers to an open three: our own fours, and those of the opponent's four points that
// lie on the line of every straight four the opponent could make. Every defence is such a
// point; a four point on another line leaves the straight four standing. When no point is on
// all of them (two threes), every four point is answered, as a lost position allows.
NodeKind AnswerOpenThree(MasterBoard& board, int colour, const MoveList& straightFours,
                         MoveList& list) {
  const int opponent = MasterBoard::Side(-colour);
  MoveList fourPoints;
  CollectThreatPoints(board, -colour, MakesFour, fourPoints);
  MoveList defences;
  for (int i = 0; i < fourPoints.size; ++i) {
    const int index = fourPoints.moves[static_cast<size_t>(i)];
    bool onAll = true;
    for (int j = 0; j < straightFours.size && onAll; ++j)
      onAll =
          OnStraightFourLine(board, opponent, straightFours.moves[static_cast<size_t>(j)], index);
    if (onAll) defences.Add(index);
  }
  if (defences.size == 0) defences = fourPoints;
  // The opponent's four points are legal ones only; ours are added whatever the opponent may do.
  CollectThreatPoints(board, colour, MakesFour, defences);
  AddLegal(board, defences, list);
  return list.size > 0 ? NodeKind::Defending : NodeKind::Open;
}

}  // namespace

void CollectThreatPoints(MasterBoard& board, int colour, uint8_t mask, MoveList& list) {
  const int side = MasterBoard::Side(colour);
  // The set of the rarest bit asked for, each point then checked for the others.
  ThreatBit rarest = MakesOpenThree;
  for (const ThreatBit bit : {MakesFour, MakesOpenFour, MakesFive})
    if (mask & bit) rarest = bit;
  if (board.Count(side, rarest) == 0) return;
  const MasterBoard::PointSet& set = board.Points(side, rarest);
  // The set holds each point once: only the points listed before can repeat one.
  const int before = list.size;
  for (int word = MasterBoard::FirstSetWord; word < MasterBoard::EndSetWord; ++word) {
    for (uint64_t bits = set[static_cast<size_t>(word)]; bits != 0; bits &= bits - 1) {
      const int index = word * 64 + std::countr_zero(bits);
      if ((board.Threats(side, index) & mask) != mask || list.Contains(index, before)) continue;
      if (board.ForbiddenFor(colour, index)) continue;
      list.Add(index);
    }
  }
}

NodeKind GenerateMoves(MasterBoard& board, MoveList& list, OpenMoves open) {
  list.size = 0;
  const int colour = board.SideToMove();
  const int own = MasterBoard::Side(colour);
  if (board.Count(own, MakesFive) > 0) {
    CollectThreatPoints(board, colour, MakesFive, list);
    if (list.size > 0) return NodeKind::WinsNow;
  }
  if (board.Count(1 - own, MakesFive) > 0) {
    MoveList fives;
    CollectThreatPoints(board, -colour, MakesFive, fives);
    if (fives.size > 0) {
      AddLegal(board, fives, list);
      if (fives.size >= 2 || list.size == 0) return NodeKind::Lost;
      return NodeKind::Forced;
    }
  }
  if (board.Count(own, MakesOpenFour) > 0) {
    CollectThreatPoints(board, colour, MakesOpenFour, list);
    if (list.size > 0) return NodeKind::WinsByFour;
  }
  if (board.Count(1 - own, MakesOpenFour) > 0) {
    MoveList threats;
    CollectThreatPoints(board, -colour, MakesOpenFour, threats);
    if (threats.size > 0 && AnswerOpenThree(board, colour, threats, list) == NodeKind::Defending)
      return NodeKind::Defending;
  }
  const MasterBoard::PointSet& candidates = board.Candidates();
  for (int word = MasterBoard::FirstSetWord; word < MasterBoard::EndSetWord; ++word) {
    for (uint64_t bits = candidates[static_cast<size_t>(word)]; bits != 0; bits &= bits - 1) {
      const int index = word * 64 + std::countr_zero(bits);
      if (board.ForbiddenFor(colour, index)) continue;
      list.Add(index, OrderScore(board, own, index));
      if (open == OpenMoves::Any) return NodeKind::Open;
    }
  }
  return NodeKind::Open;
}

namespace {

// The search for a win by threats. The attacker plays fours (and, for a win by threes and
// fours, moves that make an open three); the defender answers every four at its point and every
// three at each of its defences or with a four of its own. Both sides' moves obey the renju
// rule: a Black four or three whose completing point is forbidden is no threat, and a block
// forbidden to Black loses.
class ThreatSearch {
 public:
  ThreatSearch(MasterBoard& board, bool vct, int64_t& budget, const ThreatAbort& abort)
      : board_(board), vct_(vct), budget_(budget), abort_(abort), attacker_(board.SideToMove()) {}

  int Root(int depth) {
    MoveList moves;
    if (!AttackMoves(moves)) return moves.size > 0 ? moves.moves[0] : -1;
    for (int i = 0; i < moves.size; ++i) {
      const int index = moves.moves[static_cast<size_t>(i)];
      board_.Play(index);
      const bool won = Defend(depth - 1);
      board_.Undo();
      if (won) return index;
      if (budget_ <= 0) break;
    }
    return -1;
  }

 private:
  // The attacker's threatening moves; false when the position decides at once (moves then
  // holds the winning point, or nothing when the attacker must give up).
  bool AttackMoves(MoveList& moves) {
    const int own = MasterBoard::Side(attacker_);
    if (board_.Count(own, MakesFive) > 0) {
      CollectThreatPoints(board_, attacker_, MakesFive, moves);
      if (moves.size > 0) return false;
    }
    if (board_.Count(1 - own, MakesFive) > 0) return false;  // the caller handles blocks
    CollectThreatPoints(board_, attacker_, MakesOpenFour, moves);
    if (moves.size > 0) return false;
    CollectThreatPoints(board_, attacker_, MakesFour, moves);
    if (vct_) CollectThreatPoints(board_, attacker_, MakesOpenThree, moves);
    return true;
  }

  bool Attack(int depth) {
    if (--budget_ <= 0 || Aborted()) return false;
    const int own = MasterBoard::Side(attacker_);
    if (board_.Count(own, MakesFive) > 0) return true;
    if (board_.Count(1 - own, MakesFive) > 0) {
      // The defender's four must be blocked; the attack goes on only if the threat stands.
      MoveList fives;
      CollectThreatPoints(board_, -attacker_, MakesFive, fives);
      if (fives.size != 1 || board_.ForbiddenFor(attacker_, fives.moves[0])) return false;
      board_.Play(fives.moves[0]);
      const bool won = Defend(depth);
      board_.Undo();
      return won;
    }
    if (depth <= 0) return false;
    MoveList moves;
    if (!AttackMoves(moves)) return moves.size > 0;
    for (int i = 0; i < moves.size && budget_ > 0; ++i) {
      board_.Play(moves.moves[static_cast<size_t>(i)]);
      const bool won = Defend(depth - 1);
      board_.Undo();
      if (won) return true;
    }
    return false;
  }

  // The defender to move against a four or an open three (or nothing, when the threat is gone).
  bool Defend(int depth) {
    const int defender = -attacker_;
    const int own = MasterBoard::Side(defender);
    if (board_.Count(own, MakesFive) > 0) return false;
    MoveList moves;
    if (board_.Count(1 - own, MakesFive) > 0) {
      CollectThreatPoints(board_, attacker_, MakesFive, moves);
      if (moves.size >= 2) return true;
      if (moves.size == 0) return false;
      if (board_.ForbiddenFor(defender, moves.moves[0])) return true;
    } else {
      CollectThreatPoints(board_, attacker_, MakesOpenFour, moves);
      if (moves.size == 0) return false;  // no threat left: the defender is free
      moves.size = 0;
      CollectThreatPoints(board_, attacker_, MakesFour, moves);
      CollectThreatPoints(board_, defender, MakesFour, moves);
    }
    // Every legal defence must fail; with none (all forbidden to Black) the attack wins.
    for (int i = 0; i < moves.size; ++i) {
      const int index = moves.moves[static_cast<size_t>(i)];
      if (board_.ForbiddenFor(defender, index)) continue;
      board_.Play(index);
      const bool won = Attack(depth);
      board_.Undo();
      if (!won) return false;
    }
    return true;
  }

  // Every 256 nodes: a stop or the deadline spends the budget.
  bool Aborted() {
    if ((budget_ & 255) != 0) return false;
    if ((abort_.stop && abort_.stop->load(std::memory_order_relaxed)) ||
        std::chrono::steady_clock::now() >= abort_.deadline)
      budget_ = 0;
    return budget_ <= 0;
  }

  MasterBoard& board_;
  bool vct_;
  int64_t& budget_;
  const ThreatAbort& abort_;
  int attacker_;
};

}  // namespace

int FindMasterWin(MasterBoard& board, int depth, bool vctMode, int64_t& budget,
                  const ThreatAbort& abort) {
  ThreatSearch search(board, vctMode, budget, abort);
  return search.Root(depth);
}

}  // namespace tesmor
