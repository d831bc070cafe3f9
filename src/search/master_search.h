#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "search/master_table.h"
#include "search/master_weights.h"
#include "search/search_settings.h"

namespace tesmor {

// Scores of the master search: a win in n plies is MateScore - n from the winner's view.
constexpr int MateScore = 30000;
constexpr int MateBound = 29000;  // beyond this a score is a forced win or loss
constexpr int MasterMaxDepth = 60;

// What one master search may spend, and what it must not play.
struct MasterLimits {
  std::chrono::milliseconds time{0};  // 0: no time limit
  int maxDepth = MasterMaxDepth;      // the deepest iteration
  std::atomic<bool>* stop = nullptr;  // set by another thread: answer the best move so far
  std::vector<int> excludedPoints;    // points the root may not play (PointIndex)
  int64_t vctBudget = 1000000;  // at most this many nodes of the root's search for a win by threats
  int threads = 1;  // search threads sharing the table; only one gives a node count that repeats
};

// The answer of a master search. point is NoPoint only when no point may be played.
struct MasterResult {
  int point = NoPoint;
  int score = 0;
  int depth = 0;  // the last iteration finished (or started, when stopped in the first)
  int64_t nodes = 0;
  std::vector<int> pv;  // principal variation as PointIndex values, point first
  bool stopped = false;
  const char* decidedBy = "search";  // "five", "vcf", "vct", "forced" or "search"
};

// The second, stronger search: iterative deepening principal-variation search with aspiration
// windows and a transposition table over a board that keeps its line patterns up to date, with
// threat-driven move generation and searches for wins by fours (and threes at the root). The
// table and the weights live as long as the object, so consecutive moves share what was learnt.
// One search at a time; the position given is copied and never changed.
class MasterSearch {
 public:
  explicit MasterSearch(size_t tableMegabytes = 64) : table_(tableMegabytes) {}
  MasterSearch(const MasterSearch&) = delete;
  MasterSearch& operator=(const MasterSearch&) = delete;

  void SetTableMegabytes(size_t megabytes) { table_.Resize(megabytes); }
  void ClearTable() { table_.Clear(); }
  void SetWeights(const MasterWeights& weights) { weights_ = weights; }
  const MasterWeights& weights() const { return weights_; }

  MasterResult Search(const GameState& game, const MasterLimits& limits,
                      SearchProgress* progress = nullptr);

 private:
  TranspositionTable table_;
  MasterWeights weights_;
};

}  // namespace tesmor
