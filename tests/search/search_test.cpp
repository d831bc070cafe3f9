#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <tuple>

#include "board/symmetry.h"
#include "search/alpha_beta.h"
#include "search/computer_move.h"
#include "search/search_root.h"
#include "search/vcf.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::FromMoves;
using test::FromStones;
using test::IsLegalMove;
using test::P;

// White's D5 F5 H5 J5: G5 makes two fours on one line, which one block cannot stop.
const std::initializer_list<const char*> kDoubleFour = {"A15", "D5", "C15", "F5", "E15",
                                                        "H5",  "O1", "J5",  "M1"};
// Black's straight four at E8 is also a four-four with E9-E11, so only I8 wins under the rule.
const std::initializer_list<const char*> kPoisoned = {"F8", "A1", "G8",  "A3", "H8",  "A5",
                                                      "E9", "A7", "E10", "A9", "E11", "A11"};

// The search's context; the test receives its panel lines and can stop at the n-th root move.
class Search : public ::testing::Test, public SearchProgress {
 protected:
  Search() {
    context.settings.rifRules = false;
    context.settings.useBook = false;
    context.progress = this;
  }
  void Progress(ProgressField field, int value) override {
    lines.push_back({field, value});
    if (field == ProgressField::CurrentPoint && ++rootMoves == stopAtRootMove)
      context.stopRequested() = true;
  }
  // The computer's move; the record comes back unchanged.
  int Choose(GameState& game, int menuLevel) {
    const GameState before = game;
    const int answer = ChooseComputerMove(context, game, menuLevel + 7);
    EXPECT_EQ(game, before) << "the search changed the record";
    return answer;
  }
  int Find(GameState game, int limit) {
    const GameState before = game;
    const int answer = FindVcf(context, game, limit);
    EXPECT_EQ(game, before) << "the VCF search changed the record";
    return answer;
  }
  SequenceRandom random{{1}};
  std::ostringstream console;
  SearchContext context{random, nullptr, &console};
  std::vector<std::pair<ProgressField, int>> lines;
  int rootMoves = 0;
  int stopAtRootMove = -1;
};

TEST_F(Search, VcfEdgeCases) {
  GameState forbiddenBlock =  // Black A5-D5 . F5 G5: E5 would make seven for Black
      FromMoves({"A5", "E6", "B5", "E7", "C5", "E8", "D5", "O15", "F5", "O13", "G5", "O11", "E10",
                 "M15", "E4", "K15", "A15"});
  // White's fours with different completion points; J11 would give Black a straight four.
  const GameState twoFives =
      FromStones({"E11", "J8", "J9", "J10"}, {"A2", "B2", "C2", "D2", "F11", "G11", "H11", "I11"});
  const GameState fourFour = FromStones({"D8", "F8", "H8", "J8"});  // G8: two fours on one line
  const GameState straightFour = FromMoves({"H8", "A15", "I8", "C15", "J8", "E15"});
  const GameState sixFour = FromStones({"B8", "E8", "F8", "G8"});  // D8: X.XXXX., H8: X..XXXX.
  // what, position, forbidden moves on, limit, answer
  const std::tuple<const char*, GameState, int, int, int> cases[] = {
      {"a five at once", FromMoves({"D4", "A15", "E4", "C15", "F4", "E15", "G4", "O1"}), 1, 1,
       P("C4")},
      {"a straight four at once", straightFour, 1, 1, P("G8")},
      {"the same at any limit", straightFour, 1, 113, P("G8")},
      {"nothing to attack with: no deeper step is needed", FromMoves({"H8", "I9", "A1", "O15"}), 1,
       1, VcfNone},
      {"two fours at once need a second step", FromMoves(kDoubleFour), 1, 1, VcfUnknown},
      {"a defender with two five points", twoFives, 1, 113, VcfNone},
      {"a four whose block is forbidden to Black", forbiddenBlock, 1, 1, P("E9")},
      {"the same without forbidden moves", forbiddenBlock, 0, 1, VcfUnknown},
      {"a forbidden straight four is no step", FromMoves(kPoisoned), 1, 1, P("I8")},
      {"without forbidden moves it is", FromMoves(kPoisoned), 0, 1, P("E8")},
      {"a forbidden four is no step", fourFour, 1, 2, VcfUnknown},
      {"a straight four that would be six is no straight four", sixFour, 1, 1, P("H8")},
      {"without forbidden moves it is", sixFour, 0, 1, P("D8")},
      {"without forbidden moves it is", fourFour, 0, 2, P("G8")},
  };
  for (auto [what, game, rules, limit, expected] : cases) {
    game.forbiddenRulesOn = rules;
    EXPECT_EQ(Find(game, limit), expected) << what;
  }
}

// The opponent's VCF is the VCF of the same stones with the other side to move.
TEST_F(Search, RandomPositions) {
  std::mt19937 rng(11);
  int wins = 0;
  for (int round = 0; round < 60; ++round) {
    GameState game = test::RandomPosition(rng, 6 + round % 50, round % 3 != 0);
    if (WinnerAtFocus(game) != 0) continue;
    const GameState before = game;
    const int forOther = FindVcfFor(context, game, -game.SideToMove(), 5);
    ASSERT_EQ(game, before);
    GameState flipped = game;
    flipped.SetUpMoveCount(flipped.moveCount + 1);
    EXPECT_EQ(Find(flipped, 5), forOther) << "round " << round;
    const int forMover = Find(game, 5);
    wins += forMover < VcfNone;
    EXPECT_TRUE(forMover >= VcfNone || IsLegalMove(game, forMover));
    if (round % 5 == 0) {
      EXPECT_TRUE(IsLegalMove(game, Choose(game, 1 + round % 3)));
    }
  }
  EXPECT_GT(wins, 0);
}

TEST_F(Search, KnownAnswers) {
  const GameState block = FromMoves({"H8", "C3", "J10", "C4", "C2", "C5", "M13", "C6"}, false);
  // what, position, level, answer
  const std::tuple<const char*, GameState, int, const char*> cases[] = {
      {"take the five the threat scan names",
       FromMoves({"D4", "H8", "E4", "H9", "F4", "J12", "G4", "K2"}, false), 3, "H4"},
      {"block the four: every other move loses", block, 1, "C7"},
      {"the same deeper", block, 6, "C7"},
      {"the double four", FromMoves(kDoubleFour), 4, "G5"},
      {"the straight four that is no four-four", FromMoves(kPoisoned), 2, "I8"},
  };
  for (auto [what, game, level, expected] : cases)
    EXPECT_EQ(Choose(game, level), P(expected)) << what;
  // H8 is a three-three for Black (F8 G8 and H9 H10): the search looks elsewhere.
  GameState threeThree = FromMoves({"F8", "A1", "G8", "O1", "H9", "A15", "H10", "O15"});
  EXPECT_TRUE(IsLegalMove(threeThree, Choose(threeThree, 3)));
}

TEST_F(Search, StopRequestsAndProgressLines) {
  GameState game = FromMoves({"H8", "I9", "J10", "H10", "G9", "G8"});
  // A stop set before the search still gives a move; the flag is its owner's to clear.
  context.stopRequested() = true;
  EXPECT_TRUE(IsLegalMove(game, Choose(game, 3)));
  EXPECT_EQ(context.nodeCount, 0);
  EXPECT_TRUE(context.stopRequested());
  context.stopRequested() = false;
  lines.clear();
  EXPECT_TRUE(IsLegalMove(game, Choose(game, 1)));
  EXPECT_GT(context.nodeCount, 0);
  std::vector<int> depths;  // level 1 runs iterations 0 and 1, each on a panel line
  for (const auto& [field, value] : lines)
    if (field == ProgressField::Depth) depths.push_back(value);
  EXPECT_EQ(depths, (std::vector<int>{0, 1}));

  // A stop keeps the first root move, not the interrupted one's 0 (every value is negative).
  game = FromStones({},
                    {"A1", "B1", "C1", "A15", "B15", "C15", "O1", "O2", "O3", "O15", "O14", "O13"});
  game.SetUpMoveCount(12);  // Black to move
  for (int stopAt : {2, 1}) {
    lines.clear();
    rootMoves = 0;
    stopAtRootMove = stopAt;
    const int answer = Choose(game, 5);
    ASSERT_TRUE(IsLegalMove(game, answer));
    const auto first = std::find_if(lines.begin(), lines.end(), [](const auto& line) {
      return line.first == ProgressField::CurrentPoint;
    });
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(answer, first->second) << stopAt;
    context.stopRequested() = false;
  }

  // With the flag set, a node returns 0 at once and touches nothing.
  context.stopRequested() = true;
  const int64_t nodes = context.nodeCount;
  const GameState before = game;
  EXPECT_EQ(AlphaBeta(context, game, P("H8"), 10, 4, -WonValue, WonValue), 0);
  EXPECT_EQ(game, before);
  EXPECT_EQ(context.nodeCount, nodes);

  // A stopped VCF search has shown neither a win nor that none exists.
  EXPECT_EQ(Find(FromMoves(kDoubleFour), 2), VcfUnknown);
  EXPECT_EQ(Find(FromMoves({"H8", "I9", "A1", "O15"}), 113), VcfUnknown);
  context.stopRequested() = false;
  EXPECT_EQ(Find(FromMoves(kDoubleFour), 2), P("G5"));
}

TEST_F(Search, AlphaBetaLeavesAndLostNodes) {
  GameState game = FromMoves({"H8", "I9", "J10", "H10", "G9"});
  context.maxDepth = 1;
  const GameState before = game;
  const int value = AlphaBeta(context, game, P("G11"), 6, 0, -WonValue, WonValue);
  EXPECT_EQ(game, before);
  GameState played = FromMoves({"H8", "I9", "J10", "H10", "G9", "G11"});
  EvalContext fresh;
  EXPECT_EQ(value, EvaluatePosition(fresh, played, White));  // depth 0: the static value

  // A move that leaves the opponent a five is lost at once.
  game = FromMoves({"A1", "O15", "B1", "O14", "C1", "O13", "D1"});
  EXPECT_EQ(AlphaBeta(context, game, P("H8"), 6, 2, -WonValue, WonValue), -2 * 1000000);
}

TEST_F(Search, QuickMoveDrawsAgainAndFillsTheLastPoint) {
  struct Case {
    std::initializer_list<const char*> moves;
    std::vector<int> draws;
    const char* expected;
  };
  const Case cases[] = {
      {{}, {0}, "H8"},
      {{"H8", "H9"}, {32765, 3}, "I9"},  // a draw at or above 32760 is drawn again
      {{"H8", "G7"}, {12, 24}, "J10"},   // a draw that names H8 itself is drawn again
  };
  for (const Case& c : cases) {
    GameState game = FromMoves(c.moves);
    random = SequenceRandom(c.draws);
    EXPECT_EQ(QuickMove(context, game), P(c.expected));
  }
  GameState full;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      full.SetUpStone(row, col, ((col + (2 * row + 1) % 4) / 2) % 2 ? Black : White);
  full.SetUpMoveCount(CellCount);
  EXPECT_EQ(QuickMove(context, full), NoPoint);
  full.SetUpStone(0, 0, Empty);
  full.SetUpMoveCount(CellCount - 1);
  EXPECT_EQ(QuickMove(context, full), 0);
}

TEST_F(Search, FifthOfferingsWithoutTheBook) {
  // Four stones symmetric about the H column: the two offerings must not mirror each other.
  context.settings.rifRules = true;
  GameState game = FromMoves({"H8", "H9", "H10", "H6"});
  const int pair = Choose(game, 2);
  ASSERT_GE(pair, PointPairBase);
  const int better = PairLow(pair);
  const int other = PairHigh(pair);
  ASSERT_TRUE(better != other && IsLegalMove(game, better) && IsLegalMove(game, other));
  RecordMove(game, PointRow(better), PointCol(better));
  EXPECT_EQ(SameFifthOfferingExists(game, PointRow(other), PointCol(other)), 0);

  // White takes one of two offerings (I11 played, F6 offered) away and answers the other.
  context.settings.rifFifthState = 2;
  context.settings.secondOffer = {PointRow(P("F6")), PointCol(P("F6"))};
  game = FromMoves({"H8", "H9", "J10", "G9", "I11"});
  const int answer = Choose(game, 2);
  ASSERT_GE(answer, PointPairBase);
  const int removed = PairHigh(answer);
  ASSERT_TRUE(removed == P("I11") || removed == P("F6"));
  EXPECT_EQ(context.settings.rifFifthState, 2);
  GameState kept = FromMoves({"H8", "H9", "J10", "G9", removed == P("I11") ? "F6" : "I11"});
  context.settings.rifFifthState = 0;
  EXPECT_EQ(Choose(kept, 2), PairLow(answer));
}

}  // namespace
}  // namespace tesmor
