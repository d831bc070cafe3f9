#include "eval/threat_board.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

GameState Position(std::initializer_list<const char*> black,
                   std::initializer_list<const char*> white, bool forbiddenRulesOn) {
  GameState state;
  ClearGameState(state);
  state.forbiddenRulesOn = forbiddenRulesOn ? 1 : 0;
  for (const char* point : black) state.cell(PointRow(P(point)), PointCol(P(point))) = Black;
  for (const char* point : white) state.cell(PointRow(P(point)), PointCol(P(point))) = White;
  return state;
}

ThreatBoard Built(const GameState& state) {
  ThreatBoard board;
  BuildThreatBoard(board, state);
  return board;
}

int One(const char* point) {
  return ThreatOnePoint + P(point);
}
int Many(const char* point) {
  return ThreatManyPoints + P(point);
}

struct CompletionCase {
  const char* what;
  GameState state;
  const char* stone;
  int expected;
};

TEST(ThreatFourCompletion, NamesTheCompletionPoints) {
  const CompletionCase cases[] = {
      {"a Black four against the edge", Position({"A1", "B1", "C1", "D1"}, {}, true), "B1",
       One("E1")},
      // An open four: the Black rule names the far end first, so the near end is reported.
      {"an open Black four", Position({"B1", "C1", "D1", "E1"}, {}, true), "C1", Many("A1")},
      {"the same without forbidden rules", Position({"B1", "C1", "D1", "E1"}, {}, false), "C1",
       Many("F1")},
      {"a White open four", Position({}, {"B1", "C1", "D1", "E1"}, true), "C1", Many("F1")},
      {"fours in the row and the column: the row's point",
       Position({"D8", "H4"}, {"E8", "F8", "G8", "H8", "H5", "H6", "H7"}, true), "H8", Many("I8")},
      {"a split four on a column", Position({"H4"}, {"H5", "H7", "H8", "H9"}, true), "H9",
       One("H6")},
      // Along a row - column diagonal through (row 10, col 3), i.e. D11.
      {"a four on a row - column diagonal", Position({"C10"}, {"D11", "E12", "F13", "G14"}, true),
       "D11", One("H15")},
      {"a four on a row + column diagonal", Position({"C6"}, {"D5", "E4", "F3", "G2"}, true), "D5",
       One("H1")},
      {"no four", Position({"A1", "B1", "C1"}, {}, true), "A1", 0},
      {"an empty point", Position({"A1", "B1", "C1", "D1"}, {}, true), "E1", 0},
      // Black XXX_XXX: the hole would make seven.
      {"Black's hole that makes seven", Position({"A1", "B1", "C1", "E1", "F1", "G1"}, {}, true),
       "A1", 0},
  };
  for (const CompletionCase& c : cases) {
    const ThreatBoard board = Built(c.state);
    EXPECT_EQ(ThreatFourCompletion(board, PointRow(P(c.stone)), PointCol(P(c.stone))), c.expected)
        << c.what;
  }
}

TEST(ThreatFivePoints, OneFourOrSeveral) {
  const GameState none = Position({"A1", "B1", "C1"}, {"H8"}, true);
  EXPECT_EQ(ThreatFivePoints(Built(none), Black), 0);
  EXPECT_EQ(ThreatFivePoints(Built(none), White), 0);

  const GameState edgeFour = Position({"A1", "B1", "C1", "D1"}, {"H8"}, true);
  EXPECT_EQ(ThreatFivePoints(Built(edgeFour), Black), One("E1"));
  EXPECT_EQ(ThreatFivePoints(Built(edgeFour), White), 0);

  // Two White fours with different completion points: the later stone in row-major order.
  const GameState twoFours =
      Position({"H8"}, {"A3", "B3", "C3", "D3", "A10", "B10", "C10", "D10"}, true);
  EXPECT_EQ(ThreatFivePoints(Built(twoFours), White), ThreatManyPoints + One("E10"));

  const GameState openFour = Position({}, {"B1", "C1", "D1", "E1"}, true);
  EXPECT_EQ(ThreatFivePoints(Built(openFour), White), Many("F1"));
}

TEST(ThreatStraightFour, BothEndsOpen) {
  EXPECT_EQ(ThreatStraightFour(Built(Position({}, {"B1", "C1", "D1", "E1"}, true)), 0, 2), 1);
  EXPECT_EQ(ThreatStraightFour(Built(Position({"A1", "B1", "C1", "D1"}, {}, true)), 0, 2), 0);
  // X_XXXX_: a completion on the left would make six.
  EXPECT_EQ(ThreatStraightFour(Built(Position({"A1", "C1", "D1", "E1", "F1"}, {}, true)), 0, 3), 0);
  EXPECT_EQ(ThreatStraightFour(Built(Position({"A1", "C1", "D1", "E1", "F1"}, {}, false)), 0, 3),
            1);
}

TEST(ThreatForbiddenKind, VerdictsAndTheBoardLeftAsFound) {
  struct Case {
    const char* what;
    GameState state;
    const char* point;
    ForbiddenKind expected;
  };
  const Case cases[] = {
      {"three-three", Position({"F8", "G8", "H6", "H7"}, {}, true), "H8", ThreeThree},
      {"no forbidden rules", Position({"F8", "G8", "H6", "H7"}, {}, false), "H8", None},
      {"a White stone", Position({"F8", "G8", "H6", "H7"}, {"H8"}, true), "H8", None},
      {"four-four on one line", Position({"A1", "C1", "E1", "G1"}, {}, true), "D1", FourFour},
      {"overline", Position({"A1", "B1", "C1", "E1", "F1"}, {}, true), "D1", Overline},
      {"an exact five beats a four-four",
       Position({"A1", "B1", "C1", "D1", "E2", "E3", "E4", "D2", "C3", "B4"}, {}, true), "E1",
       None},
      {"the same two fours without the five",
       Position({"A1", "B1", "C1", "E2", "E3", "E4", "D2", "C3", "B4"}, {"D1"}, true), "E1",
       FourFour},
  };
  for (const Case& c : cases) {
    ThreatBoard board = Built(c.state);
    const ThreatBoard before = board;
    EXPECT_EQ(ThreatForbiddenKind(board, PointRow(P(c.point)), PointCol(P(c.point))), c.expected)
        << c.what;
    EXPECT_EQ(board.cells, before.cells) << c.what;
  }
}

// The game-record reading of ThreatFourCompletion: the same line tests on ExtractLine's lines.
int RecordFourCompletion(const GameState& state, int row, int col) {
  int found = 0;
  int first = 0;
  for (int d = 0; d < 4; ++d) {
    const Line line = ExtractLine(state.cells, d, LineNumber(d, row, col));
    const LinePoints points =
        FourPointsInLine(line, LinePosition(d, row, col), state.forbiddenRulesOn);
    if (points == 0) continue;
    const BoardPoint p = LinePointToBoard(d, row, col, LastLinePoint(points));
    if (points >= 256) return ThreatManyPoints + PointIndex(p.row, p.col);
    if (found++ == 0) first = PointIndex(p.row, p.col);
  }
  return found == 0 ? 0 : (found == 1 ? ThreatOnePoint : ThreatManyPoints) + first;
}

int RecordFivePoints(const GameState& state, int colour) {
  int remembered = 0;
  for (int cell = 0; cell < CellCount; ++cell) {
    if (state.cells[cell] != colour) continue;
    const int r = RecordFourCompletion(state, cell / BoardSize, cell % BoardSize);
    if (r >= ThreatManyPoints) return r;
    if (r != 0 && remembered != 0 && r != remembered) return r + ThreatManyPoints;
    if (r != 0) remembered = r;
  }
  return remembered;
}

int RecordStraightFour(const GameState& state, int row, int col) {
  for (int d = 0; d < 4; ++d)
    if (IsStraightFourInLine(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                             LinePosition(d, row, col), state.forbiddenRulesOn))
      return 1;
  return 0;
}

void ExpectThreatBoardAgrees(GameState& state, ThreatBoard& board) {
  const GameState recordBefore = state;
  const ThreatBoard boardBefore = board;
  for (const int colour : {Black, White})
    ASSERT_EQ(ThreatFivePoints(board, colour), RecordFivePoints(state, colour)) << colour;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      const std::string at = PointText(PointIndex(row, col));
      ASSERT_EQ(ThreatFourCompletion(board, row, col), RecordFourCompletion(state, row, col)) << at;
      ASSERT_EQ(ThreatStraightFour(board, row, col), RecordStraightFour(state, row, col)) << at;
      ASSERT_EQ(ThreatIsFive(board, row, col), IsFiveAt(state, row, col)) << at;
      ASSERT_EQ(ThreatIsOverline(board, row, col), IsOverlineAt(state, row, col)) << at;
      ASSERT_EQ(ThreatCountFours(board, row, col), CountFoursAt(state, row, col)) << at;
      ASSERT_EQ(ThreatMakesFive(board, row, col), MakesFiveAt(state, row, col)) << at;
      if (state.cell(row, col) != White) {
        ASSERT_EQ(ThreatCountRealThrees(board, row, col), CountRealThreesAt(state, row, col)) << at;
      }
      ASSERT_EQ(ThreatForbiddenKind(board, row, col), ForbiddenKindAt(state, row, col)) << at;
    }
  }
  ASSERT_EQ(board.cells, boardBefore.cells);
  ASSERT_EQ(state, recordBefore);
}

// The bit sets and the open runs of every line, recounted from the cells.
void ExpectBitsAgreeWithCells(const ThreatBoard& board) {
  for (int line = 0; line < ThreatLineCount; ++line) {
    const int32_t* cells = &board.cells[line * BoardSize];
    for (int colour : {Black, White}) {
      uint16_t own = 0;
      for (int k = 0; k < BoardSize; ++k) own |= static_cast<uint16_t>((cells[k] == colour) << k);
      ASSERT_EQ(ThreatOwnBits(board, line, colour), own) << "line " << line;
      for (int stones : {3, 4}) {
        uint16_t runs = 0;
        for (int w = 0; w + 5 <= BoardSize; ++w) {
          int count = 0;
          bool open = true;
          for (int k = w; k < w + 5; ++k) {
            count += cells[k] == colour;
            open = open && (cells[k] == colour || cells[k] == Empty);
          }
          if (open && count >= stones) runs |= static_cast<uint16_t>(1u << w);
        }
        ASSERT_EQ(ThreatOpenRuns(board, line, colour, stones), runs) << "line " << line;
      }
    }
  }
}

TEST(ThreatBoard, AgreesWithTheGameRecordOnRandomPositions) {
  std::mt19937 rng(11);
  int positions = 0;
  for (int game = 0; game < 24; ++game) {
    const bool forbidden = game % 4 != 3;
    GameState state;
    ClearGameState(state);
    state.forbiddenRulesOn = forbidden ? 1 : 0;
    // The threat board follows the game stone by stone through SetThreatCell.
    ThreatBoard board = Built(state);
    const int length = 30 + static_cast<int>(rng() % 90);
    while (state.moveCount < length) {
      test::PlayRandomMove(state, rng);
      const MoveRecord move = state.history[state.moveCount - 1];
      SetThreatCell(board, move.row, move.col, state.cell(move.row, move.col));
      if (rng() % 5 == 0) {
        SetThreatCell(board, move.row, move.col, Empty);
        UndoMove(state);
      }
      ASSERT_EQ(board.cells, Built(state).cells) << "after " << state.moveCount << " moves";
      ASSERT_NO_FATAL_FAILURE(ExpectBitsAgreeWithCells(board));
      ASSERT_NO_FATAL_FAILURE(ExpectThreatBoardAgrees(state, board));
      ++positions;
    }
  }
  EXPECT_GT(positions, 1500);
}

}  // namespace
}  // namespace tesmor
