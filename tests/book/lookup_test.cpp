#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "board/symmetry.h"
#include "book/opening_book.h"
#include "book_test_util.h"
#include "bookgen/book_analysis.h"
#include "game/openings.h"
#include "search/computer_move.h"
#include "support/diagram.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

using test::BookMovesOnBoard;
using test::ShippedBook;

constexpr BookRules Plain{false, false};
constexpr BookRules Rif{true, false};
constexpr BookRules Offering{true, true};

PositionKey KeyAfter(std::initializer_list<const char*> moves) {
  return MakePositionKey(test::FromMoves(moves).cells, 0);
}

// An answer as text: "none", a point, or the pair "first+second" of a fifth-move offering.
std::string AnswerText(int answer) {
  if (answer == NoPoint) return "none";
  if (answer < PointPairBase) return PointText(answer);
  return PointText(PairHigh(answer)) + "+" + PointText(PairLow(answer));
}

TEST(LookupBook, AnswersEveryDrawWithOneOfTheBestMoves) {
  const char* const graded = "H8\n  H9 A\n  I9 G\n  J9 C\n    I10 A\n    G10 !\n";
  const char* const four = "H8\n  H9 B\n  I9 B\n  I8 B\n  I7 B\n  G9 A\n";  // White: B 1, A -1
  const char* const fifths =
      "H8\n  I9\n    J10\n      G9\n        H10 C\n        J7 A\n"
      "        G7 B\n        J8 B\n";
  const char* const three = "H8 A\nH8 A\nI9 A\nG7 A\nJ9 B\n";
  const std::initializer_list<const char*> beforeFifth = {"H8", "I9", "J10", "G9"};
  const struct {
    const char* book;
    std::initializer_list<const char*> moves;
    int side;
    BookRules rules;
    std::set<std::string> answers;
  } cases[] = {
      {graded, {"H8", "J9"}, Black, Plain, {"G10"}},
      {graded, {"H8"}, White, Plain, {"I9"}},  // G is White's best grade, A Black's
      {graded, {"H8"}, Black, Plain, {"H9"}},
      {graded, {"H8", "H9"}, Black, Plain, {"none"}},
      {"", {"H8"}, White, Rif, {"none"}},
      {four, {"H8"}, White, Plain, {"H9", "I9", "I8", "I7"}},
      {"H8\n  H9 B\n  I9 B\n  I8 B\n  I7 B\n  G9 B\n", {"H8"}, White, Plain, {"none"}},
      // The best paired with each second best; one move without the RIF rules or the offering.
      {fifths, beforeFifth, Black, Offering, {"J7+G7", "J7+J8"}},
      {fifths, beforeFifth, Black, {false, true}, {"J7"}},
      {fifths, beforeFifth, Black, Rif, {"J7"}},
      {"H8\n  I9\n    J10 A\n", {"H8", "I9"}, Black, Offering, {"none"}},  // nothing to pair
      // A point enters the best list once; a later better grade for it is ignored.
      {"H8 B\nH8 A\nH8 A\nG7 D\n", {}, Black, Offering, {"H8+G7"}},
      {three, {}, Black, Offering, {"H8+I9", "H8+G7", "I9+H8", "I9+G7", "G7+H8", "G7+I9"}},
  };
  for (const auto& c : cases) {
    const OpeningBook book = OpeningBook::FromTree(test::TreeOf(c.book));
    std::set<std::string> answers;
    // Equal draws are a source that repeats one number forever.
    for (int first : {0, 1, 2, 3}) {
      for (int second : {0, 1, 2, 32767}) {
        SequenceRandom random({first, second});
        const int answer = book.LookupBook(KeyAfter(c.moves), c.side, c.rules, random);
        answers.insert(AnswerText(answer));
        EXPECT_EQ(random.seeds(), answer == NoPoint ? 0 : 1) << c.book;
      }
    }
    EXPECT_EQ(answers, c.answers) << c.book;
  }
}

TEST(BookScoreAt, FirstMatchingEntryScoresForBlack) {
  const OpeningBook book = OpeningBook::FromTree(test::TreeOf("H8\n  H9 G\n  H9 A\n  I9 *\n"));
  const PositionKey key = KeyAfter({"H8"});
  EXPECT_EQ(book.BookScoreAt(key, 8, 7, Plain), -1);
  EXPECT_EQ(book.BookScoreAt(key, 8, 8, Plain), 3);
  EXPECT_EQ(book.BookScoreAt(key, 8, 8, Rif), 20);
  EXPECT_EQ(book.BookScoreAt(key, 9, 9, Plain), NoBookScore);
  EXPECT_EQ(book.BookScoreAt(key, 15, 0, Plain), NoBookScore);
  EXPECT_EQ(book.BookScoreAt(KeyAfter({}), 7, 7, Plain), 0);
  EXPECT_EQ(OpeningBook().BookScoreAt(key, 8, 7, Plain), NoBookScore);
}

// The moves of the path laid out through transform id, under the forbidden-move rules.
GameState Laid(std::vector<int> path, int id) {
  for (int& p : path) p = MapKeyPointToBoard(p, id);
  return bookgen::PositionOf(path);
}

// The book's moves for the path as the book itself lays it out, in file order.
std::vector<int> BookReplies(const std::vector<int>& path) {
  std::vector<int> points;
  for (const test::BoardBookMove& move : BookMovesOnBoard(ShippedBook(), Laid(path, 0)))
    if (move.id == 0) points.push_back(move.point);
  return points;
}

// The best score for Black among the book's grades of the fifth move p.
int OfferingScore(const GameState& four, int p) {
  int score = NoBookScore;
  for (const test::BoardBookMove& move : BookMovesOnBoard(ShippedBook(), four))
    if (move.point == p) score = std::max(score, move.score);
  return score;
}

bool Contains(const std::vector<int>& points, int p) {
  return std::find(points.begin(), points.end(), p) != points.end();
}

// Would b, offered beside the fifth move a, be the same offering?
bool SameOffering(GameState four, int a, int b) {
  RecordMove(four, PointRow(a), PointCol(a));
  return SameFifthOfferingExists(four, PointRow(b), PointCol(b)) != 0;
}

TEST(ShippedBookPlay, EveryOpeningInEveryOrientationIsPlayedFromTheBook) {
  SequenceRandom random({0, 5, 2, 7, 1});
  SearchContext context{random, &ShippedBook(), nullptr};
  context.settings.rifRules = true;
  context.settings.useBook = true;
  // Level 0 runs no search, so every answer comes from the book.
  const auto choose = [&](GameState& game, MoveRecord secondOffer) {
    context.settings.rifFifthState = secondOffer.row >= 0 ? 2 : 0;
    context.settings.secondOffer = secondOffer;
    return ChooseComputerMove(context, game, 0);
  };
  for (const NamedOpening& opening : OpeningCatalogue()) {
    const std::array<int, 3> stones = OpeningStones(opening.number);
    const std::vector<int> path(stones.begin(), stones.end());
    const std::vector<int> fourths = BookReplies(path);
    ASSERT_FALSE(fourths.empty()) << opening.name;
    for (int id = 0; id < TransformCount; ++id) {
      SCOPED_TRACE(std::string(opening.name) + " under transform " + std::to_string(id));
      GameState three = Laid(path, id);
      EXPECT_TRUE(Contains(test::BestBookMoves(ShippedBook(), three), choose(three, {-1, -1})));

      for (const int fourth : fourths) {
        SCOPED_TRACE("fourth move " + PointText(MapKeyPointToBoard(fourth, id)));
        std::vector<int> path4 = path;
        path4.push_back(fourth);
        // Black offers two fifth moves of the book that are not the same offering.
        GameState four = Laid(path4, id);
        const int pair = choose(four, {-1, -1});
        ASSERT_GE(pair, PointPairBase);
        const int first = PairLow(pair);
        const int offered = PairHigh(pair);
        EXPECT_NE(OfferingScore(four, first), NoBookScore);
        EXPECT_NE(OfferingScore(four, offered), NoBookScore);
        EXPECT_FALSE(offered == first || SameOffering(four, first, offered));
        if (id == 0) {  // nor are any other two of the book's
          const std::vector<int> fifths = BookReplies(path4);
          for (const int a : fifths)
            for (const int b : fifths) EXPECT_TRUE(a == b || !SameOffering(four, a, b));
        }

        // White keeps the offering worse for Black and answers it from the book.
        GameState five = four;
        RecordMove(five, PointRow(first), PointCol(first));
        const GameState before = five;
        const int choice = choose(five, {PointRow(offered), PointCol(offered)});
        EXPECT_TRUE(five.cells == before.cells && five.moveCount == before.moveCount);
        ASSERT_GE(choice, PointPairBase);
        const int removed = PairHigh(choice);
        ASSERT_TRUE(removed == first || removed == offered);
        const int kept = removed == first ? offered : first;
        EXPECT_GE(OfferingScore(four, removed), OfferingScore(four, kept));
        GameState withKept = four;
        RecordMove(withKept, PointRow(kept), PointCol(kept));
        EXPECT_TRUE(Contains(test::BestBookMoves(ShippedBook(), withKept), PairLow(choice)));
      }
    }
  }
}

}  // namespace
}  // namespace tesmor
