#include "eval/evaluation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

GameState Position(std::initializer_list<const char*> black,
                   std::initializer_list<const char*> white, bool forbiddenRulesOn) {
  GameState state;
  ClearGameState(state);
  state.forbiddenRulesOn = forbiddenRulesOn ? 1 : 0;
  for (const char* point : black) state.cell(PointRow(P(point)), PointCol(P(point))) = Black;
  for (const char* point : white) state.cell(PointRow(P(point)), PointCol(P(point))) = White;
  return state;
}

PatternTally StoneTallyAt(const GameState& state, int row, int col) {
  std::array<PatternValue, 4> values;
  for (int d = 0; d < 4; ++d)
    values[d] = ClassifyLinePoint(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                                  LinePosition(d, row, col), state.forbiddenRulesOn);
  return TallyPatterns(values);
}

// The score recounted from scratch: every stone's tally, summed per colour.
int FullRecount(const GameState& state, int side) {
  PatternTally own;
  PatternTally opponent;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      if (state.cell(row, col) != Empty)
        (state.cell(row, col) == side ? own : opponent) += StoneTallyAt(state, row, col);
  return ScoreStoneTotals(own, opponent);
}

struct ScoreCase {
  const char* what;
  GameState state;
  int black;  // EvaluatePosition from Black's view
  int white;
};

TEST(EvaluatePosition, WeighsHandBuiltPositions) {
  const ScoreCase cases[] = {
      {"empty board", Position({}, {}, true), 0, 0},
      {"a Black five: five stones see one five", Position({"D8", "E8", "F8", "G8", "H8"}, {}, true),
       700000, -250000},
      {"a Black six under forbidden rules is an overline, not a five",
       Position({"D8", "E8", "F8", "G8", "H8", "I8"}, {}, true), 0, 0},
      {"the same six without forbidden rules",
       Position({"D8", "E8", "F8", "G8", "H8", "I8"}, {}, false), 700000, -250000},
      {"X___X: one closed two", Position({"D8", "H8"}, {}, true), 7, -5},
      {"a four against the edge", Position({"A1", "B1", "C1", "D1"}, {}, true), 84, -250000},
      {"two separate fours make a double four",
       Position({"A1", "B1", "C1", "D1", "A7", "B7", "C7", "D7"}, {}, true), 2 * 84 + 28000,
       -3 * 250000},
      {"one four and two open threes: four-three and double three",
       Position({"A1", "B1", "C1", "D1", "F7", "G7", "H7", "F13", "G13", "H13"}, {}, true),
       84 + 21000 + 700 + 2 * 70, -250000 - 250000 - 7500 - 2 * 2500},
      {"a Black split three against a White open two",
       Position({"G8", "H8", "J8"}, {"G9", "H9"}, true), 70 - 30, 21 - 2500},
      {"White's closed three and closed two",
       Position({"A3"}, {"B3", "C3", "D3", "A10", "E10"}, false), -35 - 5, 28 + 7},
  };
  for (const ScoreCase& c : cases) {
    EvalContext context;
    EXPECT_EQ(EvaluatePosition(context, c.state, Black), c.black) << c.what;
    EXPECT_EQ(EvaluatePosition(context, c.state, White), c.white) << c.what;
    EXPECT_EQ(FullRecount(c.state, Black), c.black) << c.what;
  }
}

struct PointCase {
  const char* what;
  GameState state;
  const char* point;
  int colour;
  int value;
};

TEST(PointValue, AttackDefenceAndTheForbiddenGuess) {
  const char* const crossing[] = {"F8", "G8", "H6", "H7"};
  const PointCase cases[] = {
      {"two open threes for Black, free rules: 8 * (2 * 10 + 100)",
       Position({crossing[0], crossing[1], crossing[2], crossing[3]}, {}, false), "H8", Black, 960},
      {"the same under forbidden rules looks forbidden: 8 * -100000",
       Position({crossing[0], crossing[1], crossing[2], crossing[3]}, {}, true), "H8", Black,
       -800000},
      {"White on the crossing point takes both threes: 5 * (2 * 7 + 15)",
       Position({crossing[0], crossing[1], crossing[2], crossing[3]}, {}, true), "H8", White,
       5 * (2 * 7 + 15)},
      {"a five with an overline in another direction is no forbidden guess",
       Position({"B2", "C2", "D2", "E2", "F3", "F4", "F5", "F6", "F7"}, {}, true), "F2", Black,
       8 * 1000000},
      {"without forbidden rules the six counts as a second five",
       Position({"B2", "C2", "D2", "E2", "F3", "F4", "F5", "F6", "F7"}, {}, false), "F2", Black,
       8 * 2000000},
      {"White blocking two Black fives",
       Position({"D8", "E8", "F8", "G8", "H4", "H5", "H6", "H7"}, {}, true), "H8", White,
       5 * 2 * 50000},
      {"an open four: 6000 + 12, the defence for White 3000 + 8",
       Position({"E8", "F8", "G8"}, {}, true), "H8", Black, 8 * 6012},
      {"a lone stone on an empty board", Position({}, {}, true), "H8", Black, 0},
  };
  for (const PointCase& c : cases) {
    const GameState before = c.state;
    EXPECT_EQ(PointValue(c.state, PointRow(P(c.point)), PointCol(P(c.point)), c.colour), c.value)
        << c.what;
    EXPECT_EQ(c.state, before) << c.what;
  }
}

// Compares every answer of the context with a recount and with PointValue; no query may change
// the record.
void ExpectMatchesRecount(EvalContext& context, const GameState& state, int firstSide) {
  const GameState before = state;
  ASSERT_EQ(EvaluatePosition(context, state, firstSide), FullRecount(state, firstSide));
  ASSERT_EQ(EvaluatePosition(context, state, -firstSide), FullRecount(state, -firstSide));
  RefreshCandidates(context, state);
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (state.cell(row, col) != Empty) continue;
      for (const int colour : {Black, White})
        ASSERT_EQ(context.Candidate(colour, CellIndex(row, col)),
                  PointValue(state, row, col, colour))
            << PointText(PointIndex(row, col)) << " for " << colour << " after " << state.moveCount
            << " moves";
    }
  }
  ASSERT_EQ(state, before);
}

TEST(IncrementalEvaluation, EqualsARecountAfterEveryMoveAndTakeBack) {
  std::mt19937 rng(7);
  // One context for all games and both rule settings, as a long-lived search context would be.
  EvalContext context;
  int positions = 0;
  for (int game = 0; game < 24; ++game) {
    GameState state;
    ClearGameState(state);
    state.forbiddenRulesOn = game % 2;
    const int length = 40 + static_cast<int>(rng() % 100);
    while (state.moveCount < length) {
      test::PlayRandomMove(state, rng);
      // Now and then let several moves pass unseen, so that one call meets many changes.
      if (rng() % 4 == 0) continue;
      const int side = rng() % 2 ? Black : White;
      ASSERT_NO_FATAL_FAILURE(ExpectMatchesRecount(context, state, side));
      ++positions;
      if (rng() % 3 == 0) {
        const int takeBacks = 1 + static_cast<int>(rng() % 3);
        for (int k = 0; k < takeBacks; ++k) UndoMove(state);
        ASSERT_NO_FATAL_FAILURE(ExpectMatchesRecount(context, state, -side));
        ++positions;
      }
    }
  }
  EXPECT_GT(positions, 2000);
}

TEST(IncrementalEvaluation, ARuleChangeInvalidatesTheCaches) {
  // The board stays while the rule setting changes, as when a context outlives a game: a Black
  // six, and a point (H5) where Black would make two open threes.
  const int h5 = CellIndex(PointRow(P("H5")), PointCol(P("H5")));
  GameState state =
      Position({"A12", "B12", "C12", "D12", "E12", "F12", "F5", "G5", "H3", "H4"}, {}, false);
  EvalContext context;
  const int freeScore = EvaluatePosition(context, state, Black);
  EXPECT_EQ(freeScore, FullRecount(state, Black));
  RefreshCandidates(context, state);
  EXPECT_GT(context.Candidate(Black, h5), 0);

  state.forbiddenRulesOn = 1;
  const int forbiddenScore = EvaluatePosition(context, state, Black);
  EXPECT_EQ(forbiddenScore, FullRecount(state, Black));
  EXPECT_EQ(freeScore - forbiddenScore, 700000);  // the six is no longer a five
  RefreshCandidates(context, state);
  EXPECT_EQ(context.Candidate(Black, h5), -800000);
  EXPECT_EQ(context.Candidate(Black, h5),
            PointValue(state, PointRow(P("H5")), PointCol(P("H5")), Black));
}

}  // namespace
}  // namespace tesmor
