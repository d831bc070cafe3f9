#pragma once

#include "board/board.h"
#include "search/computer_answer.h"
#include "search/search_context.h"

namespace tesmor {

// The one entry through which the computer chooses a move: the choice between two offered fifth
// moves, the opening book under the eight symmetries, then QuickMove (level argument 7), the
// deepening search (8..16) or the master search (MasterLevelArg, 17). levelArg is the menu level +
// 7, which ComputerMoveAtLevel maps. Answers a PointIndex, a PointPair, -1 (resign) or 225 (no
// point). The game is left as it was found. The context's settings are those of this call.
int ChooseComputerMove(SearchContext& context, GameState& game, int levelArg);

// The computer's answer at menu level 0..9 ("0级".."9级") or 10 ("大师"); see ChooseComputerMove.
ComputerAnswer ComputerMoveAtLevel(SearchContext& context, GameState& game, int level);

// The level-0 move: fixed opening replies, a short VCF, then the best point by its value, ties
// broken at random.
int QuickMove(SearchContext& context, GameState& game);

// Search parameters of the level arguments 8..16.
struct LevelParameters {
  int depth;
  int width;
  int keepNum;
  int keepDen;
};
// The parameters of a level argument, or nullptr outside 8..16.
const LevelParameters* ParametersForLevel(int levelArg);

}  // namespace tesmor
