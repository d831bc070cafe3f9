#include <gtest/gtest.h>

#include <random>

#include "eval/evaluation.h"
#include "support/position_walk.h"

namespace tesmor {
namespace {

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

// One evaluation context follows the position through changes that its record shows (moves,
// take-backs) and changes it does not (set-up stones, a cleared board, a lower count, the rule
// setting): its scores equal a recount and its candidate values PointValue after every change.
TEST(IncrementalEvaluation, FollowsChangesOutsideTheRecord) {
  std::mt19937 rng(9);
  EvalContext context;
  GameState state;
  for (int step = 0; step < 700; ++step) {
    test::RandomChange(state, rng);
    ASSERT_EQ(state.Key(), ComputeKey(state)) << "the walk keeps the record consistent";
    if (rng() % 3 == 0) continue;  // several changes between two looks
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
