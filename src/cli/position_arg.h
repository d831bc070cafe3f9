#pragma once

#include <string>

#include "board/board.h"

namespace tesmor {

// Reads a position given on the command line: the path of a .pos file, or a move list such as
// "H8 H9 J10 h10" (spaces or commas between moves, Black first). On failure returns false and
// names the problem in error; state is then untouched.
bool ParsePositionArgument(const std::string& text, GameState& state, std::string& error);

// Reads a move list alone, as above.
bool ParseMoveList(const std::string& text, GameState& state, std::string& error);

}  // namespace tesmor
