#pragma once

#include <string>

#include "board/board.h"

namespace tesmor {

// Command ids of the three search modes; the search reads the ticked one as its mode.
constexpr int FastSearchMode = 40158;      // "快速搜索"
constexpr int AccurateSearchMode = 40159;  // "准确搜索"
constexpr int ExactSearchMode = 40155;     // "精确搜索"

// The controller's settings that a search reads, copied when a computation starts so that the
// window may change its own while the search runs.
struct SearchSettings {
  int searchMode = FastSearchMode;
  bool rifRules = true;
  bool useBook = true;
  int rifFifthState = 0;           // 2: two fifth-move offerings are open
  MoveRecord secondOffer{-1, -1};  // the second offering, not on the board
};

// Panel line indices that the search rewrites while it runs.
constexpr int PanelDepthLine = 5;
constexpr int PanelScoreLine = 7;
constexpr int PanelBestLine = 9;
constexpr int PanelCurrentLine = 11;

// Receives the search's progress: one of the four panel lines above with its new text. Called on
// the thread that runs the search.
class SearchProgress {
 public:
  virtual ~SearchProgress() = default;
  virtual void PanelLine(int index, const std::string& text) = 0;
};

}  // namespace tesmor
