#pragma once

#include <array>
#include <mutex>
#include <string>

#include "search/search_settings.h"

namespace tesmor {

constexpr int PanelLineCount = 12;
constexpr int PanelOpeningLine = 1;
constexpr int PanelMoveCountLine = 3;

// The panel line that shows a field of the search's progress, and the text it shows there.
int ProgressLine(ProgressField field);
std::string ProgressText(ProgressField field, int value);
// The text of a search value: shown less 30 (the evaluation's base), decided values as they are.
std::string ScoreText(int value);

// The twelve text lines of the information panel: labels at even indices, values at odd ones.
// The search writes its lines from the worker thread while the window paints, so every access
// takes the lock.
class PanelLines {
 public:
  PanelLines();
  // Stores text in line index; returns whether the line changed.
  bool Set(int index, const std::string& text);
  std::string Get(int index) const;
  std::array<std::string, PanelLineCount> Snapshot() const;

 private:
  mutable std::mutex mutex_;
  std::array<std::string, PanelLineCount> lines_;
};

}  // namespace tesmor
