#pragma once

#include <array>
#include <string>

#include "board/board.h"

namespace tesmor {

// One of the 26 named three-stone openings, in its catalogue orientation (first stone H8).
struct NamedOpening {
  int number;        // 1..26
  const char* name;  // UTF-8
  int second;        // PointIndex of the White stone
  int third;         // PointIndex of the second Black stone
  int key;           // OpeningKey of the three stones
};

constexpr int OpeningCount = 26;
const std::array<NamedOpening, OpeningCount>& OpeningCatalogue();

// Do history entries 0..2 lie where an opening may lie: H8, then within the 3x3 and the 5x5
// squares around it?
bool IsLegalOpening(const GameState& state);

// 10000 D(p0, p1) + 100 D(p1, p2) + D(p0, p2) with D the squared distance: the same for all
// eight orientations of an opening.
int OpeningKey(MoveRecord p0, MoveRecord p1, MoveRecord p2);

// The catalogue row of the game's first three stones, or nullptr when they are not a legal
// opening.
const NamedOpening* FindOpening(const GameState& state);
// Its name, or "" when there is none.
std::string OpeningName(const GameState& state);

// Why the game's first three stones are no opening, told to the player: where the first two
// must lie, or the openings that a third stone could still make after them.
std::string OpeningRefusal(const GameState& state);

// The three points (PointIndex, in playing order) of opening number 1..26.
std::array<int, 3> OpeningStones(int number);

}  // namespace tesmor
