#pragma once

#include <optional>

#include "board/board.h"

namespace tesmor {

// Window geometry in client pixels, shared by the painting and the click mapping.

constexpr int PointX(int col) {
  return 45 + 35 * col;
}
constexpr int PointY(int row) {
  return 555 - 35 * row;
}

// The point whose 35 x 35 square holds the click, or nothing outside the board. The coordinates
// are taken as unsigned 16-bit values, as the window system delivers them.
constexpr std::optional<BoardPoint> ClickToPoint(int x, int y) {
  x &= 0xFFFF;
  y &= 0xFFFF;
  const int col = (x + 7) / 35 - 1;
  const int row = 15 - (y - 13) / 35;
  if (!OnBoard(row, col)) return std::nullopt;
  return BoardPoint{row, col};
}

constexpr int PanelLineTop(int index) {
  return 61 + 20 + 35 * index;
}

}  // namespace tesmor
