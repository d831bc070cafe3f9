#include "search/master_search.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include "search/master_board.h"
#include "search/master_threats.h"

namespace tesmor {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Infinity = MateScore + 1;
constexpr int MaxPly = 128;
constexpr int NodesPerClockCheck = 1024;

// Mate scores travel through the table relative to the node that stores them.
int ToTable(int score, int ply) {
  return score >= MateBound ? score + ply : score <= -MateBound ? score - ply : score;
}
int FromTable(int score, int ply) {
  return score >= MateBound ? score - ply : score <= -MateBound ? score + ply : score;
}

// One master search: the board it plays on, the clock, the counters and the move-ordering
// memory (killers by ply, history by colour and point) that live for this search only.
class Searcher {
 public:
  Searcher(MasterBoard& board, TranspositionTable& table, const MasterLimits& limits,
           SearchProgress* progress)
      : board_(board), table_(table), limits_(limits), progress_(progress), start_(Clock::now()) {}

  MasterResult Run();
  // A helper thread's work: deepening over the given root moves, `lead` plies ahead of the
  // iteration count, until the stop flag.
  void Deepen(MoveList root, int lead);
  int64_t nodes() const { return nodes_; }

 private:
  // Sort keys of the moves: the ordering score above, the move's place in the list below, so
  // that ties keep generation order (the board order) for a deterministic search.
  using MoveKeys = std::array<int64_t, CellCount>;
  int Node(int depth, int alpha, int beta, int ply, bool pvNode);
  int Leaf(int ply);
  int SearchMoves(const MoveList& moves, MoveKeys& keys, int keep, int depth, int alpha, int beta,
                  int ply, bool pvNode, NodeKind kind, int& bestMove);
  void OrderMoves(MoveList& moves, int ttMove, int ply, int keep = CellCount) const;
  void KeyMoves(const MoveList& moves, int ttMove, int ply, MoveKeys& keys) const;
  static int KeyedMove(const MoveList& moves, int64_t key) {
    return moves.moves[static_cast<size_t>(65535 - (key & 0xFFFF))];
  }
  bool TimeUp();
  int Iterate(MoveList& root, int depth, int alpha, int beta);
  int RootDepth(MoveList& root, int depth, int previous);
  bool Decided(MoveList& root, NodeKind kind, MasterResult& result);
  void PruneRoot(MoveList& root);
  void AnyLegalMoves(MoveList& root);
  void CollectPv(MasterResult& result);
  void Report(ProgressField field, int value) {
    if (progress_) progress_->Progress(field, value);
  }
  // The root's threat searches stop with the search: at the stop flag, or at a quarter of the
  // time, so that the deepening has the rest.
  ThreatAbort Abort() const {
    ThreatAbort abort;
    abort.stop = limits_.stop;
    if (limits_.time.count() > 0) abort.deadline = start_ + limits_.time / 4;
    return abort;
  }
  int64_t ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
  }

  MasterBoard& board_;
  TranspositionTable& table_;
  const MasterLimits& limits_;
  SearchProgress* progress_;
  Clock::time_point start_;
  int64_t nodes_ = 0;
  int64_t nextCheck_ = NodesPerClockCheck;
  bool aborted_ = false;
  int rootBest_ = -1;
  std::array<std::array<int, 2>, MaxPly + 1> killers_{};
  std::array<std::array<int32_t, MasterBoard::Size>, 2> history_{};
};

bool Searcher::TimeUp() {
  if (aborted_) return true;
  if (nodes_ < nextCheck_) return false;
  nextCheck_ = nodes_ + NodesPerClockCheck;
  if (limits_.stop && limits_.stop->load(std::memory_order_relaxed)) aborted_ = true;
  if (limits_.time.count() > 0 && ElapsedMs() >= limits_.time.count()) aborted_ = true;
  return aborted_;
}

void Searcher::KeyMoves(const MoveList& moves, int ttMove, int ply, MoveKeys& keys) const {
  const int own = MasterBoard::Side(board_.SideToMove());
  for (int i = 0; i < moves.size; ++i) {
    const auto k = static_cast<size_t>(i);
    const int index = moves.moves[k];
    int64_t score = moves.scores[k] + history_[own][index] / 64;
    if (index == ttMove)
      score += 1 << 28;
    else if (index == killers_[ply][0])
      score += 1 << 24;
    else if (index == killers_[ply][1])
      score += 1 << 23;
    keys[k] = score * 65536 + (65535 - i);
  }
}

// The best `keep` first, highest score first.
void Searcher::OrderMoves(MoveList& moves, int ttMove, int ply, int keep) const {
  MoveKeys keys;
  KeyMoves(moves, ttMove, ply, keys);
  keep = std::min(keep, moves.size);
  std::partial_sort(keys.begin(), keys.begin() + keep, keys.begin() + moves.size,
                    std::greater<int64_t>());
  std::array<int16_t, CellCount> order;
  for (size_t i = 0; i < static_cast<size_t>(keep); ++i) {
    order[i] = static_cast<int16_t>(KeyedMove(moves, keys[i]));
    moves.scores[i] = static_cast<int32_t>(keys[i] >> 16);
  }
  std::copy(order.begin(), order.begin() + keep, moves.moves.begin());
  moves.size = keep;
}

// The horizon: the evaluation, unless a short search finds a win by continuous fours for the
// side to move.
int Searcher::Leaf(int ply) {
  int64_t budget = board_.weights().leafVcfNodes;
  if (budget > 0 && board_.Count(MasterBoard::Side(board_.SideToMove()), MakesFour) > 0 &&
      FindMasterWin(board_, 8, false, budget) >= 0)
    return MateScore - ply - 3;
  return board_.Evaluate();
}

int Searcher::Node(int depth, int alpha, int beta, int ply, bool pvNode) {
  ++nodes_;
  if (TimeUp()) return 0;
  if (board_.MoveCount() >= CellCount) return 0;
  // The threats decide or narrow the moves.
  MoveList moves;
  const NodeKind kind = GenerateMoves(board_, moves, depth > 0 ? OpenMoves::All : OpenMoves::Any);
  switch (kind) {
    case NodeKind::WinsNow:
      return MateScore - ply - 1;
    case NodeKind::WinsByFour:
      return MateScore - ply - 3;
    case NodeKind::Lost:
      return -(MateScore - ply - 2);
    case NodeKind::Forced:
      ++depth;  // a forced block costs no depth
      break;
    case NodeKind::Defending:
      depth += board_.weights().threeExtension;
      break;
    default:
      break;
  }
  if (moves.size == 0) return 0;
  // Mate distance: nothing here can beat a shorter win already found.
  alpha = std::max(alpha, -(MateScore - ply));
  beta = std::min(beta, MateScore - ply - 1);
  if (alpha >= beta) return alpha;
  // The transposition table.
  const uint64_t key = board_.Key();
  int ttMove = -1;
  if (const auto entry = table_.Probe(key)) {
    ttMove = entry->move;
    const int score = FromTable(entry->score, ply);
    if (!pvNode && entry->depth >= depth &&
        (entry->bound == Bound::Exact || (entry->bound == Bound::Lower && score >= beta) ||
         (entry->bound == Bound::Upper && score <= alpha)))
      return score;
  }
  // The horizon.
  if (depth <= 0 || ply >= MaxPly) return Leaf(ply);
  // The moves, best first, put in order as they are needed: most nodes end after the first.
  MoveKeys keys;
  KeyMoves(moves, ttMove, ply, keys);
  const int keep =
      std::min(moves.size, kind == NodeKind::Open ? board_.weights().openMoves : CellCount);
  const int alphaIn = alpha;
  int bestMove = -1;
  const int best = SearchMoves(moves, keys, keep, depth, alpha, beta, ply, pvNode, kind, bestMove);
  if (aborted_) return 0;
  const Bound bound = best >= beta ? Bound::Lower : best > alphaIn ? Bound::Exact : Bound::Upper;
  table_.Store(key, ToTable(best, ply), bestMove, depth, bound);
  return best;
}

// The `keep` best moves by their keys: the first by one scan, the others sorted only when the
// first does not end the node.
int Searcher::SearchMoves(const MoveList& moves, MoveKeys& keys, int keep, int depth, int alpha,
                          int beta, int ply, bool pvNode, NodeKind kind, int& bestMove) {
  const int own = MasterBoard::Side(board_.SideToMove());
  const int reductionMoves = board_.weights().reductionMoves;
  const bool quiet = kind == NodeKind::Open;
  // Against an open three a block costs no depth. A four of our own that blocks nothing only
  // delays the three, and when it is free too, such fours and their blocks follow each other in
  // every order: counter_four_cost is what it costs.
  const int fourCost = kind == NodeKind::Defending ? board_.weights().counterFourCost : 0;
  int best = -Infinity;
  for (int i = 0; i < keep; ++i) {
    if (i == 0)
      std::iter_swap(keys.begin(), std::max_element(keys.begin(), keys.begin() + moves.size));
    else if (i == 1)
      std::partial_sort(keys.begin() + 1, keys.begin() + keep, keys.begin() + moves.size,
                        std::greater<int64_t>());
    const int move = KeyedMove(moves, keys[static_cast<size_t>(i)]);
    const uint8_t threats = board_.Threats(own, move);
    const bool threat = (threats & (MakesFour | MakesOpenThree)) != 0;
    const bool delays =
        fourCost > 0 && (threats & MakesFour) && !(board_.Threats(1 - own, move) & MakesFour);
    const int childDepth = depth - 1 - (delays ? fourCost : 0);
    // The child's bucket loads while the board brings its lines up to date.
    table_.Prefetch(board_.KeyAfter(move));
    board_.Play(move);
    int score;
    if (i == 0) {
      score = -Node(childDepth, -beta, -alpha, ply + 1, pvNode);
    } else {
      // Late quiet moves are tried one ply shallower first.
      const int reduction =
          quiet && !threat && reductionMoves > 0 && i >= reductionMoves && depth >= 3 ? 1 : 0;
      score = -Node(childDepth - reduction, -alpha - 1, -alpha, ply + 1, false);
      if (score > alpha && reduction > 0)
        score = -Node(childDepth, -alpha - 1, -alpha, ply + 1, false);
      if (score > alpha && score < beta) score = -Node(childDepth, -beta, -alpha, ply + 1, pvNode);
    }
    board_.Undo();
    if (aborted_) return best;
    if (score > best) {
      best = score;
      bestMove = move;
    }
    if (score > alpha) alpha = score;
    if (alpha >= beta) {
      if (killers_[ply][0] != move) {
        killers_[ply][1] = killers_[ply][0];
        killers_[ply][0] = move;
      }
      history_[own][move] += depth * depth;
      break;
    }
  }
  return best;
}

// Root moves in order; the best of each iteration moves to the front.
int Searcher::Iterate(MoveList& root, int depth, int alpha, int beta) {
  int best = -Infinity;
  const int own = MasterBoard::Side(board_.SideToMove());
  for (int i = 0; i < root.size; ++i) {
    const int move = root.moves[static_cast<size_t>(i)];
    Report(ProgressField::CurrentPoint, MasterBoard::PointOf(move));
    board_.Play(move);
    int score;
    if (i == 0) {
      score = -Node(depth - 1, -beta, -alpha, 1, true);
    } else {
      score = -Node(depth - 1, -alpha - 1, -alpha, 1, false);
      if (!aborted_ && score > alpha && score < beta)
        score = -Node(depth - 1, -beta, -alpha, 1, true);
    }
    board_.Undo();
    if (aborted_) break;
    if (score > best) {
      best = score;
      if (i == 0 || score > alpha) {
        rootBest_ = move;
        std::rotate(root.moves.begin(), root.moves.begin() + i, root.moves.begin() + i + 1);
        Report(ProgressField::BestPoint, MasterBoard::PointOf(move));
        Report(ProgressField::MasterScore, score);
      }
    }
    if (score > alpha) alpha = score;
    if (alpha >= beta) {
      history_[own][move] += depth * depth;
      break;
    }
  }
  if (!aborted_)
    table_.Store(board_.Key(), ToTable(best, 0), rootBest_, depth,
                 best >= beta ? Bound::Lower : Bound::Exact);
  return best;
}

// One iteration inside an aspiration window around the previous score, widened on a fail.
int Searcher::RootDepth(MoveList& root, int depth, int previous) {
  int delta = 60;
  int alpha = -Infinity, beta = Infinity;
  if (depth >= 3 && std::abs(previous) < MateBound) {
    alpha = previous - delta;
    beta = previous + delta;
  }
  for (;;) {
    const int score = Iterate(root, depth, alpha, beta);
    if (aborted_) return score;
    if (score <= alpha && alpha > -Infinity) {
      alpha = delta > 500 ? -Infinity : std::max(-Infinity, score - delta);
    } else if (score >= beta && beta < Infinity) {
      beta = delta > 500 ? Infinity : std::min(Infinity, score + delta);
    } else {
      return score;
    }
    delta *= 4;
  }
}

// The answers that need no deepening search: a five, a straight four, a forced block, a lost
// position, a win by fours or by threes and fours.
bool Searcher::Decided(MoveList& root, NodeKind kind, MasterResult& result) {
  auto decide = [&](int index, const char* how) {
    result.point = MasterBoard::PointOf(index);
    result.decidedBy = how;
    result.score = std::string_view(how) == "forced" ? 0 : MateScore;
    return true;
  };
  if (root.size == 0) return false;
  if (kind == NodeKind::WinsNow) return decide(root.moves[0], "five");
  if (kind == NodeKind::WinsByFour) return decide(root.moves[0], "vcf");
  if (kind == NodeKind::Forced || kind == NodeKind::Lost) return decide(root.moves[0], "forced");
  if (board_.Count(1 - MasterBoard::Side(board_.SideToMove()), MakesFive) > 0) return false;
  int64_t budget = 20000;
  const ThreatAbort abort = Abort();
  const int vcf = FindMasterWin(board_, 14, false, budget, abort);
  if (vcf >= 0 && root.Contains(vcf)) return decide(vcf, "vcf");
  budget = std::min<int64_t>(limits_.vctBudget, board_.weights().rootVctNodes);
  const int vct = budget > 0 ? FindMasterWin(board_, 6, true, budget, abort) : -1;
  if (vct >= 0 && root.Contains(vct)) return decide(vct, "vct");
  return false;
}

// When the opponent has a win by fours, only the moves that stop it stay at the root.
void Searcher::PruneRoot(MoveList& root) {
  const int colour = board_.SideToMove();
  GameState& game = board_.game();
  game.SetUpMoveCount(game.moveCount + 1);  // the opponent to move, for the question only
  MasterBoard probe(game, board_.weights());
  game.SetUpMoveCount(game.moveCount - 1);
  int64_t budget = 20000;
  const ThreatAbort abort = Abort();
  if (FindMasterWin(probe, 14, false, budget, abort) < 0) return;
  MoveList kept;
  for (int i = 0; i < root.size; ++i) {
    const int move = root.moves[static_cast<size_t>(i)];
    board_.Play(move);
    budget = 5000;
    const bool stops = board_.Count(MasterBoard::Side(-colour), MakesFour) == 0 ||
                       FindMasterWin(board_, 14, false, budget, abort) < 0;
    board_.Undo();
    if (stops) kept.Add(move, root.scores[static_cast<size_t>(i)]);
  }
  if (kept.size > 0) root = kept;
}

void Searcher::AnyLegalMoves(MoveList& root) {
  const int colour = board_.SideToMove();
  const int own = MasterBoard::Side(colour);
  for (int point = 0; point < CellCount; ++point) {
    const int index = MasterBoard::Index(point);
    if (!board_.IsEmpty(index) || board_.ForbiddenFor(colour, index) ||
        std::find(limits_.excludedPoints.begin(), limits_.excludedPoints.end(), point) !=
            limits_.excludedPoints.end())
      continue;
    root.Add(index, board_.Value(own, index) + board_.Value(1 - own, index));
  }
  OrderMoves(root, -1, 0);
}

void Searcher::CollectPv(MasterResult& result) {
  int played = 0;
  for (int move = rootBest_; move >= 0 && played < 12;) {
    if (!board_.IsEmpty(move)) break;
    result.pv.push_back(MasterBoard::PointOf(move));
    board_.Play(move);
    ++played;
    const auto entry = table_.Probe(board_.Key());
    move = entry ? entry->move : -1;
  }
  while (played-- > 0) board_.Undo();
}

void Searcher::Deepen(MoveList root, int lead) {
  int score = 0;
  for (int depth = 1; depth + lead <= limits_.maxDepth; ++depth) {
    const int found = RootDepth(root, depth + lead, score);
    if (aborted_ || std::abs(found) >= MateBound) return;
    score = found;
  }
}

// The other search threads of one search. Each deepens on a board of its own and shares only the
// table with the first thread, which answers; every other helper runs one ply ahead, so that the
// first thread's next iteration finds its results. They stop when this object goes.
class Helpers {
 public:
  Helpers(const MasterBoard& board, TranspositionTable& table, const MasterLimits& limits,
          const MoveList& root)
      : limits_(limits) {
    limits_.stop = &stop_;
    limits_.time = std::chrono::milliseconds(0);
    for (int i = 1; i < limits.threads; ++i) {
      boards_.push_back(std::make_unique<MasterBoard>(board.game(), board.weights()));
      threads_.emplace_back([this, own = boards_.back().get(), &table, root, lead = i % 2] {
        Searcher searcher(*own, table, limits_, nullptr);
        searcher.Deepen(root, lead);
        nodes_ += searcher.nodes();
      });
    }
  }
  ~Helpers() { Finish(); }
  Helpers(const Helpers&) = delete;
  Helpers& operator=(const Helpers&) = delete;

  // Stops and joins the helpers; the nodes they searched.
  int64_t Finish() {
    stop_ = true;
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
    return nodes_;
  }

 private:
  MasterLimits limits_;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> nodes_{0};
  std::vector<std::unique_ptr<MasterBoard>> boards_;
  std::vector<std::thread> threads_;
};

MasterResult Searcher::Run() {
  MasterResult result;
  MoveList root;
  const NodeKind kind = GenerateMoves(board_, root);
  // Points the caller excludes leave the root.
  MoveList allowed;
  for (int i = 0; i < root.size; ++i) {
    const int move = root.moves[static_cast<size_t>(i)];
    const int point = MasterBoard::PointOf(move);
    if (std::find(limits_.excludedPoints.begin(), limits_.excludedPoints.end(), point) ==
        limits_.excludedPoints.end())
      allowed.Add(move, root.scores[static_cast<size_t>(i)]);
  }
  root = allowed;
  // A lost position may leave no move the threats allow (a block forbidden to Black), and the
  // caller's exclusions may leave none: any legal point is better than no answer.
  if (root.size == 0) AnyLegalMoves(root);
  // Threats that decide.
  if (Decided(root, kind, result) || root.size == 0) return result;
  if (root.size == 1) {
    result.point = MasterBoard::PointOf(root.moves[0]);
    result.decidedBy = "forced";
    return result;
  }
  // Against a win by fours only the defences.
  PruneRoot(root);
  OrderMoves(root, -1, 0);
  rootBest_ = root.moves[0];
  // The helpers copy the board before this thread plays on it.
  Helpers helpers(board_, table_, limits_, root);
  // Deepen until the time, the stop, the depth or a decided score ends it.
  int score = 0;
  for (int depth = 1; depth <= limits_.maxDepth; ++depth) {
    Report(ProgressField::Depth, depth);
    const int found = RootDepth(root, depth, score);
    // A stopped iteration's best move stands (rootBest_), its score only when it is the first.
    if (aborted_ && (depth > 1 || found <= -Infinity)) break;
    score = found;
    result.depth = depth;
    if (aborted_) break;
    // A win ends the deepening; a loss found within the pruned width may yet be escaped deeper.
    if (score >= MateBound) break;
    if (limits_.time.count() > 0 &&
        ElapsedMs() * 100 > limits_.time.count() * board_.weights().iterationPercent)
      break;
  }
  result.point = MasterBoard::PointOf(rootBest_);
  result.score = score;
  result.stopped = aborted_;
  result.nodes = nodes_ + helpers.Finish();
  CollectPv(result);
  return result;
}

}  // namespace

MasterResult MasterSearch::Search(const GameState& game, const MasterLimits& limits,
                                  SearchProgress* progress) {
  table_.NewSearch();
  MasterBoard board(game, weights_);
  Searcher searcher(board, table_, limits, progress);
  return searcher.Run();
}

}  // namespace tesmor
