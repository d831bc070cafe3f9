#pragma once

#include "board/board.h"
#include "search/search_context.h"

namespace tesmor {

// Values of the node search, from the point of view of the side that made the node's move.
constexpr int WonValue = 100000000;       // beyond every other value; also the window bound
constexpr int DecidedValue = 10000000;    // beyond this a position is decided
constexpr int FillerScore = -1000000000;  // an empty slot of a candidate list
constexpr int CandidateSlots = 30;

// Plays move for the side to move, searches the replies to the given remaining depth within
// (alpha, beta) and returns the move's value (negamax). Restores the game before returning and
// records backed-up values in the context's path scores for the next iteration.
int AlphaBeta(SearchContext& context, GameState& game, int move, int width, int depth, int alpha,
              int beta);

// A candidate list: up to 30 (score, point) slots sorted by score, highest first.
struct CandidateList {
  struct Slot {
    int score;
    int point;
  };
  Slot slots[CandidateSlots];

  CandidateList() {
    for (Slot& slot : slots) slot = {FillerScore, -1};
  }
  // Puts (score, point) before the first of the first `width` slots whose score is not above it;
  // the last used slot falls off. A point lower than all of them is dropped.
  void Insert(int score, int point, int width) {
    // Most points of a board fall below the last slot: they are dropped without a scan.
    if (width <= 0 || score < slots[width - 1].score) return;
    // The slots not above the score are the list's tail: the new one takes the last slot's place
    // and rises past them, which moves only what must move and needs no copy routine.
    int j = width - 1;
    for (; j > 0 && slots[j - 1].score <= score; --j) slots[j] = slots[j - 1];
    slots[j] = {score, point};
  }
};

}  // namespace tesmor
