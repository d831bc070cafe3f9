#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "board/symmetry.h"
#include "book/book_location.h"
#include "book/book_text.h"
#include "bookgen/book_analysis.h"
#include "game/openings.h"
#include "search/computer_move.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

using test::BookMovesOnBoard;
using test::ShippedBook;

TEST(ShippedBook, IsCompiledFromItsSourceAndFoundFromTheBuildTree) {
  const std::string bytes = test::FileContents(test::ShippedBookPath());
  const BookTextResult source = ParseBookText(test::FileContents(test::ShippedBookSourcePath()));
  ASSERT_TRUE(source.ok) << source.error;
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), WriteBookTree(source.tree));
  // The tests run from the build tree's bin directory, beside the programs.
  const std::filesystem::path found = FindOpeningBook(OpeningBookPlaces());
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(test::FileContents(found.string()) == bytes) << found << " is not the shipped book";
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
        const int firstScore = OfferingScore(four, first);
        const int offeredScore = OfferingScore(four, offered);
        EXPECT_TRUE(firstScore != NoBookScore && offeredScore != NoBookScore);
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
