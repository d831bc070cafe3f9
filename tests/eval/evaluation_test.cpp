#include "eval/evaluation.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "support/diagram.h"
#include "support/position_walk.h"

namespace tesmor {
namespace {

using test::FromStones;
using test::P;

// The score recounted from scratch: every stone's tally, summed per colour.
int FullRecount(const GameState& state, int side) {
  PatternTally own;
  PatternTally opponent;
  for (int cell = 0; cell < CellCount; ++cell) {
    if (state.cells[cell] == Empty) continue;
    const int row = cell / BoardSize;
    const int col = cell % BoardSize;
    std::array<PatternValue, 4> values;
    for (int d = 0; d < 4; ++d)
      values[d] = ClassifyLinePoint(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                                    LinePosition(d, row, col), state.forbiddenRulesOn);
    (state.cells[cell] == side ? own : opponent) += TallyPatterns(values);
  }
  return ScoreStoneTotals(own, opponent);
}

// What the rules make of fives, sixes and double threats, in the score and in a point's value.
TEST(Evaluation, FivesSixesAndDoubleThreatsByRule) {
  EvalContext context;
  const GameState five = FromStones({"D8", "E8", "F8", "G8", "H8"});
  EXPECT_GT(EvaluatePosition(context, five, Black), 0);
  EXPECT_LT(EvaluatePosition(context, five, White), 0);
  // Under the forbidden rules Black's six is no five and no shape at all.
  const GameState six = FromStones({"D8", "E8", "F8", "G8", "H8", "I8"});
  EXPECT_EQ(EvaluatePosition(context, six, Black), 0);
  EXPECT_EQ(EvaluatePosition(context, six, White), 0);
  // Two fours on separate lines: White to move cannot stop both, so it stands worse than Black
  // stands well with the move.
  const GameState fours = FromStones({"A1", "B1", "C1", "D1", "A7", "B7", "C7", "D7"});
  EXPECT_GT(-EvaluatePosition(context, fours, White), EvaluatePosition(context, fours, Black));
  // H8 makes two open threes: a foul guessed for Black, never for White.
  const GameState crossing = FromStones({"F8", "G8", "H6", "H7"});
  EXPECT_LT(PointValue(crossing, PointRow(P("H8")), PointCol(P("H8")), Black), 0);
  EXPECT_GT(PointValue(crossing, PointRow(P("H8")), PointCol(P("H8")), White), 0);
  // F2 makes a five across and a six upward: a five for Black, no foul guessed; without the
  // rules the six is a second five.
  const std::initializer_list<const char*> fiveAndSix = {"B2", "C2", "D2", "E2", "F3",
                                                         "F4", "F5", "F6", "F7"};
  const int ruled = PointValue(FromStones(fiveAndSix), 1, 5, Black);
  EXPECT_GT(ruled, 0);
  EXPECT_GT(PointValue(FromStones(fiveAndSix, {}, false), 1, 5, Black), ruled);
}

// One evaluation context follows the position through changes that its record shows (moves,
// take-backs) and changes it does not (set-up stones, a cleared board, a lower count, the rule
// setting): its scores equal a recount and its candidate values PointValue after every change.
TEST(IncrementalEvaluation, FollowsEveryChangeOfThePosition) {
  std::mt19937 rng(9);
  EvalContext context;
  GameState state;
  for (int step = 0; step < 1200; ++step) {
    test::RandomChange(state, rng);
    ASSERT_EQ(state.Key(), ComputeKey(state)) << "the walk keeps the record consistent";
    if (rng() % 3 == 0) continue;  // several changes between two looks
    for (const int side : {Black, White})
      ASSERT_EQ(EvaluatePosition(context, state, side), FullRecount(state, side)) << step;
    RefreshCandidates(context, state);
    for (int cell = step % 3; cell < CellCount; cell += 3) {
      for (const int colour : {Black, White})
        ASSERT_EQ(context.Candidate(colour, cell),
                  state.cells[cell] != Empty
                      ? EvalContext::Occupied
                      : PointValue(state, cell / BoardSize, cell % BoardSize, colour))
            << "cell " << cell << " for " << colour << " at step " << step;
    }
  }
}

TEST(IncrementalEvaluation, ARuleChangeInvalidatesTheCaches) {
  // A context outlives a change of rules: a Black six, and H5 where Black makes two open threes.
  const int h5 = CellIndex(PointRow(P("H5")), PointCol(P("H5")));
  GameState state =
      FromStones({"A12", "B12", "C12", "D12", "E12", "F12", "F5", "G5", "H3", "H4"}, {}, false);
  EvalContext context;
  const int freeScore = EvaluatePosition(context, state, Black);
  RefreshCandidates(context, state);
  EXPECT_GT(context.Candidate(Black, h5), 0);

  state.forbiddenRulesOn = 1;
  EXPECT_EQ(freeScore - EvaluatePosition(context, state, Black), 700000);  // the six is no five
  RefreshCandidates(context, state);
  EXPECT_EQ(context.Candidate(Black, h5), -800000);
}

}  // namespace
}  // namespace tesmor
