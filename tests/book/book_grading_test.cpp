// The book generator's grading: marks that the book reads back in the searches' order, the
// symmetric twins it drops, and what a graded position holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/symmetry.h"
#include "book/opening_book.h"
#include "bookgen/book_analysis.h"
#include "search/alpha_beta.h"
#include "search/vcf.h"
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

int Score(char mark, int side) {
  return MarkScore(mark, side, true);
}

TEST(BookMarks, LettersFromBlacksSideRankTheMoverBestFirst) {
  EXPECT_EQ(MarksFor(WithValues({50, 30, 30, 10}), Black), "ABBC");
  EXPECT_EQ(MarksFor(WithValues({50, 30, 30, 10}), White), "GFFE");
  EXPECT_EQ(MarksFor(WithValues({-5, -900000}), White), "GF");

  std::vector<GradedMove> proven = WithValues({WonValue, 40, 20});
  proven[0].proven = true;
  EXPECT_EQ(MarksFor(proven, Black), "!AB");
  EXPECT_EQ(MarksFor(proven, White), "!GF");
}

TEST(BookMarks, MarkScoresOrderRandomListsAsTheirValues) {
  std::mt19937 rng(11);
  for (int round = 0; round < 2000; ++round) {
    const int side = round % 2 == 0 ? Black : White;
    std::vector<GradedMove> moves;
    const int n = 1 + static_cast<int>(rng() % 9);
    for (int i = 0; i < n; ++i)
      moves.push_back({i, static_cast<int>(rng() % 6) * 10 - 20, 0, false});
    std::sort(moves.begin(), moves.end(),
              [](const GradedMove& a, const GradedMove& b) { return a.value > b.value; });
    const std::string marks = MarksFor(moves, side);
    ASSERT_EQ(marks.size(), moves.size());

    int distinct = 0;
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(marks[i] >= 'A' && marks[i] <= 'G') << marks;
      if (i == 0) continue;
      const int before = Score(marks[i - 1], side);
      const int now = Score(marks[i], side);
      ASSERT_LE(now, before) << marks;
      if (moves[i].value != moves[i - 1].value) {
        ++distinct;
        // Seven letters: beyond them the worst letter is shared.
        if (distinct < 6) {
          ASSERT_LT(now, before) << marks;
        }
      }
    }
    const int top = Score(marks[0], side);
    const auto sharingTop =
        std::count_if(marks.begin(), marks.end(), [&](char m) { return Score(m, side) == top; });
    EXPECT_LE(sharingTop, 4) << marks;
  }
}

// Six equally good moves: the book must still answer with one of the first four.
TEST(BookMarks, SixEqualMovesStillGiveTheBookAnAnswer) {
  const std::vector<GradedMove> moves = WithValues({7, 7, 7, 7, 7, 7});
  const std::string marks = MarksFor(moves, White);
  BookTree tree{{P("H8"), 0, {{P("H9"), 0, {{P("H10"), 0, {}}}}}}};
  const char* points[] = {"G9", "J9", "G10", "J10", "G11", "J11"};
  for (size_t i = 0; i < moves.size(); ++i)
    tree[0].children[0].children[0].children.push_back(
        {P(points[i]), static_cast<uint8_t>(marks[i]), {}});
  const OpeningBook book = OpeningBook::FromTree(tree);
  const GameState game = FromMoves({"H8", "H9", "H10"});
  SequenceRandom random({3});
  const int answer =
      book.LookupBook(MakePositionKey(game.cells, 0), White, BookRules{true, false}, random);
  EXPECT_TRUE(answer == P("G9") || answer == P("J9") || answer == P("G10") || answer == P("J10"))
      << answer;
}

TEST(BookTwins, MirrorImagesAreTwinsAndTheBoardIsLeftAlone) {
  // 寒星 lies on the H column: its mirror across the column pairs G9 with I9.
  GameState game = FromMoves({"H8", "H9", "H10"});
  const GameState before = game;
  EXPECT_TRUE(bookgen::EquivalentMoves(game, P("G9"), P("I9")));
  EXPECT_TRUE(bookgen::EquivalentMoves(game, P("I9"), P("G9")));
  EXPECT_FALSE(bookgen::EquivalentMoves(game, P("G9"), P("J9")));
  EXPECT_FALSE(bookgen::EquivalentMoves(game, P("G9"), P("G10")));
  EXPECT_FALSE(bookgen::EquivalentMoves(game, P("G9"), P("I8")));
  EXPECT_EQ(game, before);

  // Black's fifth move: the four stones on the H column again mirror G7 onto I7, as the RIF test
  // says.
  GameState fifth = FromMoves({"H8", "H9", "H6", "H4"});
  const GameState fifthBefore = fifth;
  EXPECT_TRUE(bookgen::EquivalentMoves(fifth, P("G7"), P("I7")));
  EXPECT_FALSE(bookgen::EquivalentMoves(fifth, P("G7"), P("J7")));
  EXPECT_EQ(fifth, fifthBefore);

  // 花月's axis, the diagonal through H9 and I8, is not one of the board's: a mirror and a shift.
  GameState flower = FromMoves({"H8", "H9", "I9"});
  EXPECT_TRUE(bookgen::EquivalentMoves(flower, P("H10"), P("G9")));
  EXPECT_FALSE(bookgen::EquivalentMoves(flower, P("H10"), P("J10")));
}

TEST(BookTwins, TakeDistinctPassesOverTwinsAndStopsAtTheCount) {
  GameState game = FromMoves({"H8", "H9", "H10"});
  const std::vector<GradedMove> graded = {{P("G9"), 30, 0, false},
                                          {P("I9"), 30, 0, false},
                                          {P("G10"), 20, 0, false},
                                          {P("I11"), 10, 0, false},
                                          {P("G11"), 5, 0, false}};
  const std::vector<GradedMove> taken = bookgen::TakeDistinct(game, graded, 3);
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken[0].point, P("G9"));
  EXPECT_EQ(taken[1].point, P("G10"));
  EXPECT_EQ(taken[2].point, P("I11"));
  EXPECT_EQ(bookgen::TakeDistinct(game, graded, 10).size(), 3u);  // G11 is the twin of I11
}

TEST(BookTwins, TwinsFillInWhereSymmetryLeavesTooFewMoves) {
  // Black's open three G7-H8-I9 has two blocks, F6 and J10, mirror images across the diagonal
  // G9-H8-I7, which swaps White's G8 and H9: one graded block stands for both.
  GameState game = FromMoves({"H8", "H9", "I9", "G8", "G7"});
  const GameState before = game;
  const std::vector<GradedMove> filled =
      bookgen::FillWithTwins(game, {{P("F6"), -30, 15040, false}}, 3);
  ASSERT_EQ(filled.size(), 2u);
  EXPECT_EQ(filled[0].point, P("F6"));
  EXPECT_EQ(filled[1], (GradedMove{P("J10"), -30, 15040, false}));
  EXPECT_EQ(game, before);

  // Enough moves already: nothing is added.
  const std::vector<GradedMove> two = {{P("F6"), -30, 0, false}, {P("E5"), -90, 0, false}};
  EXPECT_EQ(bookgen::FillWithTwins(game, two, 2), two);

  // Black's fifth moves take no twins: they would be the same offering.
  GameState fifth = FromMoves({"H8", "H9", "H6", "H4"});
  EXPECT_EQ(bookgen::FillWithTwins(fifth, {{P("G7"), 5, 0, false}}, 4).size(), 1u);
}

// Shallow plans: the tests look at what the grading keeps, not at how well it plays.
const bookgen::NodePlan kShallow{6, 1, 10, 3, 5};

void ExpectWellFormed(GameState game, const std::vector<GradedMove>& moves) {
  for (size_t i = 0; i < moves.size(); ++i) {
    EXPECT_EQ(game.cell(PointRow(moves[i].point), PointCol(moves[i].point)), Empty);
    if (i > 0 && !moves[i].proven) {
      EXPECT_LE(moves[i].value, moves[i - 1].value);
    }
    for (size_t j = 0; j < i; ++j)
      EXPECT_FALSE(bookgen::EquivalentMoves(game, moves[j].point, moves[i].point))
          << PointText(moves[j].point) << " " << PointText(moves[i].point);
  }
  EXPECT_LE(moves.size(), static_cast<size_t>(kShallow.candidates) + 1);
}

TEST(BookAnalysis, AWinByContinuousFoursComesFirstAndProven) {
  const GameState game = FromMoves({"H8", "A1", "I8", "O1", "J8", "A15"});
  const std::vector<GradedMove> moves = bookgen::AnalysePosition(game, kShallow);
  ASSERT_GE(moves.size(), 2u);
  EXPECT_TRUE(moves[0].proven);
  EXPECT_TRUE(moves[0].point == P("G8") || moves[0].point == P("K8"));
  EXPECT_EQ(moves[0].value, WonValue);
  EXPECT_EQ(std::count_if(moves.begin(), moves.end(), [](const GradedMove& m) { return m.proven; }),
            1);
  EXPECT_EQ(MarksFor(moves, Black)[0], '!');
  ExpectWellFormed(game, moves);
}

TEST(BookAnalysis, UnderThreatOnlyDefencesAreGraded) {
  // Black's open three on row 8; White to move must stop the straight four.
  GameState game = FromMoves({"H8", "A1", "I8", "O1", "J8", "A15", "O15"});
  const std::vector<GradedMove> moves = bookgen::AnalysePosition(game, kShallow);
  ASSERT_FALSE(moves.empty());
  SequenceRandom random({0});
  SearchContext context(random, nullptr, nullptr);
  for (const GradedMove& move : moves) {
    EXPECT_FALSE(move.proven);
    game.cell(PointRow(move.point), PointCol(move.point)) = White;
    ++game.moveCount;
    EXPECT_GE(FindVcf(context, game, 7), VcfNone) << PointText(move.point);
    game.cell(PointRow(move.point), PointCol(move.point)) = Empty;
    --game.moveCount;
  }
  ExpectWellFormed(game, moves);
}

TEST(BookAnalysis, TheStonesAloneDecideAndForbiddenPointsAreNeverGraded) {
  const GameState one = FromMoves({"H8", "H9", "J10", "K11"});
  const GameState other = FromMoves({"J10", "K11", "H8", "H9"});
  const std::vector<GradedMove> moves = bookgen::AnalysePosition(one, kShallow);
  EXPECT_EQ(moves, bookgen::AnalysePosition(other, kShallow));
  EXPECT_EQ(moves.size(), static_cast<size_t>(kShallow.candidates));
  ExpectWellFormed(one, moves);

  // H9 would make two open threes for Black.
  const GameState forbidden = FromMoves({"H8", "A1", "H10", "O1", "G9", "A15", "J9", "O15"});
  const std::vector<GradedMove> blacks = bookgen::AnalysePosition(forbidden, kShallow);
  ASSERT_FALSE(blacks.empty());
  for (const GradedMove& move : blacks) EXPECT_NE(move.point, P("H9"));
  ExpectWellFormed(forbidden, blacks);
}

}  // namespace
}  // namespace tesmor
