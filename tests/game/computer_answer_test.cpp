#include <gtest/gtest.h>

#include "search/computer_move.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

// The search packs the point to play in the low byte of a pair and the offering set aside in
// the high byte; a swap would place the wrong fifth move or take the wrong offering away.
TEST(ComputerAnswer, FromTheSearchsCompactValues) {
  const struct {
    int value;
    ComputerAnswer expected;
  } cases[] = {
      {P("H8"), ComputerAnswer::Play(P("H8"))},
      {0, ComputerAnswer::Play(0)},
      {MakePointPair(P("J7"), P("K5")), ComputerAnswer::Pair(P("K5"), P("J7"))},
      {MakePointPair(0, CellCount - 1), ComputerAnswer::Pair(CellCount - 1, 0)},
      {Resign, ComputerAnswer::Resignation()},
      {NoPoint, ComputerAnswer::None()},
      {255, ComputerAnswer::None()},
      {-2, ComputerAnswer::None()},
      {MakePointPair(P("J7"), NoPoint), ComputerAnswer::None()},  // a pair without a reply
      {MakePointPair(255, P("K5")), ComputerAnswer::None()},
  };
  for (const auto& c : cases) {
    const ComputerAnswer answer = AnswerFromSearch(c.value);
    EXPECT_EQ(answer, c.expected) << c.value;
  }
}

}  // namespace
}  // namespace tesmor
