#include "eval/patterns.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "board/forbidden.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::LineFrom;

constexpr PatternValue kNone = 0;

std::string SwapColours(std::string text) {
  for (char& ch : text) ch = ch == 'X' ? 'O' : ch == 'O' ? 'X' : ch;
  return text;
}

TEST(ClassifyLinePoint, SubtleRows) {
  // A Black line, a stone, its shape under the plain and the Black rule.
  using Case = std::tuple<const char*, int, PatternValue, PatternValue>;
  const Case cases[] = {
      // Fives and overlines: more in the random test below.
      {"XXXXXX", 2, kFive, kOverline},
      {"XXXX.XXXX", 4, kNone, kNone},  // an empty point forms nothing
      // Fours and their open ends.
      {".XXXX.", 1, kOpenFour, kOpenFour},
      {"OXXXX.", 1, kFour, kFour},
      {"XXXX.", 0, kFour, kFour},  // against the edge: one window, closed by the guard
      // _XXXX_X: XXXX_ would grow into six for Black, _XXXX is a four closed by an own stone.
      {".XXXX.X", 1, kOpenFour, kFour},
      {"X.XXXX..", 2, kOpenFour, kFour},  // the far end would make six
      {"XXX.XX", 0, kFour, kNone},        // the hole would make six
      {"OXX.XXX", 1, kFour, kNone},
      // Two fours on one line share their middle stones: count 2.
      {"XXX.X.XXX", 4, kDoubleFour, kDoubleFour},
      {"XXX.X.XXXX", 4, kDoubleFour, kFour},  // a further Black stone: the second four is six
      {"XX.XX.XX", 3, kDoubleFour, kDoubleFour},
      {"XX.XX.XXX", 3, kDoubleFour, kFour},
      {"X.XXX.X", 2, kDoubleFour, kDoubleFour},
      {"X.XXX.X", 0, kFour, kFour},
      {"X.XXX.XX", 3, kDoubleFour, kFour},
      {"......XXX.X.XXX", 10, kDoubleFour, kDoubleFour},  // the far edge's guard is no own stone
      // Threes.
      {"..XXX..", 3, kOpenThree, kOpenThree},
      {"..XXX.O", 3, kOpenThree, kOpenThree},  // one open side is enough
      {"O.XXX.O", 3, kClosedThree, kClosedThree},
      {"X..XXX..X", 4, kOpenThree, kClosedThree},  // each straight four would be six for Black
      {"O.XX.X.O", 2, kOpenThree, kOpenThree},
      {"OXX.X.", 1, kClosedThree, kClosedThree},
      {"X.XX.X..", 2, kOpenThree, kClosedThree},  // XX_X_ with an own stone two before
      {"..XX.X.X", 2, kOpenThree, kClosedThree},  // ... or an own stone after it
      {".XX.XO", 1, kClosedThree, kClosedThree},
      {"OXXX..X", 1, kClosedThree, kNone},
      {"O..XXXO", 5, kClosedThree, kClosedThree},
      {"X..XXXO", 5, kClosedThree, kNone},
      {"X.X.XXO", 4, kClosedThree, kNone},
      {"OXX..XO", 1, kClosedThree, kClosedThree},
      {"X..XX", 0, kClosedThree, kClosedThree},
      {"XX..XX", 0, kClosedThree, kNone},
      // Twos.
      {".XX...", 1, kOpenTwo, kOpenTwo},
      {"O.XX..O", 2, kClosedTwo, kClosedTwo},
      {".X.X..X", 1, kOpenTwo, kClosedTwo},  // the edge on the left, an own stone on the right
      {".X..X..", 1, kOpenTwo, kOpenTwo},
      {"OX..X.", 1, kClosedTwo, kClosedTwo},
      {"X.X..X..", 2, kOpenTwo, kClosedTwo},
      {"X...XXO", 4, kClosedTwo, kNone},
      {".X...X.", 1, kClosedTwo, kClosedTwo},  // X___X is never open
      {"XX...X", 1, kClosedTwo, kNone},
      {"..X....", 2, kNone, kNone},
      // Off-board cells on the short diagonals.
      {"####XXXX.......", 5, kFour, kFour},   // a four against the board's edge is closed
      {"###########XXXX", 12, kNone, kNone},  // four positions on the board: no window fits
      {"###.XXX.#######", 5, kClosedThree, kClosedThree},
      {"###.XX..#######", 4, kClosedTwo, kClosedTwo},
      {"###..XX..######", 5, kOpenTwo, kOpenTwo},
  };
  for (const auto& [text, pos, plain, blackRule] : cases) {
    const Line line = LineFrom(text);
    EXPECT_EQ(ClassifyLinePoint(line, pos, false), plain) << text << " at " << pos;
    EXPECT_EQ(ClassifyLinePoint(line, pos, true), blackRule) << text << " at " << pos << " Black";
  }
}

TEST(ClassifyLinePoint, FivesAndOverlinesAgreeWithTheRuleTestsAndThePlainRuleIsColourBlind) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 20000; ++round) {
    // A random line, with off-board runs at either end as on the diagonals.
    std::string text(15, '.');
    for (char& ch : text) ch = ".XXO."[rng() % 5];
    const int offStart = rng() % 3 == 0 ? static_cast<int>(rng() % 8) : 0;
    const int offEnd = rng() % 3 == 0 ? static_cast<int>(rng() % 8) : 0;
    for (int k = 0; k < offStart; ++k) text[k] = '#';
    for (int k = 0; k < offEnd; ++k) text[14 - k] = '#';
    const Line line = LineFrom(text);
    const Line swapped = LineFrom(SwapColours(text));
    for (int pos = 0; pos < 15; ++pos) {
      const PatternValue plain = ClassifyLinePoint(line, pos, false);
      const PatternValue black = ClassifyLinePoint(line, pos, true);
      ASSERT_EQ(ClassifyLinePoint(swapped, pos, false), plain) << text << " at " << pos;
      ASSERT_TRUE(text[pos] != 'O' || black == plain) << text << " at " << pos;  // White: no rule
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
