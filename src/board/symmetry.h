#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

namespace tesmor {

// A position packed as the transform id and 15 key rows of 2-bit cell codes (Empty 0, Black 1,
// White 3), key column j in bits 2j and 2j + 1. The opening book stores and finds positions in
// this form.
using PositionKey = std::array<uint32_t, 16>;

constexpr int TransformCount = 8;

// The key of the board seen through transform id (0 identity, 1 and 2 quarter turns, 3 mirror
// left-right, 4 half turn, 5 and 6 diagonal mirrors, 7 mirror top-bottom).
PositionKey MakePositionKey(const std::array<int32_t, CellCount>& cells, int id);

// The board point of a stone that a key made under transform id shows at key point p (a
// PointIndex in the key's frame), or -1 when p is not a point.
int MapKeyPointToBoard(int p, int id);

// Shifts the stones of a key until they touch key row 0 and key column 0, so that positions that
// differ only by a shift across the board compare equal.
void NormaliseKey(PositionKey& key);

// Would a Black stone on (row, col), played instead of the fifth move (the newest of a five-move
// record), give the same position under one of the eight symmetries? Leaves the record as it was.
int SameFifthOfferingExists(GameState& state, int row, int col);

}  // namespace tesmor
