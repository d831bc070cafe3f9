#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/board.h"

namespace tesmor {

// What the board shows beside the stones and their numbers.
enum class CellMark : uint8_t {
  None,
  Forbidden,  // an empty point where a Black stone would lose
  Winning,    // a stone of the five that ended the game
  Foul,       // the Black stone that lost the game by a forbidden move
  Proposed,   // the point a hint or a VCF search is asking about
};

// One mark per cell, indexed by CellIndex.
using BoardMarks = std::array<CellMark, CellCount>;

// The empty points where Black may not play, judged by the very rule that judges a played stone.
// Empty under free rules.
std::vector<BoardPoint> ForbiddenPoints(const GameState& state);

// The stones of every five through the stone at (row, col), as the rules count fives (under
// forbidden rules Black's must be exact); empty when it is part of none.
std::vector<BoardPoint> FiveStones(const GameState& state, int row, int col);

}  // namespace tesmor
