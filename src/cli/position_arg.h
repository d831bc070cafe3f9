#pragma once

#include <string>

#include "board/board.h"

namespace tesmor {

// Reads a position given on the command line: the path of a .pos file, or a move list such as
// "H8 H9 J10 h10" (spaces or commas between moves, Black first). The empty board is the empty
// text, given on purpose as ""; a text of separators alone names no position and is refused, as
// it is more likely an unset variable than a wish. On failure returns false and names the
// problem in error; state is then untouched.
bool ParsePositionArgument(const std::string& text, GameState& state, std::string& error);

// Reads a move list alone, as above; any text without moves is the empty board.
bool ParseMoveList(const std::string& text, GameState& state, std::string& error);

// A stone of a five or a longer row of one colour, whichever the rules: a position that holds
// one has ended, and there is no move to look for in it. NoPoint when there is none.
int StoneOfFive(const GameState& state);

}  // namespace tesmor
