#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <utility>

#include "book/opening_book.h"
#include "book_test_util.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

constexpr BookRules Plain{false, false};
constexpr BookRules Rif{true, false};
constexpr BookRules Offering{true, true};

OpeningBook BookOf(const char* text) {
  return OpeningBook::FromTree(test::TreeOf(text));
}

PositionKey KeyAfter(std::initializer_list<const char*> moves) {
  return MakePositionKey(test::FromMoves(moves, false).cells, 0);
}

std::pair<int, int> Pair(int result) {
  EXPECT_GE(result, 65536);
  return {(result - 65536) / 256, (result - 65536) % 256};
}

TEST(MarkScore, GradesEveryKindOfMark) {
  struct Case {
    char mark;
    int side;
    bool rif;
    int score;
  };
  // clang-format off
  const Case cases[] = {
      {'A', 1, false, 11}, {'G', 1, false, -1}, {'A', -1, false, -1}, {'G', -1, false, 11},
      {'D', -1, false, 5}, {'c', -1, false, 3}, {'a', 1, false, 11}, {'a', 1, true, -1},
      {'h', 1, false, 11}, {'h', -1, true, -1}, {'*', 1, true, 20}, {'*', 1, false, 3},
      {'*', -1, false, 7}, {'!', -1, true, 1000}, {'?', 1, false, -1}, {'#', 1, true, 20},
      {'#', 1, false, 19}, {'$', 1, false, 17}, {'@', -1, false, 18}, {'0', 1, false, 20},
      {'9', -1, true, 11}, {'H', 1, false, 0}, {'\0', 1, true, 0}, {'z', 1, false, 0},
      {static_cast<char>(0xC1), 1, false, 0},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(MarkScore(c.mark, c.side, c.rif), c.score) << c.mark << ' ' << c.side << c.rif;
}

TEST(LookupBook, PicksTheBestMarkForTheSideToMove) {
  const OpeningBook book = BookOf("H8\n  H9 A\n  I9 G\n  J9 C\n    I10 A\n    G10 !\n");
  SequenceRandom random({0});
  EXPECT_EQ(book.LookupBook(KeyAfter({"H8", "J9"}), Black, Plain, random), P("G10"));
  // After H8 White moves: G is White's best grade, A Black's.
  EXPECT_EQ(book.LookupBook(KeyAfter({"H8"}), White, Plain, random), P("I9"));
  EXPECT_EQ(book.LookupBook(KeyAfter({"H8"}), Black, Plain, random), P("H9"));
  EXPECT_EQ(book.LookupBook(KeyAfter({"H8", "H9"}), Black, Plain, random), NoPoint);
  EXPECT_EQ(OpeningBook().LookupBook(KeyAfter({"H8"}), White, Rif, random), NoPoint);
}

TEST(LookupBook, FourEqualMovesGiveOneAndFiveGiveNone) {
  // For White B scores 1 and A -1.
  const OpeningBook four = BookOf("H8\n  H9 B\n  I9 B\n  I8 B\n  I7 B\n  G9 A\n");
  std::set<int> chosen;
  for (int r = 0; r < 8; ++r) {
    SequenceRandom random({r});
    chosen.insert(four.LookupBook(KeyAfter({"H8"}), White, Plain, random));
    EXPECT_EQ(random.seeds(), 1);
  }
  EXPECT_EQ(chosen, (std::set<int>{P("H9"), P("I9"), P("I8"), P("I7")}));
  const OpeningBook five = BookOf("H8\n  H9 B\n  I9 B\n  I8 B\n  I7 B\n  G9 B\n  G8 A\n");
  SequenceRandom random({0});
  EXPECT_EQ(five.LookupBook(KeyAfter({"H8"}), White, Plain, random), NoPoint);
}

TEST(LookupBook, OfferingPairsTheBestWithASecondBest) {
  const char* text =
      "H8\n  I9\n    J10\n      G9\n        H10 C\n        J7 A\n        G7 B\n"
      "        J8 B\n";
  const PositionKey four = KeyAfter({"H8", "I9", "J10", "G9"});
  std::set<std::pair<int, int>> pairs;
  for (int r = 0; r < 4; ++r) {
    SequenceRandom random({r});
    pairs.insert(Pair(BookOf(text).LookupBook(four, Black, Offering, random)));
  }
  EXPECT_EQ(pairs, (std::set<std::pair<int, int>>{{P("J7"), P("G7")}, {P("J7"), P("J8")}}));
  // Without the RIF rules, or before the fifth move, the book answers one move.
  SequenceRandom random({0});
  EXPECT_EQ(BookOf(text).LookupBook(four, Black, {false, true}, random), P("J7"));
  EXPECT_EQ(BookOf(text).LookupBook(four, Black, Rif, random), P("J7"));
  EXPECT_EQ(
      BookOf("H8\n  I9\n    J10 A\n").LookupBook(KeyAfter({"H8", "I9"}), Black, Offering, random),
      NoPoint);
  // The same point twice enters the best list once; a later better grade for it is ignored.
  EXPECT_EQ(
      Pair(BookOf("H8 B\nH8 A\nH8 A\nG7 D\n").LookupBook(KeyAfter({}), Black, Offering, random)),
      std::make_pair(P("H8"), P("G7")));
}

TEST(LookupBook, OfferingDrawsTwoDifferentPointsFromAnySource) {
  const OpeningBook book = BookOf("H8 A\nH8 A\nI9 A\nG7 A\nJ9 B\n");
  std::set<std::pair<int, int>> pairs;
  for (int first = 0; first < 3; ++first) {
    for (int second : {0, 1, 2, 32767}) {
      SequenceRandom random({first, second});
      const std::pair<int, int> pair = Pair(book.LookupBook(KeyAfter({}), Black, Offering, random));
      EXPECT_NE(pair.first, pair.second);
      EXPECT_EQ(random.seeds(), 1);
      pairs.insert(pair);
    }
  }
  EXPECT_EQ(pairs.size(), 6u);  // every ordered pair of H8, I9, G7
  // A source that repeats one number forever still gives an answer.
  SequenceRandom constant({5});
  EXPECT_EQ(Pair(book.LookupBook(KeyAfter({}), Black, Offering, constant)),
            std::make_pair(P("G7"), P("I9")));
}

TEST(BookScoreAt, FirstMatchingEntryScoresForBlack) {
  const OpeningBook book = BookOf("H8\n  H9 G\n  H9 A\n  I9 *\n");
  const PositionKey key = KeyAfter({"H8"});
  EXPECT_EQ(book.BookScoreAt(key, 8, 7, Plain), -1);
  EXPECT_EQ(book.BookScoreAt(key, 8, 8, Plain), 3);
  EXPECT_EQ(book.BookScoreAt(key, 8, 8, Rif), 20);
  EXPECT_EQ(book.BookScoreAt(key, 9, 9, Plain), NoBookScore);
  EXPECT_EQ(book.BookScoreAt(key, 15, 0, Plain), NoBookScore);
  EXPECT_EQ(book.BookScoreAt(KeyAfter({}), 7, 7, Plain), 0);
  EXPECT_EQ(OpeningBook().BookScoreAt(key, 8, 7, Plain), NoBookScore);
}

}  // namespace
}  // namespace tesmor
