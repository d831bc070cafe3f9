#pragma once

#include <iosfwd>

namespace tesmor {

// Plays as a Gomocup brain: commands from the file descriptor input, replies to out, each reply
// flushed. Returns the exit status once END arrives, or once the input has ended and what it
// asked for is answered.
int RunGomocupBrain(int input, std::ostream& out);

}  // namespace tesmor
