#pragma once

#include <string>

#include "board/board.h"

namespace tesmor {

// Why a move list was refused; the front ends word it in their own language.
// (A list longer than the board has points repeats one, so that is the fault it shows.)
enum class MoveTextFault { None, UnknownPoint, PlayedTwice };

struct MoveTextError {
  MoveTextFault fault = MoveTextFault::None;
  std::string word;  // the move at fault, as written
};

// The game's moves as text, Black first: "H8 I9 J10".
std::string MoveListText(const GameState& state);

// Reads moves written as MoveListText writes them (spaces or commas between moves, letters of
// either case) and plays them in turn from the empty board; the forbidden-move setting is kept.
// A list with any fault is refused as a whole: state is then untouched.
bool ReadMoveList(const std::string& text, GameState& state, MoveTextError& error);

}  // namespace tesmor
