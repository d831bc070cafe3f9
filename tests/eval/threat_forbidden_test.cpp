#include <gtest/gtest.h>

#include <array>
#include <random>

#include "board/forbidden.h"
#include "eval/threat_board.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

// The threat board passes over the full rule test where its bit sets show no possible foul, so
// its verdicts are checked against the game record's where fouls are common: boards crowded with
// Black stones, every point and stone asked, and every kind of foul met along the way.
TEST(ThreatForbidden, VerdictsOnCrowdedBoardsAgreeWithTheRecord) {
  // Two fours on one line, a shape the quick look must not pass over, and fouls at the edge.
  const std::array<const char*, 3> rows = {"X.XXX.X", "XXX.XX", "XX.X.XX"};
  for (const char* row : rows) {
    test::Diagram d = test::FromDiagram({row}, "A1");
    ThreatBoard board;
    BuildThreatBoard(board, d.state);
    for (int col = 0; col < BoardSize; ++col)
      ASSERT_EQ(ThreatForbiddenKind(board, 0, col), ForbiddenKindAt(d.state, 0, col))
          << row << " " << col;
  }

  std::mt19937 rng(5);
  std::array<int, 4> seen{};  // by ForbiddenKind
  for (int round = 0; round < 60; ++round) {
    GameState state = test::FromStones({}, {}, round % 6 != 5);
    const int stones = 30 + static_cast<int>(rng() % 60);
    for (int i = 0; i < stones; ++i) {
      const int cell = static_cast<int>(rng() % CellCount);
      state.SetUpStone(cell / BoardSize, cell % BoardSize, rng() % 3 == 0 ? White : Black);
    }
    ThreatBoard board;
    BuildThreatBoard(board, state);
    const ThreatBoard before = board;
    for (int cell = 0; cell < CellCount; ++cell) {
      const ForbiddenKind kind = ForbiddenKindAt(state, cell / BoardSize, cell % BoardSize);
      ASSERT_EQ(ThreatForbiddenKind(board, cell / BoardSize, cell % BoardSize), kind)
          << round << " " << cell;
      ++seen[static_cast<int>(kind)];
    }
    ASSERT_EQ(board.cells, before.cells);
    ASSERT_EQ(board.blackBits, before.blackBits);
  }
  for (const ForbiddenKind kind : {ThreeThree, FourFour, Overline})
    EXPECT_GE(seen[static_cast<int>(kind)], 5) << static_cast<int>(kind);
}

}  // namespace
}  // namespace tesmor
