#pragma once

#include <random>

#include "board/board.h"

namespace tesmor::test {

// One random change of the kinds the engine's callers make between two questions about a
// position: a move played, moves taken back, the newest move replaced, a stone set up or taken
// away outside the record, the move count lowered, the board cleared, the forbidden-move
// setting switched. Recorded moves stay on their stones, so the record can always be taken back.
void RandomChange(GameState& state, std::mt19937& rng);

}  // namespace tesmor::test
