#include <gtest/gtest.h>

#include <random>

#include "search/vcf.h"
#include "support/position_walk.h"

namespace tesmor {
namespace {

// The context's threat board follows the position from one search to the next, whatever changed
// in between (moves, take-backs, set-up stones, a cleared board, the rule setting): each search
// answers as one on a board built afresh, and leaves the position as it found it.
TEST(VcfBoard, FollowsThePositionBetweenSearches) {
  std::mt19937 rng(3);
  SequenceRandom random({1});
  SearchContext kept(random, nullptr, nullptr);
  SearchContext rebuilt(random, nullptr, nullptr);
  GameState state;
  int wins = 0;
  for (int step = 0; step < 600; ++step) {
    test::RandomChange(state, rng);
    if (rng() % 2 == 0) continue;
    const GameState before = state;
    for (const int side : {Black, White}) {
      rebuilt.vcfBoard.valid = false;
      const int expected = FindVcfFor(rebuilt, state, side, 4);
      ASSERT_EQ(FindVcfFor(kept, state, side, 4), expected) << "step " << step << " side " << side;
      wins += expected < VcfNone;
    }
    ASSERT_EQ(state, before);
  }
  EXPECT_GT(wins, 10);
}

}  // namespace
}  // namespace tesmor
