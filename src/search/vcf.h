#pragma once

#include "board/board.h"
#include "eval/threat_board.h"
#include "search/search_context.h"

namespace tesmor {

// Answers of the VCF search besides a point: no win by continuous fours exists at any length, or
// none was found within the limit.
constexpr int VcfNone = 225;
constexpr int VcfUnknown = 255;

// The first move of a win by continuous fours for the side to move (FindVcf) or for the given
// side (FindVcfFor), deepening the number of attacking steps from 1 to limit. The search plays on
// a threat board built from the position and leaves the position alone.
int FindVcf(SearchContext& context, const GameState& game, int limit);
int FindVcfFor(SearchContext& context, const GameState& game, int side, int limit);

// The node search below one attacking step, on the search's threat board.
int VcfNode(SearchContext& context, ThreatBoard& board, int side, int limit);

}  // namespace tesmor
