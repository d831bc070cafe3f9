#include "eval/stone_tracker.h"

#include <gtest/gtest.h>

#include <random>

#include "eval/evaluation.h"
#include "support/position_walk.h"

namespace tesmor {
namespace {

// The tracker against the cells themselves, over changes that the record shows (moves, take-backs)
// and changes it does not (set-up stones, a cleared board, a shorter count): every cell that
// differs is reported once with what the copy held, and no other.
TEST(StoneTracker, ReportsEveryChangedCellOnce) {
  std::mt19937 rng(5);
  StoneTracker tracker;
  GameState state;
  for (int step = 0; step < 4000; ++step) {
    test::RandomChange(state, rng);
    ASSERT_EQ(state.Key(), ComputeKey(state)) << "the walk itself keeps the key";
    if (rng() % 3 == 0) continue;  // several changes between two looks
    const StoneTracker::Cells before = tracker.cells();
    std::array<int, CellCount> reports{};
    tracker.Follow(state, [&](int cell, int was) {
      ++reports[cell];
      EXPECT_EQ(was, before[cell]) << "cell " << cell << " at step " << step;
    });
    for (int cell = 0; cell < CellCount; ++cell)
      ASSERT_EQ(reports[cell], before[cell] != state.cells[cell] ? 1 : 0)
          << "cell " << cell << " at step " << step;
    ASSERT_EQ(tracker.cells(), state.cells.get());
  }
}

// The score of every stone's four lines summed per colour, from nothing but the cells.
int Recount(const GameState& state, int side) {
  PatternTally own;
  PatternTally opponent;
  for (int cell = 0; cell < CellCount; ++cell) {
    if (state.cells[cell] == Empty) continue;
    std::array<PatternValue, 4> values;
    for (int d = 0; d < 4; ++d) {
      const int row = cell / BoardSize;
      const int col = cell % BoardSize;
      values[d] = ClassifyLinePoint(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                                    LinePosition(d, row, col), state.forbiddenRulesOn);
    }
    (state.cells[cell] == side ? own : opponent) += TallyPatterns(values);
  }
  return ScoreStoneTotals(own, opponent);
}

// One evaluation context follows the same kinds of changes, the rule setting switching among
// them: its scores equal a recount and its candidate values PointValue after every change.
TEST(StoneTracker, KeepsTheEvaluationExactOutsideTheRecord) {
  std::mt19937 rng(9);
  EvalContext context;
  GameState state;
  for (int step = 0; step < 700; ++step) {
    test::RandomChange(state, rng);
    if (rng() % 3 == 0) continue;
    for (const int side : {Black, White})
      ASSERT_EQ(EvaluatePosition(context, state, side), Recount(state, side)) << "step " << step;
    RefreshCandidates(context, state);
    for (int cell = step % 3; cell < CellCount; cell += 3) {
      if (state.cells[cell] != Empty) continue;
      for (const int colour : {Black, White})
        ASSERT_EQ(context.Candidate(colour, cell),
                  PointValue(state, cell / BoardSize, cell % BoardSize, colour))
            << "cell " << cell << " for " << colour << " at step " << step;
    }
  }
}

}  // namespace
}  // namespace tesmor
