#include "board/symmetry.h"

#include <algorithm>

namespace tesmor {

namespace {

// The board cell that transform id copies to key cell (i, j).
BoardPoint SourceCell(int id, int i, int j) {
  switch (id) {
    case 0:
      return {i, j};
    case 1:
      return {j, 14 - i};
    case 2:
      return {14 - j, i};
    case 3:
      return {i, 14 - j};
    case 4:
      return {14 - i, 14 - j};
    case 5:
      return {14 - j, 14 - i};
    case 6:
      return {j, i};
    default:
      return {14 - i, j};
  }
}

constexpr uint32_t CellCode(int32_t value) {
  return static_cast<uint32_t>((value + 4) % 4);
}

bool RowsEqual(const PositionKey& a, const PositionKey& b) {
  return std::equal(a.begin() + 1, a.end(), b.begin() + 1);
}

}  // namespace

PositionKey MakePositionKey(const std::array<int32_t, CellCount>& cells, int id) {
  PositionKey key{};
  key[0] = static_cast<uint32_t>(id);
  for (int i = 0; i < BoardSize; ++i) {
    uint32_t word = 0;
    for (int j = BoardSize - 1; j >= 0; --j) {
      const BoardPoint source = SourceCell(id, i, j);
      word = (word << 2) + CellCode(cells[CellIndex(source.row, source.col)]);
    }
    key[1 + i] = word;
  }
  return key;
}

int MapKeyPointToBoard(int p, int id) {
  if (p < 0 || p >= CellCount) return -1;
  const BoardPoint board = SourceCell(id, PointRow(p), PointCol(p));
  return PointIndex(board.row, board.col);
}

void NormaliseKey(PositionKey& key) {
  const bool anyStone = std::any_of(key.begin() + 1, key.end(), [](uint32_t w) { return w != 0; });
  if (!anyStone) return;
  while (key[1] == 0) {
    std::copy(key.begin() + 2, key.end(), key.begin() + 1);
    key[15] = 0;
  }
  while (std::none_of(key.begin() + 1, key.end(), [](uint32_t w) { return (w & 3u) != 0; })) {
    for (int i = 1; i <= BoardSize; ++i) key[i] >>= 2;
  }
}

int SameFifthOfferingExists(GameState& state, int row, int col) {
  const MoveRecord first = state.history[4];
  PositionKey offered = MakePositionKey(state.cells, 0);
  NormaliseKey(offered);

  state.ReplaceNewestMove(row, col);
  int same = 0;
  for (int id = 0; id < TransformCount && !same; ++id) {
    PositionKey candidate = MakePositionKey(state.cells, id);
    NormaliseKey(candidate);
    same = RowsEqual(offered, candidate) ? 1 : 0;
  }
  state.ReplaceNewestMove(first.row, first.col);
  return same;
}

}  // namespace tesmor
