#pragma once

#include "board/board.h"
#include "search/search_context.h"

namespace tesmor {

// The level argument of "大师" in ChooseComputerMove (the menu's MasterLevel + 7).
constexpr int MasterLevelArg = 17;

// The master search's move for the side to move, in ChooseComputerMove's terms: a PointIndex, a
// PointPair in the RIF fifth-move exchange, or NoPoint. It thinks for context.masterTime,
// reports to context.progress, answers at once with the best move so far when the stop flag is
// set, and keeps what it found in context.masterResult. The game is left as it was found.
int MasterMove(SearchContext& context, GameState& game);

}  // namespace tesmor
