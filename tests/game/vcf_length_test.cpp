// The VCF search's answer carries the length of the win (its box is the controller's test).
#include <gtest/gtest.h>

#include <sstream>

#include "game/engine_computer.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::FromMoves;

// Counted up to the move that cannot be stopped: a five, or a straight four.
TEST(VcfLength, CountsTheAttackersMovesUntilTheWinIsSure) {
  struct Case {
    GameState game;
    int length;
  };
  const Case cases[] = {
      // A four on the board: the five at once.
      {FromMoves({"H8", "A1", "H9", "C1", "H10", "E1", "H11", "G1"}, false), 1},
      // An open three: the straight four.
      {FromMoves({"H8", "A1", "H9", "C1", "H10", "E1"}, false), 1},
      // A closed three: its four H7 makes the row's three open, then its straight four.
      {FromMoves({"H8", "H11", "F7", "A1", "H9", "C1", "G7", "E1", "H10", "O15"}, false), 2},
  };
  std::ostringstream console;
  EngineComputer engine(console);
  for (const Case& c : cases) {
    const std::optional<VcfWin> win = engine.FindVcfWin(c.game, 113, nullptr);
    ASSERT_TRUE(win.has_value());
    EXPECT_EQ(win->length, c.length);
  }
  EXPECT_FALSE(engine.FindVcfWin(FromMoves({"H8", "A1"}, false), 113, nullptr).has_value());
}

}  // namespace
}  // namespace tesmor
