#include "board/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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
  GameState state;
  for (int i = 0; i < CellCount; ++i) state.cells[i] = (i % 3) - 1;  // every value appears
  for (int d = 0; d < 4; ++d) {
    for (int row = 0; row < BoardSize; ++row) {
      for (int col = 0; col < BoardSize; ++col) {
        const int number = LineNumber(d, row, col);
        const Line line = ExtractLine(state.cells, d, number);
        const int pos = LinePosition(d, row, col);
        EXPECT_EQ(line[pos + 2], state.cell(row, col));
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
  GameState state;
  state.cells[5] = Black;
  state.moveCount = 9;
  state.focusRow = state.lastCol = 3;
  state.forbiddenRulesOn = 1;
  state.history[3] = {4, 4};
  GameState cleared;
  cleared.history[3] = {4, 4};  // history is left behind, still readable
  EXPECT_EQ(ClearGameState(state), cleared);

  RecordMove(state, 7, 7);
  GameState afterFirst = state;
  RecordMove(state, 8, 6);
  EXPECT_EQ(state.cell(8, 6), White);
  EXPECT_EQ(state.SideToMove(), Black);
  EXPECT_EQ(state.history[1], (MoveRecord{8, 6}));
  EXPECT_EQ((MoveRecord{state.focusRow, state.focusCol}), (MoveRecord{8, 6}));
  EXPECT_EQ((MoveRecord{state.lastRow, state.lastCol}), (MoveRecord{8, 6}));
  UndoMove(state);
  afterFirst.history[1] = {8, 6};
  EXPECT_EQ(state, afterFirst);  // focus and last move back on the first stone
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
  state.cell(0, 4) = Black;
  EXPECT_EQ(WinnerAtFocus(state), Black);
}

}  // namespace
}  // namespace tesmor
