#include "eval/patterns.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "board/forbidden.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::LineFrom;

constexpr PatternValue V(PatternLevel level, int count = 1) {
  return MakePatternValue(level, count);
}
constexpr PatternValue kNone = 0;
constexpr PatternValue kFive = V(PatternLevel::Five);
constexpr PatternValue kOverline = V(PatternLevel::Overline);
constexpr PatternValue kOpenFour = V(PatternLevel::OpenFour);
constexpr PatternValue kFour = V(PatternLevel::Four, 1);
constexpr PatternValue kFourTwice = V(PatternLevel::Four, 2);
constexpr PatternValue kOpenThree = V(PatternLevel::OpenThree);
constexpr PatternValue kClosedThree = V(PatternLevel::ClosedThree);
constexpr PatternValue kOpenTwo = V(PatternLevel::OpenTwo);
constexpr PatternValue kClosedTwo = V(PatternLevel::ClosedTwo);

// One line, one stone, and what it forms under the plain rule and under the Black rule. The
// lines are Black's ('X'); the plain result is also White's on the colour-swapped line.
struct Case {
  const char* line;
  int pos;
  PatternValue plain;
  PatternValue blackRule;
};

void Check(const Case& c) {
  const Line line = LineFrom(c.line);
  EXPECT_EQ(ClassifyLinePoint(line, c.pos, false), c.plain) << c.line << " at " << c.pos;
  EXPECT_EQ(ClassifyLinePoint(line, c.pos, true), c.blackRule)
      << c.line << " at " << c.pos << " (Black rule)";
  std::string swapped(c.line);
  for (char& ch : swapped) ch = ch == 'X' ? 'O' : ch == 'O' ? 'X' : ch;
  EXPECT_EQ(ClassifyLinePoint(LineFrom(swapped), c.pos, true), c.plain)
      << swapped << " at " << c.pos << " (White)";
}

TEST(ClassifyLinePoint, FivesAndOverlines) {
  const Case cases[] = {
      {".XXXXX.", 3, kFive, kFive},    {"OXXXXXO", 1, kFive, kFive},
      {"XXXXXX", 2, kFive, kOverline}, {"XXXXXXX", 6, kFive, kOverline},
      {"XXXXX.X", 0, kFive, kFive},    // the stone beyond the gap touches no window of the five
      {"XXXX.XXXX", 4, kNone, kNone},  // an empty point forms nothing
  };
  for (const Case& c : cases) Check(c);
}

TEST(ClassifyLinePoint, FoursAndTheirOpenEnds) {
  const Case cases[] = {
      {".XXXX.", 1, kOpenFour, kOpenFour},
      {"OXXXX.", 1, kFour, kFour},
      {".XXXXO", 2, kFour, kFour},
      {"XXXX.", 0, kFour, kFour},  // against the edge: one window, closed by the guard
      // _XXXX_X: XXXX_ would grow into six for Black, _XXXX is a four closed by an own stone.
      {".XXXX.X", 1, kOpenFour, kFour},
      {".XXXX.X", 4, kOpenFour, kFour},
      // X_XXXX_: the far end would make six, so the open side is closed for Black.
      {"X.XXXX..", 2, kOpenFour, kFour},
      // XXX_XX: the hole would make six.
      {"XXX.XX", 0, kFour, kNone},
      {"OXX.XXX", 1, kFour, kNone},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ClassifyLinePoint, TwoFoursOnOneLineShareTheirMiddleStones) {
  const Case cases[] = {
      // XXX_X_XXX: only the centre stone belongs to both fours.
      {"XXX.X.XXX", 4, kFourTwice, kFourTwice},
      {"XXX.X.XXX", 0, kFour, kFour},
      {"XXX.X.XXX", 8, kFour, kFour},
      {"XXX.X.XXXX", 4, kFourTwice, kFour},  // a further Black stone: the second four is six
      // XX_XX_XX: the two stones between the holes.
      {"XX.XX.XX", 3, kFourTwice, kFourTwice},
      {"XX.XX.XX", 4, kFourTwice, kFourTwice},
      {"XX.XX.XX", 1, kFour, kFour},
      {"XX.XX.XX", 6, kFour, kFour},
      {"XX.XX.XXX", 3, kFourTwice, kFour},
      // X_XXX_X: the three middle stones.
      {"X.XXX.X", 2, kFourTwice, kFourTwice},
      {"X.XXX.X", 3, kFourTwice, kFourTwice},
      {"X.XXX.X", 4, kFourTwice, kFourTwice},
      {"X.XXX.X", 0, kFour, kFour},
      {"X.XXX.X", 6, kFour, kFour},
      {"X.XXX.XX", 3, kFourTwice, kFour},
      // Against the far edge the shape still fits, and the guard is not an own stone.
      {"......XXX.X.XXX", 10, kFourTwice, kFourTwice},
      {".......XX.XX.XX", 11, kFourTwice, kFourTwice},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ClassifyLinePoint, Threes) {
  const Case cases[] = {
      {"..XXX..", 3, kOpenThree, kOpenThree},
      {"..XXX.O", 3, kOpenThree, kOpenThree},  // one open side is enough
      {"O.XXX.O", 3, kClosedThree, kClosedThree},
      // X__XXX__X: each straight four would be an overline for Black.
      {"X..XXX..X", 4, kOpenThree, kClosedThree},
      {"X..XXX..X", 3, kOpenThree, kClosedThree},
      {"O.XX.X.O", 2, kOpenThree, kOpenThree},
      {"..XX.X..", 2, kOpenThree, kOpenThree},
      {"OXX.X.", 1, kClosedThree, kClosedThree},
      {"OX.XX.", 1, kClosedThree, kClosedThree},
      // XX_X_ with an own stone two before: closed for Black.
      {"X.XX.X..", 2, kOpenThree, kClosedThree},
      // XX_X_X: the Black rule refuses XX_X_ with an own stone after it; _XX_X is closed by it.
      {"..XX.X.X", 2, kOpenThree, kClosedThree},
      {".XX.XO", 1, kClosedThree, kClosedThree},
      {"OXXX..O", 1, kClosedThree, kClosedThree},
      {"OXXX..X", 1, kClosedThree, kNone},
      {"O..XXXO", 5, kClosedThree, kClosedThree},
      {"X..XXXO", 5, kClosedThree, kNone},
      {"OXX..XO", 1, kClosedThree, kClosedThree},
      {"OX.X.XO", 3, kClosedThree, kClosedThree},
      {"X..XX", 0, kClosedThree, kClosedThree},
      {"XX..XX", 0, kClosedThree, kNone},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ClassifyLinePoint, Twos) {
  const Case cases[] = {
      {".XX...", 1, kOpenTwo, kOpenTwo},
      {"O.XX..O", 2, kClosedTwo, kClosedTwo},
      {"O.X.X.O", 2, kClosedTwo, kClosedTwo},
      // _X_X_ with an own stone beyond the right gap and the edge on the left: closed for Black.
      {".X.X..X", 1, kOpenTwo, kClosedTwo},
      {".X..X..", 1, kOpenTwo, kOpenTwo},
      {"OX..X.", 1, kClosedTwo, kClosedTwo},
      {"X.X..X..", 2, kOpenTwo, kClosedTwo},
      {"OXX...O", 1, kClosedTwo, kClosedTwo},
      {"OX.X..O", 1, kClosedTwo, kClosedTwo},
      {"...XXO", 3, kClosedTwo, kClosedTwo},
      {"X...XXO", 4, kClosedTwo, kNone},
      // X___X is never open, and for Black nothing when an own stone touches it.
      {"X...X", 0, kClosedTwo, kClosedTwo},
      {".X...X.", 1, kClosedTwo, kClosedTwo},
      {"XX...X", 1, kClosedTwo, kNone},
      {"..X....", 2, kNone, kNone},
  };
  for (const Case& c : cases) Check(c);
}

TEST(ClassifyLinePoint, OffBoardCellsOnShortDiagonals) {
  const Case cases[] = {
      // A four against the board's edge on a diagonal is closed, not open.
      {"####XXXX.......", 5, kFour, kFour},
      {"##########XXXXX", 12, kFive, kFive},
      // Four positions on the board: no window fits.
      {"###########XXXX", 12, kNone, kNone},
      {"###.XXX.#######", 5, kClosedThree, kClosedThree},
      {"###.XX..#######", 4, kClosedTwo, kClosedTwo},
      {"###..XX..######", 5, kOpenTwo, kOpenTwo},
  };
  for (const Case& c : cases) Check(c);
}

// Lines drawn at random, with off-board runs at either end as on the diagonals.
std::string RandomLine(std::mt19937& rng) {
  std::string cells(15, '.');
  const char kinds[] = {'.', '.', 'X', 'X', 'O'};
  for (char& ch : cells) ch = kinds[rng() % 5];
  const int offStart = rng() % 3 == 0 ? static_cast<int>(rng() % 8) : 0;
  const int offEnd = rng() % 3 == 0 ? static_cast<int>(rng() % 8) : 0;
  for (int k = 0; k < offStart; ++k) cells[k] = '#';
  for (int k = 0; k < offEnd; ++k) cells[14 - k] = '#';
  return cells;
}

TEST(ClassifyLinePoint, FivesAndOverlinesAgreeWithTheRuleTestsAndThePlainRuleIsColourBlind) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomLine(rng);
    std::string swapped(text);
    for (char& ch : swapped) ch = ch == 'X' ? 'O' : ch == 'O' ? 'X' : ch;
    const Line line = LineFrom(text);
    const Line swappedLine = LineFrom(swapped);
    for (int pos = 0; pos < 15; ++pos) {
      const PatternValue plain = ClassifyLinePoint(line, pos, false);
      const PatternValue black = ClassifyLinePoint(line, pos, true);
      ASSERT_EQ(ClassifyLinePoint(swappedLine, pos, false), plain) << text << " at " << pos;
      // The forbidden-move setting changes nothing for White.
      if (text[pos] == 'O') {
        ASSERT_EQ(black, plain) << text << " at " << pos;
      }
      ASSERT_EQ(PatternLevelOf(plain) == PatternLevel::Five, IsFiveInLine(line, pos, false) == 1)
          << text << " at " << pos;
      ASSERT_EQ(PatternLevelOf(black) == PatternLevel::Five, IsFiveInLine(line, pos, true) == 1)
          << text << " at " << pos;
      ASSERT_EQ(PatternLevelOf(black) == PatternLevel::Overline,
                IsOverlineInLine(line, pos, true) == 1)
          << text << " at " << pos;
    }
  }
}

}  // namespace
}  // namespace tesmor
