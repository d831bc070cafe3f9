#pragma once

#include <atomic>

#include "board/board.h"
#include "book/opening_book.h"
#include "search/search_settings.h"

namespace tesmor {

// One request for the computer's move.
struct MoveRequest {
  int levelArg = 15;  // the menu level + 6
  SearchSettings settings;
  std::atomic<bool>* stopRequested = nullptr;
  SearchProgress* progress = nullptr;  // may be null
};

// What the game controller and its workers ask of the engine. The program plays with the search
// engine behind it; controller tests script the answers.
class ComputerPlayer {
 public:
  virtual ~ComputerPlayer() = default;
  // Finds and reads the opening book: whether one was read, and whether it was damaged.
  virtual BookLoadReport LoadOpeningBook() = 0;
  // The computer's move on the live game, which it leaves as it found it: a PointIndex, -1 to
  // resign, 225 for none, or a PointPair (65536 + 256 * first + second).
  virtual int ChooseComputerMove(GameState& game, const MoveRequest& request) = 0;
  // The first move of a win by continuous fours for the side to move; 225 or more for none.
  virtual int FindVcf(GameState& game, int limit) = 0;
};

}  // namespace tesmor
