#include <gtest/gtest.h>

#include <random>

#include "search/vcf.h"
#include "support/diagram.h"
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

// A recorded search stands in for the search of its position with one more stone of the
// defender wherever that stone misses what it read: the same answer, nodes, completeness and
// length as a search run afresh, for every point, both colours attacking, with and without the
// rule, and whatever the recorded search found.
TEST(VcfBoard, RecordAnswersForADefenderStoneItNeverRead) {
  std::mt19937 rng(5);
  SequenceRandom random({1});
  SearchContext recorded(random, nullptr, nullptr);
  SearchContext fresh(random, nullptr, nullptr);
  int reused = 0;
  int searched = 0;
  int reusedWins = 0;
  for (int game = 0; game < 12; ++game) {
    GameState state = test::FromMoves({}, game % 3 != 2);
    const int length = 20 + static_cast<int>(rng() % 80);
    while (state.moveCount < length) {
      test::PlayRandomMove(state, rng);
      const int attacker = -state.SideToMove();
      const int limit = 1 + static_cast<int>(rng() % 5);
      VcfRecord record;
      const int answer = FindVcfRecorded(recorded, state, attacker, limit, record);
      ASSERT_EQ(answer, FindVcfFor(fresh, state, attacker, limit)) << "move " << state.moveCount;
      for (int p = 0; p < CellCount; ++p) {
        if (state.cell(PointRow(p), PointCol(p)) != Empty) continue;
        const ScopedPlay defence(state, PointRow(p), PointCol(p));
        recorded.vcfLength = fresh.vcfLength = -1;
        const int64_t recordedNodes = recorded.vcfNodes;
        const int64_t freshNodes = fresh.vcfNodes;
        const int expected = FindVcf(fresh, state, limit);
        ASSERT_EQ(FindVcfAfterDefence(recorded, state, limit, record, p), expected)
            << "move " << state.moveCount << " " << PointText(p);
        ASSERT_EQ(recorded.vcfNodes - recordedNodes, fresh.vcfNodes - freshNodes) << PointText(p);
        ASSERT_EQ(recorded.vcfComplete, fresh.vcfComplete) << PointText(p);
        ASSERT_EQ(recorded.vcfLength, fresh.vcfLength) << PointText(p);
        const bool read = ThreatWatched(record.watch, PointRow(p), PointCol(p));
        (read ? searched : reused)++;
        reusedWins += !read && expected < VcfNone;
      }
    }
  }
  EXPECT_GT(reused, 1000);
  EXPECT_GT(searched, 1000);
  EXPECT_GT(reusedWins, 100);
}

}  // namespace
}  // namespace tesmor
