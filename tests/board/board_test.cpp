#include "board/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

TEST(Coordinates, TextFormAndBothIndexings) {
  EXPECT_EQ(PointText(0), "A1");
  EXPECT_EQ(PointText(224), "O15");
  EXPECT_EQ(PointText(1), "A2");  // a PointIndex counts up the column, a CellIndex along the row
  EXPECT_EQ(CellIndex(PointRow(1), PointCol(1)), 15);
  for (int p = 0; p < CellCount; ++p) EXPECT_EQ(ParsePoint(PointText(p)), p);
  EXPECT_EQ(ParsePoint("h8"), 112);
  for (const char* bad : {"", "H", "H0", "H16", "P1", "H08", "8H", "H8x", "@1"})
    EXPECT_EQ(ParsePoint(bad), NoPoint) << bad;
}

TEST(Lines, EveryPointOfEveryLineIncludingTheShortDiagonals) {
  std::array<int32_t, CellCount> cells;
  for (int i = 0; i < CellCount; ++i) cells[i] = (i % 3) - 1;  // every value appears
  for (int d = 0; d < 4; ++d) {
    for (int row = 0; row < BoardSize; ++row) {
      for (int col = 0; col < BoardSize; ++col) {
        const int number = LineNumber(d, row, col);
        const Line line = ExtractLine(cells, d, number);
        const int pos = LinePosition(d, row, col);
        EXPECT_EQ(line[pos + 2], cells[CellIndex(row, col)]);
        const BoardPoint back = LinePointToBoard(d, row, col, pos);
        EXPECT_EQ(CellIndex(back.row, back.col), CellIndex(row, col));
        // The guards, and on a diagonal the positions beyond the board's corner.
        const int offBoard = 4 + (d < 2 ? 0 : std::abs(number - 14));
        EXPECT_EQ(std::count(line.begin(), line.end(), OffBoard), offBoard) << d << " " << number;
      }
    }
  }
}

TEST(Record, ClearMoveAndTakeBack) {
  GameState state = test::FromMoves({"A1", "B1", "C1"});
  state.focusRow = state.focusCol = 3;
  state.forbiddenRulesOn = 1;
  GameState cleared;
  EXPECT_EQ(ClearGameState(state), cleared);  // the old moves are no part of an empty record

  RecordMove(state, 7, 7);
  const GameState afterFirst = state;
  RecordMove(state, 8, 6);
  EXPECT_EQ(state.cell(8, 6), White);
  EXPECT_EQ(state.SideToMove(), Black);
  EXPECT_EQ(state.history[1], (MoveRecord{8, 6}));
  EXPECT_EQ((MoveRecord{state.focusRow, state.focusCol}), (MoveRecord{8, 6}));
  UndoMove(state);
  EXPECT_EQ(state, afterFirst);  // focus back on the first stone
}

// The key depends on the stones and the side to move only, follows every change and comes back.
TEST(Record, TheKeyFollowsEveryChangeAndComesBack) {
  const GameState a = test::FromMoves({"H8", "H9", "J10", "A1", "O15"});
  const GameState b = test::FromMoves({"O15", "A1", "J10", "H9", "H8"});
  const GameState c = test::FromMoves({"H9", "H8", "J10", "A1", "O15"});
  EXPECT_EQ(a.Key(), b.Key());
  EXPECT_NE(a, b);              // the moves came in another order
  EXPECT_NE(a.Key(), c.Key());  // H8 and H9 changed colour
  std::mt19937 rng(5);
  for (int game = 0; game < 40; ++game) {
    GameState state = test::RandomPosition(rng, 5 + game * 4, game % 2 == 0);
    ASSERT_EQ(state.Key(), ComputeKey(state));
    const GameState before = state;
    const MoveRecord newest = state.history[state.moveCount - 1];
    int row = 0;
    int col = 0;
    do {
      row = static_cast<int>(rng() % BoardSize);
      col = static_cast<int>(rng() % BoardSize);
    } while (state.cell(row, col) != Empty);
    {
      const ScopedPlay play(state, row, col);
      ASSERT_EQ(state.Key(), ComputeKey(state));
      ASSERT_NE(state.Key(), before.Key());
    }
    ASSERT_EQ(state, before);
    state.ReplaceNewestMove(row, col);
    ASSERT_EQ(state.Key(), ComputeKey(state));
    ASSERT_EQ(state.cell(row, col), -before.SideToMove());
    ASSERT_EQ(state.cell(newest.row, newest.col), Empty);
    state.ReplaceNewestMove(newest.row, newest.col);
    ASSERT_EQ(state, before);
    state.PlaceProbeStone(row, col);
    ASSERT_EQ(state.Key(), ComputeKey(state));
    ASSERT_EQ(state.moveCount, before.moveCount);
    state.RemoveProbeStone(row, col);
    ASSERT_EQ(state, before);
    state.SetUpMoveCount(state.moveCount + 1);
    ASSERT_EQ(state.Key(), ComputeKey(state));
    ASSERT_NE(state.Key(), before.Key());  // the same stones with the other side to move
  }
}

TEST(Five, PointsAndTheGameEndTest) {
  // A Black six on the diagonal A9-F4, a White five A2-E2, Black A1-D1 and E1 empty.
  GameState state = test::FromStones({"A9", "B8", "C7", "D6", "E5", "F4", "A1", "B1", "C1", "D1"},
                                     {"A2", "B2", "C2", "D2", "E2"});
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IsFiveAt(state, 3 + i, 5 - i), 0) << i;
  state.forbiddenRulesOn = 0;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IsFiveAt(state, 3 + i, 5 - i), 1) << i;
  EXPECT_EQ(IsFiveAt(state, 0, 4), 0);

  state.focusRow = 1;
  state.focusCol = 2;
  EXPECT_EQ(WinnerAtFocus(state), White);
  state.focusRow = 0;
  state.focusCol = 4;
  EXPECT_EQ(WinnerAtFocus(state), 0);
  state.SetUpStone(0, 4, Black);
  EXPECT_EQ(WinnerAtFocus(state), Black);
}

}  // namespace
}  // namespace tesmor
