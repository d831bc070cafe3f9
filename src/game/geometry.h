#pragma once

#include "board/board.h"

namespace tesmor {

// Window geometry in client pixels, shared by the painting, the click mapping and the messages
// that carry a click.

constexpr int PointX(int col) {
  return 45 + 35 * col;
}
constexpr int PointY(int row) {
  return 555 - 35 * row;
}

// The point whose 35 x 35 square holds the click, or nullopt-like {-1, -1} outside the board.
// The coordinates arrive as unsigned 16-bit values.
constexpr BoardPoint ClickToPoint(int x, int y) {
  const int col = (x + 7) / 35 - 1;
  const int row = 15 - (y - 13) / 35;
  if (!OnBoard(row, col)) return {-1, -1};
  return {row, col};
}

// The lParam of a click at the drawing position of (row, col), as a worker sends it.
constexpr int ClickParam(int row, int col) {
  return ((555 - row * 35) << 16) | ((col + 1) * 35);
}
constexpr int ClickX(int lParam) {
  return lParam & 0xFFFF;
}
constexpr int ClickY(int lParam) {
  return (lParam >> 16) & 0xFFFF;
}

constexpr int PanelLineCount = 12;
constexpr int PanelLineTop(int index) {
  return 61 + 20 + 35 * index;
}

}  // namespace tesmor
