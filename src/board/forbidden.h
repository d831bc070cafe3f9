#pragma once

#include "board/board.h"

namespace tesmor {

// The verdict on a Black stone under forbidden-move rules.
enum ForbiddenKind : int { None = 0, ThreeThree = 1, FourFour = 2, Overline = 3 };

// Points found on a line: 0 for none, 16 + p for one point at line position p, and
// 256 + 16 * a + b for two points, a first and b second.
using LinePoints = int;

constexpr int LinePointCount(LinePoints points) {
  return points == 0 ? 0 : points < 256 ? 1 : 2;
}
constexpr int FirstLinePoint(LinePoints points) {
  return points < 256 ? points & 15 : (points >> 4) & 15;
}
constexpr int LastLinePoint(LinePoints points) {
  return points & 15;
}

// Line tests at position pos of a line; each is 0 when the position is empty. Under forbidden
// rules a Black stone is judged by the Black rule (fives must be exact).
int IsOverlineInLine(const Line& line, int pos, bool forbiddenRulesOn);
int IsStraightFourInLine(const Line& line, int pos, bool forbiddenRulesOn);
int CountFoursInLine(const Line& line, int pos, bool forbiddenRulesOn);
LinePoints FourPointsInLine(const Line& line, int pos, bool forbiddenRulesOn);
LinePoints ThreePointsInLine(const Line& line, int pos, bool forbiddenRulesOn);

// Point tests over the four lines through (row, col). The tests that may put a Black stone on an
// empty point for their length take the record by reference and leave it exactly as they found it.
int IsOverlineAt(const GameState& state, int row, int col);
int MakesFiveAt(GameState& state, int row, int col);
int CountFoursAt(const GameState& state, int row, int col);
int CountRealThreesAt(GameState& state, int row, int col);
ForbiddenKind ForbiddenKindAt(GameState& state, int row, int col);
// Black to move under forbidden moves with every empty point forbidden: Black has no move, and
// with no pass in the game the board is as full for Black as one without empty points.
bool NoPointOpenToBlack(GameState& state);

const char* ForbiddenKindName(ForbiddenKind kind);

}  // namespace tesmor
