#pragma once

#include "board/board.h"

namespace tesmor {

// What a stone forms along one line. Scoped because Overline is also a ForbiddenKind.
enum class PatternLevel : int {
  NoPattern = 0,
  ClosedTwo = 3,
  OpenTwo = 4,
  ClosedThree = 5,
  OpenThree = 6,
  Four = 7,
  OpenFour = 8,
  Five = 10,
  Overline = 12,
};

// level * 65536 + count, so that plain integer comparison orders by level, then count. The count
// is 1, except that a Four counts 2 when two fours on the line share the stone.
using PatternValue = int;

constexpr PatternValue MakePatternValue(PatternLevel level, int count = 1) {
  return static_cast<int>(level) * 65536 + count;
}
constexpr PatternLevel PatternLevelOf(PatternValue value) {
  return static_cast<PatternLevel>(value / 65536);
}
constexpr int PatternCountOf(PatternValue value) {
  return value % 65536;
}

// The values a stone's line can take.
constexpr PatternValue kFive = MakePatternValue(PatternLevel::Five);
constexpr PatternValue kOverline = MakePatternValue(PatternLevel::Overline);
constexpr PatternValue kOpenFour = MakePatternValue(PatternLevel::OpenFour);
constexpr PatternValue kFour = MakePatternValue(PatternLevel::Four, 1);
constexpr PatternValue kDoubleFour = MakePatternValue(PatternLevel::Four, 2);
constexpr PatternValue kOpenThree = MakePatternValue(PatternLevel::OpenThree);
constexpr PatternValue kClosedThree = MakePatternValue(PatternLevel::ClosedThree);
constexpr PatternValue kOpenTwo = MakePatternValue(PatternLevel::OpenTwo);
constexpr PatternValue kClosedTwo = MakePatternValue(PatternLevel::ClosedTwo);

// The strongest pattern that the stone at position (0..14) forms in any five-cell window of the
// line that contains it; 0 for an empty position. Black under forbidden rules is judged so that
// a side whose completion would make six counts as closed.
PatternValue ClassifyLinePoint(const Line& line, int position, bool forbiddenRulesOn);

}  // namespace tesmor
