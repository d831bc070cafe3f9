#pragma once

#include <iosfwd>

#include "search/master_weights.h"

namespace tesmor {

// Plays as a Gomocup brain: commands from the file descriptor input, replies to out, each reply
// flushed. Returns the exit status once END arrives, or once the input has ended and what it
// asked for is answered. "大师" plays with the given weights and search threads.
int RunGomocupBrain(int input, std::ostream& out, const MasterWeights& weights = MasterWeights(),
                    int masterThreads = 1);

}  // namespace tesmor
