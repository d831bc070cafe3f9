#pragma once

#include <array>
#include <mutex>
#include <string>

#include "game/geometry.h"

namespace tesmor {

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
