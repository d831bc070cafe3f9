#include "board/forbidden.h"

#include <gtest/gtest.h>

#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::Diagram;
using test::FromDiagram;
using test::LineFrom;

constexpr LinePoints One(int p) {
  return 16 + p;
}
constexpr LinePoints Two(int a, int b) {
  return 256 + 16 * a + b;
}

struct LineCase {
  const char* line;
  int pos;
  bool forbidden;
  int fours;
  LinePoints fourPoints;
};

TEST(LineTests, FoursAndTheirCompletionPoints) {
  const LineCase cases[] = {
      // X.XXX.X: the three middle stones belong to both fours, the outer ones to one.
      {"X.XXX.X", 3, true, 2, Two(1, 5)},
      {"X.XXX.X", 4, true, 2, Two(1, 5)},
      {"X.XXX.X", 0, true, 1, One(1)},
      {"X.XXX.X", 6, true, 1, One(5)},
      // A Black stone beyond the far end turns the second four into an overline.
      {"X.XXX.XX", 3, true, 1, One(1)},
      {"X.XXX.XX", 3, false, 2, Two(1, 5)},
      {"XX.XX.XX", 3, true, 2, Two(2, 5)},
      {"XX.XX.XX", 1, true, 1, One(2)},
      {"XXX.X.XXX", 4, true, 2, Two(3, 5)},
      {"XXX.X.XXX", 2, true, 1, One(3)},
      // XXX.XXX: the hole would make seven, so Black has no four; White has one.
      {"XXX.XXX", 2, true, 0, 0},
      {"XXX.XXX", 2, false, 1, One(3)},
      {"OOO.OOO", 2, true, 1, One(3)},
      // Open fours name both ends; the Black rule lists the far end first.
      {".XXXX.", 2, true, 1, Two(5, 0)},
      {".XXXX.", 2, false, 1, Two(0, 5)},
      {".OOOO.", 2, true, 1, Two(0, 5)},
      // A Black stone two points away leaves one completion.
      {"X.XXXX.", 3, true, 1, One(6)},
      {"X.XXXX.", 3, false, 1, One(1)},  // the first window with a hole decides
      // Against the edge guard and a White stone.
      {"XXXX.", 1, true, 1, One(4)},
      {"OXXXX.", 1, true, 1, One(5)},
      {"OXXXXO", 1, true, 0, 0},
      {"###XXXX.", 4, true, 1, One(7)},
      {"....", 0, true, 0, 0},
  };
  for (const LineCase& c : cases) {
    const Line line = LineFrom(c.line);
    EXPECT_EQ(CountFoursInLine(line, c.pos, c.forbidden), c.fours)
        << c.line << " at " << c.pos << (c.forbidden ? " (Black rule)" : "");
    EXPECT_EQ(FourPointsInLine(line, c.pos, c.forbidden), c.fourPoints)
        << c.line << " at " << c.pos << (c.forbidden ? " (Black rule)" : "");
  }
}

TEST(LineTests, StraightFoursThreesAndOverlines) {
  struct Case {
    const char* line;
    int pos;
    bool forbidden;
    int straight;
    LinePoints threes;
    int overline;
  };
  const Case cases[] = {
      {".XXXX.", 1, true, 1, 0, 0},
      {"X.XXXX.", 2, true, 0, 0, 0},  // a completion would make six
      {"X.XXXX.", 2, false, 1, 0, 0},
      {"XXXX.", 0, true, 0, 0, 0},  // the edge closes one end
      {"..XXX..", 2, true, 0, Two(1, 5), 0},
      {".X.XX.", 1, true, 0, One(2), 0},
      {".XX.X.", 4, true, 0, One(3), 0},
      {"XXX..", 0, true, 0, 0, 0},
      {".XXX..", 1, true, 0, One(4), 0},  // only the right end grows to a straight four
      {".XXX.X", 1, true, 0, 0, 0},       // XXX.X is a four, not a three
      {"X..XXX..X", 4, true, 0, 0, 0},    // each straight four would be an overline
      {"X..XXX..X", 4, false, 0, Two(2, 6), 0},
      {"O.XXX.O", 3, true, 0, 0, 0},
      {"XXXXXX", 2, true, 0, 0, 1},
      {"XXXXXXX", 0, true, 0, 0, 1},
      {"XXXXXX", 2, false, 0, 0, 0},
      {"OOOOOO", 2, true, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const Line line = LineFrom(c.line);
    const char* rule = c.forbidden ? " (Black rule)" : "";
    EXPECT_EQ(IsStraightFourInLine(line, c.pos, c.forbidden), c.straight) << c.line << rule;
    EXPECT_EQ(ThreePointsInLine(line, c.pos, c.forbidden), c.threes) << c.line << rule;
    EXPECT_EQ(IsOverlineInLine(line, c.pos, c.forbidden), c.overline) << c.line << rule;
  }
}

struct VerdictCase {
  const char* what;
  Diagram diagram;
  ForbiddenKind expected;
};

ForbiddenKind VerdictAtMark(Diagram& d) {
  const GameState before = d.state;
  const ForbiddenKind kind = ForbiddenKindAt(d.state, d.markRow, d.markCol);
  EXPECT_EQ(d.state, before) << "the test changed the record";
  return kind;
}

TEST(ForbiddenKindAt, FoursOnOneLineAndOverlines) {
  VerdictCase cases[] = {
      {"X.XXX.X, middle", FromDiagram({"X.X*X.X"}, "D8"), FourFour},
      {"XX.XX.XX, middle", FromDiagram({"XX.X*.XX"}, "D8"), FourFour},
      {"XXX.X.XXX, centre", FromDiagram({"XXX.*.XXX"}, "C8"), FourFour},
      {"X.XXX.XX has one four", FromDiagram({"X.X*X.XX"}, "D8"), None},
      {"six in a row", FromDiagram({"XXX*XX"}, "D8"), Overline},
      {"seven in a row", FromDiagram({"XXX*XXX"}, "D8"), Overline},
      {"XXX.XXX filled", FromDiagram({"XXX*XXX"}, "A1"), Overline},
      {"six on a short diagonal",
       FromDiagram({"X.....", ".X....", "..*...", "...X..", "....X.", ".....X"}, "A1"), Overline},
  };
  for (VerdictCase& c : cases) EXPECT_EQ(VerdictAtMark(c.diagram), c.expected) << c.what;
}

TEST(ForbiddenKindAt, AnExactFiveIsNeverForbidden) {
  // The mark completes a row five and also a four in the column and one on the diagonal.
  Diagram fiveAndFourFour = FromDiagram(
      {
          "....X..X",
          "....X.X.",
          "....XX..",
          "XXXX*...",
      },
      "D8");
  EXPECT_EQ(VerdictAtMark(fiveAndFourFour), None);
  // Without the row the same point is a four-four.
  Diagram fourFour = FromDiagram(
      {
          "....X..X",
          "....X.X.",
          "....XX..",
          "....*...",
      },
      "D8");
  EXPECT_EQ(VerdictAtMark(fourFour), FourFour);
  // A five in the row together with six in the column.
  Diagram fiveAndOverline = FromDiagram(
      {
          "....X",
          "....X",
          "....X",
          "....X",
          "....X",
          "XXXX*",
      },
      "D3");
  EXPECT_EQ(VerdictAtMark(fiveAndOverline), None);
  // Six in a row that also makes two fours elsewhere: four-four is reported first.
  Diagram sixAndFours = FromDiagram(
      {
          "......X..X",
          "......X.X.",
          "......XX..",
          "...XXX*XX.",
      },
      "A8");
  EXPECT_EQ(VerdictAtMark(sixAndFours), FourFour);
}

TEST(ForbiddenKindAt, RealThreesAreJudgedRecursively) {
  // Two open threes through the mark: a three-three.
  Diagram plain = FromDiagram(
      {
          "...X...",
          "...X...",
          ".X.*X..",
          ".......",
      },
      "E6");
  EXPECT_EQ(VerdictAtMark(plain), ThreeThree);

  // The row three F8 . H8 I8 becomes a straight four only at G8, and G8 (with H8 played) is a
  // four-four: the row and the G column. That three is not real; H8 makes one real three.
  Diagram blocked = FromDiagram(
      {
          "...X..",
          "...XX.",
          "...XX.",
          "..X.*X",
      },
      "D8");
  ASSERT_EQ(blocked.markRow, 7);
  ASSERT_EQ(blocked.markCol, 7);
  blocked.state.cell(7, 7) = Black;
  EXPECT_EQ(ForbiddenKindAt(blocked.state, 7, 6), FourFour);
  blocked.state.cell(7, 7) = Empty;
  EXPECT_EQ(VerdictAtMark(blocked), None);
  // Take away G11: G8 then makes a four and a three, so both threes through H8 are real.
  blocked.state.cell(10, 6) = Empty;
  EXPECT_EQ(VerdictAtMark(blocked), ThreeThree);
}

TEST(ForbiddenKindAt, EdgesAndShortDiagonalsCloseThrees) {
  // A row three touching the left edge cannot become a straight four; one column in, it can.
  Diagram atEdge = FromDiagram(
      {
          "..X.",
          "..X.",
          "XX*.",
          "....",
      },
      "A7");
  EXPECT_EQ(VerdictAtMark(atEdge), None);
  Diagram oneIn = FromDiagram(
      {
          "...X.",
          "...X.",
          ".XX*.",
          ".....",
      },
      "A7");
  EXPECT_EQ(VerdictAtMark(oneIn), ThreeThree);

  // On the five-point diagonal A5-E1 three stones in the middle are no three; on the six-point
  // diagonal A6-F1 they are.
  Diagram shortDiagonal = FromDiagram(
      {
          ".......",
          ".X.....",
          "..*XX..",
          "...X...",
          ".......",
      },
      "A1");
  EXPECT_EQ(VerdictAtMark(shortDiagonal), None);
  Diagram longerDiagonal = FromDiagram(
      {
          "........",
          "........",
          "..X.....",
          "...*XX..",
          "....X...",
          "........",
      },
      "A1");
  EXPECT_EQ(VerdictAtMark(longerDiagonal), ThreeThree);
}

TEST(ForbiddenKindAt, RuleSettingAndColours) {
  Diagram d = FromDiagram({"X.X*X.X"}, "D8");
  d.state.forbiddenRulesOn = 0;
  EXPECT_EQ(VerdictAtMark(d), None);
  Diagram six = FromDiagram({"XXXXXX"}, "D8");
  EXPECT_EQ(IsOverlineAt(six.state, 7, 5), 1);
  six.state.forbiddenRulesOn = 0;
  EXPECT_EQ(IsOverlineAt(six.state, 7, 5), 0);
  EXPECT_EQ(ForbiddenKindAt(six.state, 7, 5), None);

  Diagram white = FromDiagram({"X.XOX.X"}, "D8");
  EXPECT_EQ(ForbiddenKindAt(white.state, 7, 6), None);
  // MakesFiveAt tests the stone already standing on an occupied point.
  Diagram whiteFive = FromDiagram({"OOOOO"}, "D8");
  EXPECT_EQ(MakesFiveAt(whiteFive.state, 7, 5), 1);
}

TEST(ForbiddenKindAt, EveryQueryLeavesTheRecordAsItFoundIt) {
  std::mt19937 rng(2026);
  int forbiddenSeen = 0;
  for (int game = 0; game < 300; ++game) {
    GameState state = test::RandomPosition(rng, 10 + game % 70, game % 4 != 0);
    const GameState before = state;
    for (int p = 0; p < CellCount; p += 1 + game % 3) {
      const int row = PointRow(p);
      const int col = PointCol(p);
      forbiddenSeen += ForbiddenKindAt(state, row, col) != None;
      MakesFiveAt(state, row, col);
      CountRealThreesAt(state, row, col);
      CountFoursAt(state, row, col);
      IsOverlineAt(state, row, col);
      ASSERT_EQ(state, before) << "game " << game << " point " << PointText(p);
    }
  }
  EXPECT_GT(forbiddenSeen, 100);  // the positions are rich enough to exercise the verdicts
}

}  // namespace
}  // namespace tesmor
