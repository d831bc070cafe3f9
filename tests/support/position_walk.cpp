#include "support/position_walk.h"

#include "support/diagram.h"

namespace tesmor::test {

namespace {

bool Recorded(const GameState& state, int row, int col) {
  for (int i = 0; i < state.moveCount; ++i)
    if (state.history[i] == MoveRecord{row, col}) return true;
  return false;
}

// A cell that no recorded move holds, or false after a few misses.
bool UnrecordedCell(const GameState& state, std::mt19937& rng, int& row, int& col) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    row = static_cast<int>(rng() % BoardSize);
    col = static_cast<int>(rng() % BoardSize);
    if (!Recorded(state, row, col)) return true;
  }
  return false;
}

}  // namespace

void RandomChange(GameState& state, std::mt19937& rng) {
  int row = 0;
  int col = 0;
  // Mostly moves, so that positions grow to the middle game; now and then a fresh board.
  switch (rng() % 16) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 11:
    case 12:
    case 13:
      PlayRandomMove(state, rng);
      break;
    case 4:
    case 5:
      for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) state.Undo();
      break;
    case 6:
      if (state.moveCount > 0 && UnrecordedCell(state, rng, row, col) &&
          state.cell(row, col) == Empty)
        state.ReplaceNewestMove(row, col);
      break;
    case 7:
    case 8:
      if (UnrecordedCell(state, rng, row, col))
        state.SetUpStone(row, col, static_cast<int>(rng() % 3) - 1);
      break;
    case 9:
      // Fewer moves: the newest stones stay on the board as set-up stones.
      if (state.moveCount > 0)
        state.SetUpMoveCount(
            state.moveCount - 1 -
            static_cast<int>(rng() % static_cast<unsigned>(state.moveCount.get())));
      break;
    case 10:
      state.forbiddenRulesOn ^= 1;
      break;
    case 14:
      if (rng() % 4 != 0) break;
      state.ClearStones();
      for (int n = static_cast<int>(rng() % 12); n > 0; --n) PlayRandomMove(state, rng);
      break;
    default:
      break;
  }
}

}  // namespace tesmor::test
