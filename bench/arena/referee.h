#pragma once

#include <string>

#include "board/board.h"
#include "board/forbidden.h"

namespace tesmor::arena {

// An engine's answer read as a point of the game, or why it is no move.
struct AnswerReading {
  int point = NoPoint;  // PointIndex when the answer is a move
  std::string fault;    // empty when it is one
};
// The answer line must be "x,y" naming an empty point of the 15 x 15 board.
AnswerReading ReadAnswer(const GameState& game, const std::string& line);

// What a move did to the game.
enum class MoveOutcome { Continue, Five, Foul, FullBoard };
struct MoveJudgement {
  MoveOutcome outcome = MoveOutcome::Continue;
  ForbiddenKind foul = None;  // with Foul
};

// Plays the side to move's stone on the empty point and judges it by the game's rules: a five
// wins (Black's must be exact when forbidden moves are on, White's may be longer); else a Black
// three-three, four-four or overline under forbidden moves is a foul; else a full board ends the
// game drawn, and so does a board where every empty point is forbidden to Black, who is to move.
// A five that is also a forbidden shape wins.
MoveJudgement PlayAndJudge(GameState& game, int point);

}  // namespace tesmor::arena
