#pragma once

#include "board/board.h"

namespace tesmor {

// How far the deeper plies of the search are widened: "快速搜索", "准确搜索", "精确搜索".
enum class SearchMode { Fast, Accurate, Exact };

// The three rule sets a game is played under: no forbidden moves, Black's forbidden moves, and
// forbidden moves with the RIF opening procedure.
enum class RuleSet { Free, Forbidden, Rif };

// The controller's settings that a search reads, copied when a computation starts so that the
// window may change its own while the search runs.
struct SearchSettings {
  SearchMode searchMode = SearchMode::Fast;
  bool rifRules = true;
  bool useBook = true;
  int rifFifthState = 0;           // 2: two fifth-move offerings are open
  MoveRecord secondOffer{-1, -1};  // the second offering, not on the board
};

// The four things the search reports while it runs.
enum class ProgressField {
  Depth,         // value: the iteration being searched
  Score,         // value: the best root move's search value (the panel shows it less 30)
  MasterScore,   // value: the master search's score of the best root move, shown as it is
  BestPoint,     // value: the PointIndex of the best root move so far
  CurrentPoint,  // value: the PointIndex of the root move being searched
};

// Receives the search's progress, on the thread that runs the search; the receiver decides how
// to show it.
class SearchProgress {
 public:
  virtual ~SearchProgress() = default;
  virtual void Progress(ProgressField field, int value) = 0;
};

}  // namespace tesmor
