#pragma once

#include <initializer_list>
#include <random>
#include <string>

#include "board/board.h"

namespace tesmor::test {

// A board drawn top row first: 'X' Black, 'O' White, '.' empty, '*' the empty point under test;
// the lower-left character lands on bottomLeft.
struct Diagram {
  GameState state;
  int markRow = -1;
  int markCol = -1;
};
Diagram FromDiagram(std::initializer_list<const char*> rows, const char* bottomLeft = "A1",
                    bool forbiddenRulesOn = true);

// A line from position 0: 'X' Black, 'O' White, '.' empty, '#' off the board; the rest empty.
Line LineFrom(const std::string& cells);

// A move for the side to move on a random empty point, mostly near a stone so that shapes form.
void PlayRandomMove(GameState& state, std::mt19937& rng);

// Plays that many random moves from the empty board on a fresh record (no five check).
GameState RandomPosition(std::mt19937& rng, int moves, bool forbiddenRulesOn);

// The moves played in turn from the empty board, Black first, e.g. FromMoves({"H8", "H9"}).
GameState FromMoves(std::initializer_list<const char*> moves, bool forbiddenRulesOn = true);

// Stones put on an empty board without a game record, e.g. FromStones({"H8"}, {"H9", "H10"}).
GameState FromStones(std::initializer_list<const char*> black,
                     std::initializer_list<const char*> white = {}, bool forbiddenRulesOn = true);

// The point given as text, e.g. P("H8").
int P(const char* text);

// Whether the side to move may play the point: on the board, empty, and not forbidden to Black.
bool IsLegalMove(GameState game, int point);

}  // namespace tesmor::test
