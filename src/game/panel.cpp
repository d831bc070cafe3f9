#include "game/panel.h"

namespace tesmor {

PanelLines::PanelLines()
    : lines_{"开局：",     "",  "手数：",   "0手", "计算深度：", "0",
             "局面评分：", "0", "最佳点：", "",    "当前计算：", ""} {}

bool PanelLines::Set(int index, const std::string& text) {
  std::lock_guard lock(mutex_);
  std::string& line = lines_.at(static_cast<size_t>(index));
  if (line == text) return false;
  line = text;
  return true;
}

std::string PanelLines::Get(int index) const {
  std::lock_guard lock(mutex_);
  return lines_.at(static_cast<size_t>(index));
}

std::array<std::string, PanelLineCount> PanelLines::Snapshot() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

}  // namespace tesmor
