#pragma once

#include <iosfwd>

#include "game/computer_player.h"

namespace tesmor {

// Plays the game in a terminal: the same controller as the window, with the board drawn in text
// and the menu items as typed commands. Reads commands from the file descriptor `input` (stdin
// for the program) and writes to out. The computer thinks on a worker thread, so "stop" works
// while it does. Returns the exit status.
int PlayInTerminal(int input, std::ostream& out, ComputerPlayer& computer);

}  // namespace tesmor
