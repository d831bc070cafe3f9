
#include <gtest/gtest.h>

#include <vector>

#include "book/opening_book.h"
#include "bookgen/book_analysis.h"
#include "search/alpha_beta.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using bookgen::GradedMove;
using bookgen::MarksFor;
using test::FromMoves;
using test::P;

std::vector<GradedMove> WithValues(std::initializer_list<int> values) {
  std::vector<GradedMove> moves;
  for (int value : values) moves.push_back({static_cast<int>(moves.size()), value, 0, false});
  return moves;
}

TEST(BookMarks, MarkScoresOrderTheMovesAsTheirValuesForTheMover) {
  std::vector<GradedMove> proven = WithValues({WonValue, WonValue, 20});
  proven[0].proven = true;  // the second is as good by value, but not proven
  const std::vector<GradedMove> nine = WithValues({9, 8, 7, 6, 5, 4, 3, 2, 1});
  const struct {
    std::vector<GradedMove> moves;
    int side;
    const char* marks;
  } cases[] = {
      {WithValues({50, 30, 30, 10}), Black, "ABBC"},
      {WithValues({50, 30, 30, 10}), White, "GFFE"},
      {proven, Black, "!AB"},
      {proven, White, "!GF"},
      // The book passes over five equally good moves: a letter goes to four at most.
      {WithValues({9, 9, 9, 9, 9, 9, 5}), Black, "AAAABBC"},
      // Seven letters: beyond them the worst letter is shared.
      {nine, Black, "ABCDEFGGG"},
      {nine, White, "GFEDCBAAA"},
  };
  for (const auto& c : cases) EXPECT_EQ(MarksFor(c.moves, c.side), c.marks);
}

TEST(BookTwins, MirrorImagesAreTwinsButBlacksFifthMovesAreNot) {
  GameState game = FromMoves({"H8", "H9", "H10"});  // symmetric about the H column
  const GameState before = game;
  EXPECT_TRUE(bookgen::EquivalentMoves(game, P("G9"), P("I9")));
  EXPECT_FALSE(bookgen::EquivalentMoves(game, P("G9"), P("J9")));
  EXPECT_FALSE(bookgen::EquivalentMoves(game, P("G9"), P("I8")));
  EXPECT_EQ(game, before);
  // The diagonal through H9 and I8 is no axis of the board: a mirror and a shift.
  GameState flower = FromMoves({"H8", "H9", "I9"});
  EXPECT_TRUE(bookgen::EquivalentMoves(flower, P("H10"), P("G9")));
  EXPECT_FALSE(bookgen::EquivalentMoves(flower, P("H10"), P("J10")));

  // White's one block F6 of the open three G7-H8-I9 has its mirror J10 as a twin.
  GameState three = FromMoves({"H8", "H9", "I9", "G8", "G7"});
  EXPECT_EQ(bookgen::FillWithTwins(three, {{P("F6"), -30, 15040, false}}, 3),
            (std::vector<GradedMove>{{P("F6"), -30, 15040, false}, {P("J10"), -30, 15040, false}}));
  // Black's fifth moves take no twins: mirror images would be the same offering.
  GameState fifth = FromMoves({"H8", "H9", "H6", "H4"});
  EXPECT_TRUE(bookgen::EquivalentMoves(fifth, P("G7"), P("I7")));
  EXPECT_EQ(bookgen::FillWithTwins(fifth, {{P("G7"), 5, 0, false}}, 4).size(), 1u);
}

// Shallow plans: the tests look at what the grading keeps, not at how well it plays.
const bookgen::NodePlan kShallow{6, 1, 10, 3, 5};

// Moves on empty points, best first, none the twin of another.
void ExpectWellFormed(GameState game, const std::vector<GradedMove>& moves) {
  ASSERT_FALSE(moves.empty());
  for (size_t i = 0; i < moves.size(); ++i) {
    EXPECT_EQ(game.cell(PointRow(moves[i].point), PointCol(moves[i].point)), Empty);
    if (i > 0 && !moves[i].proven) {
      EXPECT_LE(moves[i].value, moves[i - 1].value);
    }
    for (size_t j = 0; j < i; ++j)
      EXPECT_FALSE(bookgen::EquivalentMoves(game, moves[j].point, moves[i].point))
          << PointText(moves[j].point) << " " << PointText(moves[i].point);
  }
}

TEST(BookAnalysis, OnlyAWinByContinuousFoursIsProvenAndFifthMovesDiffer) {
  const GameState win = FromMoves({"H8", "A1", "I8", "O1", "J8", "A15"});
  const std::vector<GradedMove> moves = bookgen::AnalysePosition(win, kShallow);
  ExpectWellFormed(win, moves);
  EXPECT_TRUE(moves[0].proven && moves[0].value == WonValue);
  EXPECT_TRUE(moves[0].point == P("G8") || moves[0].point == P("K8"));
  EXPECT_EQ(MarksFor(moves, Black).find_last_of('!'), 0u);

  // Black's fifth move: nothing proven, and no two moves the same offering.
  const GameState fifth = FromMoves({"H8", "H9", "J10", "K11"});
  const std::vector<GradedMove> fifths = bookgen::AnalysePosition(fifth, kShallow);
  ExpectWellFormed(fifth, fifths);
  EXPECT_EQ(fifths.size(), static_cast<size_t>(kShallow.candidates));
  for (const GradedMove& move : fifths) EXPECT_FALSE(move.proven);
}

}  // namespace
}  // namespace tesmor
