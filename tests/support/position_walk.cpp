#include "support/position_walk.h"

#include <algorithm>

#include "support/diagram.h"

namespace tesmor::test {

void RandomChange(GameState& state, std::mt19937& rng) {
  const int row = static_cast<int>(rng() % BoardSize);
  const int col = static_cast<int>(rng() % BoardSize);
  const auto& moves = state.history.get();
  const bool recorded = std::find(moves.begin(), moves.begin() + state.moveCount,
                                  MoveRecord{row, col}) != moves.begin() + state.moveCount;
  // Mostly moves, so that positions grow to the middle game; now and then a fresh board.
  const unsigned kind = rng() % 64;
  if (kind < 28) {
    PlayRandomMove(state, rng);
  } else if (kind < 36) {
    for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) state.Undo();
  } else if (kind < 40 && state.moveCount > 0 && state.cell(row, col) == Empty) {
    state.ReplaceNewestMove(row, col);
  } else if (kind < 48 && !recorded) {
    state.SetUpStone(row, col, static_cast<int>(rng() % 3) - 1);
  } else if (kind < 52 && state.moveCount > 0) {
    // Fewer moves: the newest stones stay on the board as set-up stones.
    state.SetUpMoveCount(static_cast<int>(rng() % static_cast<unsigned>(state.moveCount.get())));
  } else if (kind < 56) {
    state.forbiddenRulesOn ^= 1;
  } else if (kind == 63) {
    state.ClearStones();
  }
}

}  // namespace tesmor::test
