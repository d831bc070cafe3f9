#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "book/opening_book.h"
#include "book_test_util.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

constexpr BookRules Plain{false, false};
constexpr BookRules Rif{true, false};
constexpr BookRules Offering{true, true};

PositionKey KeyAfter(const std::vector<const char*>& moves) {
  GameState game;
  ClearGameState(game);
  for (const char* move : moves) RecordMove(game, PointRow(test::P(move)), PointCol(test::P(move)));
  return MakePositionKey(game.cells, 0);
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
  const std::vector<const char*> beforeFifth = {"H8", "I9", "J10", "G9"};
  const struct {
    const char* book;
    std::vector<const char*> moves;
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

}  // namespace
}  // namespace tesmor
