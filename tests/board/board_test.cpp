#include "board/board.h"

#include <gtest/gtest.h>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::FromDiagram;
using test::P;

TEST(Coordinates, TextFormAndBothIndexings) {
  EXPECT_EQ(PointText(0), "A1");
  EXPECT_EQ(PointText(224), "O15");
  EXPECT_EQ(PointText(112), "H8");
  EXPECT_EQ(PointRow(1), 1);
  EXPECT_EQ(PointCol(1), 0);
  EXPECT_EQ(CellIndex(PointRow(1), PointCol(1)), 15);
  for (int p = 0; p < CellCount; ++p) EXPECT_EQ(ParsePoint(PointText(p)), p);
  EXPECT_EQ(ParsePoint("h8"), 112);
  for (const char* bad : {"", "H", "H0", "H16", "P1", "H08", "8H", "H8x", "@1"})
    EXPECT_EQ(ParsePoint(bad), NoPoint) << bad;
}

TEST(Lines, ExtractionMatchesTheTableIncludingShortDiagonals) {
  GameState state;
  for (int i = 0; i < CellCount; ++i) state.cells[i] = (i % 3) - 1;  // every value appears

  // Every on-board position of every line holds the cell it names, and maps back to it.
  for (int d = 0; d < 4; ++d) {
    for (int row = 0; row < BoardSize; ++row) {
      for (int col = 0; col < BoardSize; ++col) {
        const Line line = ExtractLine(state.cells, d, LineNumber(d, row, col));
        EXPECT_EQ(line[0], OffBoard);
        EXPECT_EQ(line[18], OffBoard);
        const int pos = LinePosition(d, row, col);
        EXPECT_EQ(line[pos + 2], state.cell(row, col));
        const BoardPoint back = LinePointToBoard(d, row, col, pos);
        EXPECT_EQ(back.row, row);
        EXPECT_EQ(back.col, col);
      }
    }
  }
  // Direction 2, line 0: only (0, 0), at position 0.
  const Line corner = ExtractLine(state.cells, 2, 0);
  EXPECT_EQ(corner[2], state.cell(0, 0));
  for (int k = 1; k < 15; ++k) EXPECT_EQ(corner[k + 2], OffBoard);
  // Direction 3, line 28: only (14, 0), at position 14.
  const Line top = ExtractLine(state.cells, 3, 28);
  EXPECT_EQ(top[16], state.cell(14, 0));
  for (int k = 0; k < 14; ++k) EXPECT_EQ(top[k + 2], OffBoard);
  // Direction 3, line 14: the main diagonal from (14, 14) down to (0, 0).
  const Line main = ExtractLine(state.cells, 3, 14);
  for (int k = 0; k < 15; ++k) EXPECT_EQ(main[k + 2], state.cell(14 - k, 14 - k));
}

TEST(Record, MovesAndTakeBacksKeepFocusLastAndHistory) {
  GameState state;
  ClearGameState(state);
  state.history[3] = {4, 4};
  state.forbiddenRulesOn = 1;
  ClearGameState(state);
  EXPECT_EQ(state.lastRow, 7);
  EXPECT_EQ(state.lastCol, 7);
  EXPECT_EQ(state.focusRow, 0);
  EXPECT_EQ(state.focusCol, 0);
  EXPECT_EQ(state.forbiddenRulesOn, 0);
  EXPECT_EQ(state.history[3], (MoveRecord{4, 4}));  // left over, still readable

  RecordMove(state, 7, 7);
  RecordMove(state, 8, 7);
  EXPECT_EQ(state.cell(7, 7), Black);
  EXPECT_EQ(state.cell(8, 7), White);
  EXPECT_EQ(state.SideToMove(), Black);
  EXPECT_EQ(state.focusRow, 8);
  UndoMove(state);
  EXPECT_EQ(state.cell(8, 7), Empty);
  EXPECT_EQ(state.moveCount, 1);
  EXPECT_EQ(state.lastRow, 7);
  EXPECT_EQ(state.history[1], (MoveRecord{8, 7}));
}

struct FiveCase {
  const char* what;
  const char* line;
  int pos;
  bool forbidden;
  int expected;
};

TEST(Five, LineWindowsUnderBothRuleSettings) {
  const FiveCase cases[] = {
      {"exact five", "XXXXX", 2, true, 1},
      {"six Black, forbidden on", "XXXXXX", 0, true, 0},
      {"six Black, forbidden on, end stone", "XXXXXX", 5, true, 0},
      {"six Black, forbidden off", "XXXXXX", 3, false, 1},
      {"seven White is a five", "OOOOOOO", 6, true, 1},
      {"five, gap, stone: still exact", "XXXXX.X", 4, true, 1},
      {"five against the edge guard", "..........XXXXX", 14, true, 1},
      {"four is no five", "XXXX.", 0, true, 0},
      {"empty position", ".XXXXX", 0, true, 0},
      {"off-board cells never count", "#####XXXX", 5, true, 0},
      {"White stone next to Black five", "OXXXXXO", 3, true, 1},
  };
  for (const FiveCase& c : cases)
    EXPECT_EQ(IsFiveInLine(test::LineFrom(c.line), c.pos, c.forbidden), c.expected) << c.what;
}

TEST(Five, PointsAndTheGameEndTest) {
  // A Black six on a diagonal, a White five on a row, an empty point that would complete five.
  test::Diagram d = FromDiagram({
      "X.........",
      ".X........",
      "..X.......",
      "...X......",
      "....X.....",
      ".....X....",
      "..........",
      "OOOOO.....",
      "XXXX*.....",
  });
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IsFiveAt(d.state, 3 + i, 5 - i), 0) << i;
  d.state.forbiddenRulesOn = 0;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IsFiveAt(d.state, 3 + i, 5 - i), 1) << i;
  EXPECT_EQ(IsFiveAt(d.state, d.markRow, d.markCol), 0);

  d.state.focusRow = 1;
  d.state.focusCol = 2;
  EXPECT_EQ(WinnerAtFocus(d.state), White);
  d.state.focusRow = d.markRow;
  d.state.focusCol = d.markCol;
  EXPECT_EQ(WinnerAtFocus(d.state), 0);
  d.state.cell(d.markRow, d.markCol) = Black;
  EXPECT_EQ(WinnerAtFocus(d.state), Black);
}

}  // namespace
}  // namespace tesmor
