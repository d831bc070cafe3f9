#pragma once

#include "board/random_source.h"
#include "game/computer_player.h"

namespace tesmor {

// Whether there is a display to open the window on: DISPLAY or WAYLAND_DISPLAY is set, or
// QT_QPA_PLATFORM names a platform explicitly (for instance offscreen).
bool HaveDisplay();

// Opens the window, starts the first game (with the position of a file given as the first
// argument) and runs until the window is closed; returns the exit status.
int RunWindow(int& argc, char** argv, ComputerPlayer& computer, RandomSource& random);

}  // namespace tesmor
