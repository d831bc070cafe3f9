#include "board/forbidden.h"

#include <gtest/gtest.h>

#include <tuple>

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

TEST(LineTests, FoursAndTheirCompletionPoints) {
  // line, position, Black rule, fours through the stone, their completion points
  using Case = std::tuple<const char*, int, bool, int, LinePoints>;
  const Case cases[] = {
      // X.XXX.X: the middle stones belong to both fours, the outer ones to one.
      {"X.XXX.X", 3, true, 2, Two(1, 5)},
      {"X.XXX.X", 0, true, 1, One(1)},
      // A Black stone beyond the far end turns the second four into an overline.
      {"X.XXX.XX", 3, true, 1, One(1)},
      {"X.XXX.XX", 3, false, 2, Two(1, 5)},
      {"XX.XX.XX", 3, true, 2, Two(2, 5)},
      {"XXX.X.XXX", 4, true, 2, Two(3, 5)},
      // XXX.XXX: the hole would make seven, so Black has no four; White has one.
      {"XXX.XXX", 2, true, 0, 0},
      {"XXX.XXX", 2, false, 1, One(3)},
      {"OOO.OOO", 2, true, 1, One(3)},
      // Open fours name both ends; the Black rule lists the far end first.
      {".XXXX.", 2, true, 1, Two(5, 0)},
      {".XXXX.", 2, false, 1, Two(0, 5)},
      // A Black stone two points away leaves one completion.
      {"X.XXXX.", 3, true, 1, One(6)},
      {"X.XXXX.", 3, false, 1, One(1)},  // the first window with a hole decides
      {"XXXX.", 1, true, 1, One(4)},
      {"OXXXXO", 1, true, 0, 0},
      {"###XXXX.", 4, true, 1, One(7)},
  };
  for (const auto& [text, pos, rule, fours, points] : cases) {
    const Line line = LineFrom(text);
    EXPECT_EQ(CountFoursInLine(line, pos, rule), fours) << text << " at " << pos << " " << rule;
    EXPECT_EQ(FourPointsInLine(line, pos, rule), points) << text << " at " << pos << " " << rule;
  }
}

TEST(LineTests, StraightFoursThreesAndOverlines) {
  // line, position, Black rule, straight four, straight-four points of a three, overline
  using Case = std::tuple<const char*, int, bool, int, LinePoints, int>;
  const Case cases[] = {
      {".XXXX.", 1, true, 1, 0, 0},
      {"X.XXXX.", 2, true, 0, 0, 0},  // a completion would make six
      {"X.XXXX.", 2, false, 1, 0, 0},
      {".XXXX.X", 1, true, 0, 0, 0},
      {"XXXX.", 0, true, 0, 0, 0},  // the edge closes one end
      {"..XXX..", 2, true, 0, Two(1, 5), 0},
      {".X.XX.", 1, true, 0, One(2), 0},
      {".XX.X.", 4, true, 0, One(3), 0},
      {"X.XX.X.", 2, true, 0, 0, 0},  // filling the hole, the far end would make six
      {".X.XX.X", 1, true, 0, 0, 0},  // ... on either side
      {"X.XX.X.", 2, false, 0, One(4), 0},
      {"XXX..", 0, true, 0, 0, 0},
      {".XXX..", 1, true, 0, One(4), 0},  // only the right end grows to a straight four
      {".XXX.X", 1, true, 0, 0, 0},       // XXX.X is a four, not a three
      {"X..XXX..X", 4, true, 0, 0, 0},    // each straight four would be an overline
      {"X..XXX..X", 4, false, 0, Two(2, 6), 0},
      {"O.XXX.O", 3, true, 0, 0, 0},
      {"XXXXXX", 2, true, 0, 0, 1},
      {"XXXXXX", 2, false, 0, 0, 0},
      {"OOOOOO", 2, true, 0, 0, 0},
  };
  for (const auto& [text, pos, rule, straight, threes, overline] : cases) {
    const Line line = LineFrom(text);
    EXPECT_EQ(IsStraightFourInLine(line, pos, rule), straight) << text << " " << rule;
    EXPECT_EQ(ThreePointsInLine(line, pos, rule), threes) << text << " " << rule;
    EXPECT_EQ(IsOverlineInLine(line, pos, rule), overline) << text << " " << rule;
  }
}

// The verdict on the marked point; the test leaves the record as it found it.
ForbiddenKind VerdictAtMark(Diagram d) {
  const GameState before = d.state;
  const ForbiddenKind kind = ForbiddenKindAt(d.state, d.markRow, d.markCol);
  EXPECT_EQ(d.state, before) << "the test changed the record";
  return kind;
}

TEST(ForbiddenKindAt, SubtleCases) {
  const std::tuple<const char*, Diagram, ForbiddenKind> cases[] = {
      {"X.XXX.X, two fours on one line", FromDiagram({"X.X*X.X"}, "D8"), FourFour},
      {"XX.XX.XX", FromDiagram({"XX.X*.XX"}, "D8"), FourFour},
      {"X.XXX.XX has one four", FromDiagram({"X.X*X.XX"}, "D8"), None},
      {"no forbidden moves", FromDiagram({"X.X*X.X"}, "D8", false), None},
      {"six", FromDiagram({"XXX*XX"}, "D8"), Overline},
      {"seven against the edge", FromDiagram({"XXX*XXX"}, "A1"), Overline},
      {"six on a short diagonal",
       FromDiagram({"X.....", ".X....", "..*...", "...X..", "....X.", ".....X"}), Overline},
      // A row five that also makes fours in the column and on the diagonal.
      {"an exact five beats a four-four",
       FromDiagram({"....X..X", "....X.X.", "....XX..", "XXXX*..."}, "D8"), None},
      {"the same without the five",
       FromDiagram({"....X..X", "....X.X.", "....XX..", "....*..."}, "D8"), FourFour},
      {"an exact five beats an overline",
       FromDiagram({"....X", "....X", "....X", "....X", "....X", "XXXX*"}, "D3"), None},
      {"six in a row and two fours: four-four is reported first",
       FromDiagram({"......X..X", "......X.X.", "......XX..", "...XXX*XX."}, "A8"), FourFour},
      {"three-three", FromDiagram({"...X...", "...X...", ".X.*X..", "......."}, "E6"), ThreeThree},
      // The row three F8 . H8 I8 straightens only at G8, a four-four: that three is not real.
      {"a three whose straight-four point is forbidden",
       FromDiagram({"...X..", "...XX.", "...XX.", "..X.*X"}, "D8"), None},
      {"that point", FromDiagram({"...X..", "...XX.", "...XX.", "..X*XX"}, "D8"), FourFour},
      {"without G11 the point is allowed and the three real",
       FromDiagram({"......", "...XX.", "...XX.", "..X.*X"}, "D8"), ThreeThree},
      {"a three whose far straight-four point is forbidden and the near one is not",
       FromDiagram({"....X.", "...XX.", "...XX.", ".XX*.."}, "D8"), ThreeThree},
      {"the row three's only straight-four point F8 completes the column five: not real",
       FromDiagram({"...X..", "...X..", "X.X*..", ".X....", ".X....", ".X....", ".X...."}, "E4"),
       None},
      // A three against the edge cannot become a straight four; one point in, it can.
      {"three at the edge", FromDiagram({"..X.", "..X.", "XX*.", "...."}, "A7"), None},
      {"one point in", FromDiagram({"...X.", "...X.", ".XX*.", "....."}, "A7"), ThreeThree},
      // Three stones on the five-point diagonal A5-E1 are no three; on the six-point one, they are.
      {"the five-point diagonal",
       FromDiagram({".......", ".X.....", "..*XX..", "...X...", "......."}), None},
      {"the six-point diagonal",
       FromDiagram({"........", "........", "..X.....", "...*XX..", "....X...", "........"}),
       ThreeThree},
  };
  for (const auto& [what, diagram, expected] : cases)
    EXPECT_EQ(VerdictAtMark(diagram), expected) << what;
  Diagram white = FromDiagram({"O.OOO.O"}, "D8");
  EXPECT_EQ(ForbiddenKindAt(white.state, 7, 6), None);  // a White stone, even on a four-four
}

}  // namespace
}  // namespace tesmor
