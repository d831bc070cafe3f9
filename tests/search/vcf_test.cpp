#include "search/vcf.h"

#include <gtest/gtest.h>

#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

class Vcf : public ::testing::Test {
 protected:
  int Find(GameState& game, int limit) {
    const GameState before = game;
    const int answer = FindVcf(context, game, limit);
    EXPECT_EQ(game, before) << "the search changed the record";
    return answer;
  }
  SequenceRandom random{{0}};
  SearchContext context{random, nullptr, nullptr};
};

TEST_F(Vcf, WinsThatNeedNoDefence) {
  // Black to move completes a five before any scan.
  GameState five = test::FromMoves({"D4", "A15", "E4", "C15", "F4", "E15", "G4", "O1"});
  EXPECT_EQ(Find(five, 1), P("C4"));  // both ends are free: the first completion point found

  // An open three becomes a straight four: answered by the straight-four pass at limit 1.
  GameState three = test::FromMoves({"H8", "A15", "I8", "C15", "J8", "E15"});
  EXPECT_EQ(Find(three, 1), P("G8"));
  EXPECT_EQ(Find(three, 113), P("G8"));
}

TEST_F(Vcf, ADoubleFourOnOneLineWinsOneStepLater) {
  // White D5 F5 H5 J5: G5 makes two fours at once, which one block cannot stop.
  GameState game = test::FromMoves({"A15", "D5", "C15", "F5", "E15", "H5", "O1", "J5", "M1"});
  ASSERT_EQ(game.SideToMove(), White);
  EXPECT_EQ(Find(game, 1), VcfUnknown);
  EXPECT_EQ(Find(game, 2), P("G5"));
}

TEST_F(Vcf, TheDefendersFivesComeFirst) {
  // White has two fours with different completion points; Black has no five: no block helps.
  GameState game = test::FromMoves({"H8", "A1", "J10", "A2", "L12", "A3", "N14", "A4", "C8", "O1",
                                    "E8", "O2", "G8", "O3", "C10", "O4"});
  ASSERT_EQ(game.SideToMove(), Black);
  EXPECT_EQ(Find(game, 113), VcfNone);
}

TEST_F(Vcf, AFourWhoseBlockIsForbiddenToBlackWins) {
  // Black A5 B5 C5 D5 . F5 G5: Black on E5 would make seven. White E6 E7 E8 under Black's E10:
  // White E9 makes a four whose only block is E5.
  GameState game = test::FromMoves({"A5", "E6", "B5", "E7", "C5", "E8", "D5", "O15", "F5", "O13",
                                    "G5", "O11", "E10", "M15", "E4", "K15", "A15"});
  ASSERT_EQ(game.SideToMove(), White);
  EXPECT_EQ(Find(game, 1), P("E9"));
  // Without forbidden moves the block stands (and E5 even wins for Black).
  game.forbiddenRulesOn = 0;
  EXPECT_NE(Find(game, 1), P("E9"));
}

TEST_F(Vcf, AForbiddenFourIsNoStep) {
  // Black's row three F8 G8 H8 can grow to a straight four at E8 or I8; E8 also makes the column
  // E8-E11 four, so under the Black rule it is a four-four and only I8 wins.
  GameState game =
      test::FromMoves({"F8", "A1", "G8", "A3", "H8", "A5", "E9", "A7", "E10", "A9", "E11", "A11"});
  ASSERT_EQ(game.SideToMove(), Black);
  EXPECT_EQ(Find(game, 1), P("I8"));
  game.forbiddenRulesOn = 0;
  EXPECT_EQ(Find(game, 1), P("E8"));
}

TEST_F(Vcf, NothingToAttackWithIsExhaustiveAtOnce) {
  GameState game = test::FromMoves({"H8", "I9", "A1", "O15"});
  context.vcfNodes = 0;
  EXPECT_EQ(Find(game, 1), VcfNone);
  const int64_t shallow = context.vcfNodes;
  context.vcfNodes = 0;
  EXPECT_EQ(Find(game, 113), VcfNone);
  EXPECT_EQ(context.vcfNodes, shallow);  // no deeper level was searched
}

TEST_F(Vcf, EitherSideAsAttackerAndTheRecordRestored) {
  std::mt19937 rng(11);
  int wins = 0;
  for (int round = 0; round < 60; ++round) {
    GameState game = test::RandomPosition(rng, 20 + round % 40, round % 3 != 0);
    if (WinnerAtFocus(game) != 0) continue;
    const GameState before = game;
    const int side = game.SideToMove();
    const int forOther = FindVcfFor(context, game, -side, 5);
    ASSERT_EQ(game, before);
    // The same search with the other side to move gives the same answer.
    GameState flipped = game;
    flipped.moveCount += 1;
    EXPECT_EQ(FindVcf(context, flipped, 5), forOther) << "round " << round;
    const int forMover = FindVcf(context, game, 5);
    ASSERT_EQ(game, before);
    wins += forMover < VcfNone;
    if (forMover < VcfNone) {
      EXPECT_EQ(game.cells[CellIndex(PointRow(forMover), PointCol(forMover))], Empty);
    }
  }
  EXPECT_GT(wins, 0);
}

}  // namespace
}  // namespace tesmor
