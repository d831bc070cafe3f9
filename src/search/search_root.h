#pragma once

#include <string>

#include "board/board.h"
#include "search/search_context.h"

namespace tesmor {

// The computer's move at levels 1 to 9: the opening answers, a win by continuous fours, and
// otherwise an iterative deepening search over the root candidates (iteration d searches 2d plies
// below each root move). Answers a PointIndex, a PointPair in the two RIF fifth-move situations,
// or -1 when no move is chosen. Reports its progress as it goes.
int SearchRoot(SearchContext& context, GameState& game, int maxDepth, int width, int keepNum,
               int keepDen);

}  // namespace tesmor
