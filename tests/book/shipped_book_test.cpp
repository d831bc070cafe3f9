// The book shipped with the program: built from its committed source, found from the build
// tree, and answering White's fourth move, Black's two fifth-move offerings and White's choice
// between them for every named opening in every orientation.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "board/symmetry.h"
#include "book/book_location.h"
#include "book/book_text.h"
#include "game/openings.h"
#include "search/computer_move.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

// A level argument that runs no search: what such a call answers comes from the book alone.
constexpr int BookOnly = 0;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The moves of the path laid out through transform id, under the forbidden-move rules.
GameState Laid(const std::vector<int>& path, int id) {
  GameState game;
  ClearGameState(game);
  game.forbiddenRulesOn = 1;
  for (int p : path) {
    const int q = MapKeyPointToBoard(p, id);
    RecordMove(game, PointRow(q), PointCol(q));
  }
  return game;
}

bool Contains(const std::vector<int>& points, int p) {
  return std::find(points.begin(), points.end(), p) != points.end();
}

// Would b, offered beside the fifth move a, be the same offering?
bool SameOffering(GameState four, int a, int b) {
  RecordMove(four, PointRow(a), PointCol(a));
  return SameFifthOfferingExists(four, PointRow(b), PointCol(b)) != 0;
}

TEST(ShippedBook, IsCompiledFromItsSourceAndFoundFromTheBuildTree) {
  const std::string bytes = ReadAll(test::ShippedBookPath());
  const BookTextResult source = ParseBookText(ReadAll(test::ShippedBookSourcePath()));
  ASSERT_TRUE(source.ok) << source.error;
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), WriteBookTree(source.tree));
  const BookReadResult read =
      ReadBookTree({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  EXPECT_FALSE(read.report.Damaged());
  EXPECT_EQ(read.tree, source.tree);

  // The tests run from the build tree's bin directory, beside the programs.
  const std::filesystem::path found = FindOpeningBook(OpeningBookPlaces());
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(ReadAll(found.string()) == bytes) << found << " is not the shipped book";
}

class ShippedBookPlay : public testing::Test {
 protected:
  // The computer's move with the book alone, under the RIF rules; with an offering open when
  // secondOffer names a point.
  int Choose(GameState& game, MoveRecord secondOffer = {-1, -1}) {
    context.settings.rifRules = true;
    context.settings.useBook = true;
    context.settings.rifFifthState = secondOffer.row >= 0 ? 2 : 0;
    context.settings.secondOffer = secondOffer;
    return ChooseComputerMove(context, game, BookOnly);
  }

  // The best book score, from Black's side, of the fifth move p in the four-stone position.
  static int OfferingScore(const GameState& four, int p) {
    int score = NoBookScore;
    for (int id = 0; id < TransformCount; ++id)
      score = std::max(score,
                       test::ShippedBook().BookScoreAt(MakePositionKey(four.cells, id), PointRow(p),
                                                       PointCol(p), BookRules{true, true}));
    return score;
  }

  SequenceRandom random{{0, 5, 2, 7, 1}};
  SearchContext context{random, &test::ShippedBook(), nullptr};
};

TEST_F(ShippedBookPlay, EveryOpeningInEveryOrientationIsPlayedFromTheBook) {
  const OpeningBook& book = test::ShippedBook();
  for (const NamedOpening& opening : OpeningCatalogue()) {
    const std::array<int, 3> stones = OpeningStones(opening.number);
    const std::vector<int> path(stones.begin(), stones.end());
    const std::vector<BookNode>* fourths = test::BookMovesAfter(path);
    ASSERT_NE(fourths, nullptr) << opening.name;
    for (int id = 0; id < TransformCount; ++id) {
      SCOPED_TRACE(std::string(opening.name) + " under transform " + std::to_string(id));
      // White's fourth move: one of the best graded.
      GameState three = Laid(path, id);
      EXPECT_TRUE(Contains(test::BestBookMoves(book, three), Choose(three)));

      for (const BookNode& fourth : *fourths) {
        std::vector<int> path4 = path;
        path4.push_back(fourth.point);
        SCOPED_TRACE("fourth move " + PointText(MapKeyPointToBoard(fourth.point, id)));
        // Black offers two fifth moves of the book that are not the same offering.
        GameState four = Laid(path4, id);
        const GameState before = four;
        const int pair = Choose(four);
        ASSERT_GE(pair, PointPairBase);
        EXPECT_TRUE(four.cells == before.cells && four.moveCount == before.moveCount);
        std::vector<int> fifths;
        for (const test::BoardBookMove& move : test::BookMovesOnBoard(book, four))
          fifths.push_back(move.point);
        const int offered = PairHigh(pair);
        const int first = PairLow(pair);
        EXPECT_TRUE(Contains(fifths, offered) && Contains(fifths, first));
        EXPECT_FALSE(offered == first || SameOffering(four, first, offered));
        for (const BookNode& a : fourth.children) {  // nor any other two of the book's
          for (const BookNode& b : fourth.children)
            EXPECT_TRUE(id != 0 || a.point == b.point || !SameOffering(four, a.point, b.point));
        }

        // The book grades both, and White keeps the one worse for Black and answers it.
        const int firstScore = OfferingScore(four, first);
        const int offeredScore = OfferingScore(four, offered);
        ASSERT_TRUE(firstScore != NoBookScore && offeredScore != NoBookScore);
        GameState five = four;
        RecordMove(five, PointRow(first), PointCol(first));
        const int choice = Choose(five, {PointRow(offered), PointCol(offered)});
        ASSERT_GE(choice, PointPairBase);
        const int removed = PairHigh(choice);
        ASSERT_TRUE(removed == first || removed == offered);
        const int kept = removed == first ? offered : first;
        EXPECT_GE(removed == first ? firstScore : offeredScore,
                  removed == first ? offeredScore : firstScore);
        GameState withKept = four;
        RecordMove(withKept, PointRow(kept), PointCol(kept));
        EXPECT_TRUE(Contains(test::BestBookMoves(book, withKept), PairLow(choice)));
      }
    }
  }
}

}  // namespace
}  // namespace tesmor
