#include "search/vcf.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "board/forbidden.h"
#include "search/path_keys.h"

namespace tesmor {

namespace {

// The empty points on which a stone of colour could make a four: those in a run of five cells
// that holds at least three of its stones and nothing else but empty points. Every four and every
// straight four arises in such a run, so the passes of a node need test no other point. Bit sets
// by CellIndex, read in row order: all those points, and those that make a straight four.
class FourCandidates {
 public:
  using Cells = std::array<uint64_t, 4>;
  void Add(Cells& cells, int cell) { cells[cell >> 6] |= uint64_t{1} << (cell & 63); }
  // The first cell of the set, in row order, for which test(cell) holds, or -1.
  template <typename Test>
  static int First(const Cells& cells, Test test) {
    for (int w = 0; w < 4; ++w) {
      for (uint64_t bits = cells[w]; bits != 0; bits &= bits - 1) {
        const int cell = w * 64 + std::countr_zero(bits);
        if (test(cell)) return cell;
      }
    }
    return -1;
  }

  Cells all{};
  Cells straight{};
};

// A line's four points for a colour as FindFourCandidates gathers them, packed: the positions in
// a run of three (bits 32-47) and those that make a straight four (bits 48-63). Kept by what the
// line holds (bits 0-31) with the rule setting, since a node's lines are mostly its parent's.
uint64_t LineFourPoints(const ThreatBoard& board, int line, int colour, uint64_t& kept) {
  const unsigned own = ThreatOwnBits(board, line, colour);
  const unsigned blocked = ThreatBlockedBits(board, line, colour);
  const uint32_t key = own | (board.forbiddenRulesOn != 0 ? 1u << 15 : 0u) | blocked << 16;
  if (static_cast<uint32_t>(kept) == key) return kept;
  const unsigned runs = ThreatOpenRuns(board, line, colour, 3);
  const unsigned covered = runs | runs << 1 | runs << 2 | runs << 3 | runs << 4;
  const uint64_t empty = covered & ~(own | blocked);
  const uint64_t straight = runs != 0 ? ThreatStraightFourPoints(board, line, colour) : 0;
  kept = key | empty << 32 | straight << 48;
  return kept;
}

FourCandidates FindFourCandidates(const ThreatBoard& board, int colour,
                                  std::array<uint64_t, ThreatLineCount>& kept) {
  FourCandidates candidates;
  const auto& points = ThreatCellPoints();
  ForEachBusyLine(board, colour, 3, [&](int line) {
    const uint64_t found = LineFourPoints(board, line, colour, kept[line]);
    for (unsigned empty = found >> 32 & 0xFFFF; empty != 0; empty &= empty - 1)
      candidates.Add(candidates.all, points[line * BoardSize + std::countr_zero(empty)]);
    for (unsigned straight = static_cast<unsigned>(found >> 48); straight != 0;
         straight &= straight - 1)
      candidates.Add(candidates.straight, points[line * BoardSize + std::countr_zero(straight)]);
  });
  return candidates;
}

// The four and its block that led to a node; the first node has none (-1).
struct LastStep {
  int attack = -1;
  int block = -1;
};

int SearchNode(SearchContext& context, ThreatBoard& board, int side, int limit, LastStep last);

// One VCF node: its cache key and the stones it places on the threat board. The search plays on
// the threat board alone; the game record it was built from is not touched.
class VcfStep {
 public:
  VcfStep(SearchContext& context, ThreatBoard& board, int attacker, int limit, LastStep last)
      : context_(context),
        board_(board),
        attacker_(attacker),
        limit_(limit),
        last_(last),
        key_(context.vcfPathKey) {}

  int Search();

 private:
  int Store(int result) {
    context_.vcfCache.Store(key_, limit_ * 65536 + result);
    return result;
  }
  int Fail() { return Store(context_.vcfComplete ? VcfNone : VcfUnknown); }

  void Place(int point, int colour) {
    SetThreatCell(board_, PointRow(point), PointCol(point), colour);
  }
  void Remove(int point) { SetThreatCell(board_, PointRow(point), PointCol(point), Empty); }
  bool Forbidden(int point) {
    return ThreatForbiddenKind(board_, PointRow(point), PointCol(point)) != None;
  }
  // Whether an attacking stone on the empty point would be forbidden; the rule test puts a probe
  // stone there itself. Only Black's stones can be.
  bool AttackForbidden(int point) { return attacker_ == Black && Forbidden(point); }
  bool BlackDefends() const { return attacker_ == White && board_.forbiddenRulesOn != 0; }

  // Marks what this node reads of the board but for the rule's tests, which mark their own: every
  // line of the attacker's where a four can arise, and of the defender's where a five point can
  // (below the first node, one on the lines of the last block).
  void WatchNode() {
    ForEachBusyLine(board_, attacker_, 3, [&](int line) { WatchRuns(board_, line, attacker_); });
    const int defender = -attacker_;
    if (last_.block < 0) {
      ForEachBusyLine(board_, defender, 3, [&](int line) { WatchRuns(board_, line, defender); });
      return;
    }
    for (int d = 0; d < 4; ++d)
      WatchRuns(board_,
                ThreatCellIndex(d, PointRow(last_.block), PointCol(last_.block)) / BoardSize,
                defender);
  }

  enum class Step { Won, Next };
  Step Attack(int point, bool forcedBlock, int& answer);
  // What a node below the last attacking step answers: unknown, and the search incomplete.
  Step OutOfSteps() {
    context_.vcfComplete = false;
    return Step::Next;
  }

  SearchContext& context_;
  ThreatBoard& board_;
  int attacker_;
  int limit_;
  LastStep last_;
  uint64_t key_;
};

int VcfStep::Search() {
  // A cached answer: a win or an exhaustive "none" holds at any limit; "unknown" only at the
  // limit it was found with.
  if (const int32_t* cached = context_.vcfCache.Find(key_)) {
    const int result = *cached & 0xFFFF;
    const int limit = *cached >> 16;
    if (result <= VcfNone) return result;
    if (result == VcfUnknown && limit == limit_) return VcfUnknown;
  }

  if (board_.watch != nullptr) WatchNode();

  // The attacker completes a five. Below the first node only the win counts, not the point, and
  // neither side had a five point in the node above but for the one the four there blocked: new
  // ones lie on the lines of the four or of its block.
  const int defender = -attacker_;
  const bool first = last_.attack < 0;
  if (const int fives = first ? ThreatFivePoints(board_, attacker_)
                              : ThreatFivePointsThrough(board_, PointRow(last_.attack),
                                                        PointCol(last_.attack), attacker_);
      fives != 0)
    return Store(fives & 0xFF);

  // The defender threatens a five: block it, or lose when one block cannot stop them all.
  const int threats = first ? ThreatFivePointsAnyOf(board_, defender)
                            : ThreatFivePointsThrough(board_, PointRow(last_.block),
                                                      PointCol(last_.block), defender);
  if (threats >= ThreatManyPoints) return Fail();
  int answer = 0;
  if (threats != 0) {
    return Attack(threats & 0xFF, true, answer) == Step::Won ? answer : Fail();
  }

  // A straight four wins by itself; otherwise try every four.
  const FourCandidates candidates = FindFourCandidates(
      board_, attacker_, context_.vcfBoard.fourPoints[attacker_ == Black ? 0 : 1]);
  const int straight = FourCandidates::First(candidates.straight, [&](int cell) {
    return !AttackForbidden(PointIndex(cell / BoardSize, cell % BoardSize));
  });
  if (straight >= 0) return Store(PointIndex(straight / BoardSize, straight % BoardSize));
  // On the last attacking step no four can win unless a Black defender's block may be barred:
  // a four only shows the search incomplete, and once that is known the rest tell nothing.
  const bool lastStep = limit_ <= 1 && !BlackDefends();
  const int four = FourCandidates::First(candidates.all, [&](int cell) {
    if (lastStep && !context_.vcfComplete) return true;
    return Attack(PointIndex(cell / BoardSize, cell % BoardSize), false, answer) == Step::Won;
  });
  if (four >= 0 && !lastStep) return answer;
  return Fail();
}

// Plays a four at point, lets the defender block it and searches on. The four is judged before
// its stone is placed: most points tried make none.
VcfStep::Step VcfStep::Attack(int point, bool forcedBlock, int& answer) {
  const int row = PointRow(point);
  const int col = PointCol(point);
  if (forcedBlock && ThreatStraightFour(board_, row, col, attacker_) && !AttackForbidden(point)) {
    answer = Store(point);
    return Step::Won;
  }
  const int completion = ThreatFourCompletion(board_, row, col, attacker_);
  if (completion == 0 || AttackForbidden(point)) return Step::Next;
  const int block = completion & 0xFF;
  // Only a Black defender can be barred from blocking; below the last attacking step the search
  // proves nothing, and the stones need not be placed to learn that.
  if (limit_ <= 1 && !BlackDefends()) return OutOfSteps();
  Place(point, attacker_);
  if (BlackDefends() && Forbidden(block)) {
    // The defender may not block there: the four wins.
    Remove(point);
    answer = Store(point);
    return Step::Won;
  }
  if (limit_ <= 1) {
    Remove(point);
    return OutOfSteps();
  }
  Place(block, -attacker_);
  // The cache knows a node by the set of attacking stones and the set of blocks, whatever their
  // order: the Zobrist numbers of Black stones stand for attacks and White's for blocks.
  const uint64_t stones = ZobristStone(Black, point) ^ ZobristStone(White, block);
  context_.vcfPathKey ^= stones;
  const int result = SearchNode(context_, board_, attacker_, limit_ - 1, {point, block});
  context_.vcfPathKey ^= stones;
  Remove(block);
  Remove(point);
  if (result < VcfNone) {
    answer = Store(point);
    return Step::Won;
  }
  return Step::Next;
}

// Deepens the limit from 1. Every level searches from the position of the record; the searches
// take back every stone they place, so one threat board built from the record serves them all.
int VcfEntry(SearchContext& context, ThreatBoard& board, int attacker, int limit) {
  if (limit <= 0) {
    context.vcfComplete = false;
    return VcfUnknown;
  }
  context.vcfCache.Clear();
  const int shorter = VcfEntry(context, board, attacker, limit - 1);
  if (shorter < VcfNone) return shorter;
  // The shorter search was exhaustive: a longer one cannot find more.
  if (context.vcfComplete) return VcfNone;
  context.vcfComplete = true;
  context.vcfPathKey = 0;
  const int found = VcfNode(context, board, attacker, limit);
  // Every shorter search failed, so the win takes exactly this many attacking moves.
  if (found < VcfNone) context.vcfLength = limit;
  return found;
}

// The context's threat board brought up to the record: consecutive searches of one alpha-beta
// search differ by a few stones, so only those are written.
ThreatBoard& BoardFor(SearchContext& context, const GameState& game) {
  SearchContext::VcfBoard& kept = context.vcfBoard;
  if (!kept.valid || kept.board.forbiddenRulesOn != game.forbiddenRulesOn) {
    BuildThreatBoard(kept.board, game);
    kept.stones.Follow(game, [](int, int) {});
    kept.valid = true;
    return kept.board;
  }
  kept.stones.Follow(game, [&](int cell, int) {
    SetThreatCell(kept.board, cell / BoardSize, cell % BoardSize, game.cells[cell]);
  });
  return kept.board;
}

int VcfTop(SearchContext& context, const GameState& game, int attacker, int limit) {
  return VcfEntry(context, BoardFor(context, game), attacker, limit);
}

int SearchNode(SearchContext& context, ThreatBoard& board, int side, int limit, LastStep last) {
  // A stopped search unwinds as one that ran out of depth: it proved nothing.
  if (limit <= 0 || context.Stopped()) {
    context.vcfComplete = false;
    return VcfUnknown;
  }
  ++context.vcfNodes;
  return VcfStep(context, board, side, limit, last).Search();
}

}  // namespace

int VcfNode(SearchContext& context, ThreatBoard& board, int side, int limit) {
  return SearchNode(context, board, side, limit, {});
}

int FindVcf(SearchContext& context, const GameState& game, int limit) {
  return VcfTop(context, game, game.SideToMove(), limit);
}

int FindVcfFor(SearchContext& context, const GameState& game, int side, int limit) {
  return VcfTop(context, game, side, limit);
}

int FindVcfRecorded(SearchContext& context, const GameState& game, int side, int limit,
                    VcfRecord& record) {
  ThreatBoard& board = BoardFor(context, game);
  record.watch = {};
  record.watch.stoneColour = -side;
  const int64_t nodes = context.vcfNodes;
  board.watch = &record.watch;
  const int answer = VcfEntry(context, board, side, limit);
  board.watch = nullptr;
  record.stonesKey = game.StonesKey();
  record.rules = game.forbiddenRulesOn;
  record.side = side;
  record.limit = limit;
  record.valid = !context.Stopped();
  record.answer = answer;
  record.complete = context.vcfComplete;
  record.length = context.vcfLength;
  record.nodes = context.vcfNodes - nodes;
  return answer;
}

int FindVcfAfterDefence(SearchContext& context, const GameState& game, int limit,
                        const VcfRecord& record, int point) {
  const int row = PointRow(point);
  const int col = PointCol(point);
  const int defender = -record.side;
  if (!record.valid || context.Stopped() || limit != record.limit ||
      game.SideToMove() != record.side || game.forbiddenRulesOn != record.rules ||
      game.cell(row, col) != defender ||
      game.StonesKey() != (record.stonesKey ^ ZobristStone(defender, CellIndex(row, col))) ||
      ThreatWatched(record.watch, row, col))
    return FindVcf(context, game, limit);
  context.vcfNodes += record.nodes;
  context.vcfComplete = record.complete;
  if (record.answer < VcfNone) context.vcfLength = record.length;
  return record.answer;
}

}  // namespace tesmor
