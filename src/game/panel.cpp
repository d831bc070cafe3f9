#include "game/panel.h"

namespace tesmor {

int ProgressLine(ProgressField field) {
  switch (field) {
    case ProgressField::Depth:
      return 5;
    case ProgressField::Score:
    case ProgressField::MasterScore:
      return 7;
    case ProgressField::BestPoint:
      return 9;
    case ProgressField::CurrentPoint:
      break;
  }
  return 11;
}

std::string ProgressText(ProgressField field, int value) {
  switch (field) {
    case ProgressField::Depth:
      return std::to_string(value);
    case ProgressField::Score:
      return ScoreText(value);
    case ProgressField::MasterScore:
      return (value > 0 ? "+" : "") + std::to_string(value);
    case ProgressField::BestPoint:
    case ProgressField::CurrentPoint:
      break;
  }
  return PointText(value);
}

std::string ScoreText(int value) {
  const int shown = value >= -99999 && value <= 99999 ? value - 30 : value;
  return (shown > 0 ? "+" : "") + std::to_string(shown);
}

PanelLines::PanelLines()
    : lines_{"开局：", "",         "手数：", "0手",        "计算深度：", "0", "局面评分：",
             "0",      "最佳点：", "",       "当前计算：", "",           "",  ""} {}

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
