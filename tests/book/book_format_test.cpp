#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "book/book_format.h"
#include "book/book_text.h"
#include "book/opening_book.h"
#include "book_test_util.h"

namespace tesmor {
namespace {

using test::BookBytes;

struct ReaderCase {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* tree;  // as text
  bool truncated;
  std::array<int64_t, 6> counts;  // blank, dropped, off board, occupied, skipped, trailing
};

TEST(BookReader, RecordsShapeTheTree) {
  // Records name H8 78, H9 88, G7 69, I10 97; extras 00 01 <mark> 00.
  // clang-format off
  const std::vector<ReaderCase> cases = {
      {"blank records change nothing", BookBytes({0x78, 0x80, 0, 0, 0x88, 0x40, 0, 0, 0x69, 0x40}),
       "H8\n  H9\nG7\n", false, {2, 0, 0, 0, 0}},
      {"0x40 ends the child level", BookBytes({0x78, 0x80, 0x88, 0x40, 0x69, 0x40}),
       "H8\n  H9\nG7\n", false, {}},
      {"0xC0 continues it", BookBytes({0x78, 0x80, 0x88, 0xC0, 0x69, 0x40, 0x97, 0x40}),
       "H8\n  H9\n  G7\nI10\n", false, {}},
      {"0x00 has children and ends its level", BookBytes({0x78, 0x00, 0x88, 0x40, 0x69, 0x40}),
       "H8\n  H9\n", false, {0, 0, 0, 0, 0, 2}},
      {"a node's own extra bits apply to it", BookBytes({0x78, 0x41, 0, 1, 'A', 0}),
       "H8 A\n", false, {}},
      {"extras turned on below stay there",
       BookBytes({0x78, 0x80, 0x88, 0x42, 0, 1, 'A', 0, 0x69, 0x42}),
       "H8\n  H9 A\nG7\n", false, {}},
      {"extras turned off below stay there",
       BookBytes({0x78, 0x81, 0, 1, 'A', 0, 0x88, 0x40, 0x69, 0x42, 0, 1, 'B', 0}),
       "H8 A\n  H9\nG7 B\n", false, {}},
      {"a dropped record sets extras but has none",
       BookBytes({0x78, 0xC0, 0x55, 0x31, 0x69, 0x42, 0, 1, 'C', 0}),
       "H8\nG7 C\n", false, {0, 1, 0, 0, 0}},
      {"row 15 is left out with its subtree", BookBytes({0xF8, 0x80, 0x88, 0x40, 0x69, 0x40}),
       "G7\n", false, {0, 0, 1, 0, 1}},
      {"column nibble 0 still has its extras", BookBytes({0x70, 0xC1, 0, 1, 'A', 0, 0x69, 0x40}),
       "G7\n", false, {0, 0, 1, 0, 0}},
      {"a taken point is left out with its subtree",
       BookBytes({0x78, 0x00, 0x78, 0x80, 0x88, 0x40, 0x97, 0x40}),
       "H8\n  I10\n", false, {0, 0, 0, 1, 1}},
      {"a stone is freed when its level ends",
       BookBytes({0x78, 0x80, 0x88, 0x40, 0x69, 0x00, 0x78, 0x40}),
       "H8\n  H9\nG7\n  H8\n", false, {}},
      {"cut inside extras keeps what came before",
       BookBytes({0x78, 0x81, 0, 1, 'A', 0, 0x88, 0x41, 0, 1}), "H8 A\n", true, {}},
      {"a promised sibling is missing", BookBytes({0x78, 0xC0}), "H8\n", true, {}},
      {"an odd byte", BookBytes({0x78}), "", true, {}},
      {"a header alone is an empty book", BookBytes({}), "", false, {}},
      {"a header cut short", std::vector<uint8_t>(BookHeader.begin(), BookHeader.end() - 1), "",
       true, {}},
  };
  // clang-format on
  for (const ReaderCase& c : cases) {
    const BookReadResult read = ReadBookTree(c.bytes);
    EXPECT_EQ(BookText(read.tree), c.tree) << c.name;
    const BookReadReport& r = read.report;
    EXPECT_EQ(r.truncated, c.truncated) << c.name;
    const std::array<int64_t, 6> counts = {r.blankRecords,    r.droppedRecords, r.offBoardRecords,
                                           r.occupiedRecords, r.skippedRecords, r.trailingBytes};
    EXPECT_EQ(counts, c.counts) << c.name;
    // Whatever the reader passed over is bytes the writer never wrote.
    EXPECT_EQ(r.Damaged(), c.truncated || c.counts != decltype(counts){}) << c.name;
  }
}

TEST(BookReader, SurvivesDeepNestingAndAFullBoard) {
  // Off-board records that each open a subtree, far deeper than a call stack could follow.
  std::vector<uint8_t> deep = BookBytes({});
  for (int i = 0; i < 200000; ++i) deep.insert(deep.end(), {0xF8, 0x00});
  const BookReadResult nested = ReadBookTree(deep);
  EXPECT_TRUE(nested.tree.empty());
  EXPECT_TRUE(nested.report.truncated);

  // Every point in one line of play, then one more move: it finds every point taken.
  std::vector<uint8_t> full = BookBytes({});
  for (int p = 0; p < CellCount; ++p)
    full.insert(full.end(), {static_cast<uint8_t>(PointRow(p) << 4 | (15 - PointCol(p))), 0x00});
  full.insert(full.end(), {0x78, 0x40});
  const BookReadResult read = ReadBookTree(full);
  EXPECT_EQ(read.report.occupiedRecords, 1);
  EXPECT_EQ(OpeningBook::FromTree(read.tree).entries().size(), 225u);
  // A tree built in code may repeat a point; the book leaves it out as the reader does.
  EXPECT_EQ(OpeningBook::FromTree({{112, 0, {{112, 0, {}}}}}).entries().size(), 1u);
}

// One to six random edits: bytes flipped, the file cut, runs deleted, inserted or repeated.
std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
  for (int e = static_cast<int>(rng() % 6); e >= 0; --e) {
    const size_t pos = rng() % (bytes.size() + 1);
    const auto at = bytes.begin() + static_cast<long>(pos);
    const auto upTo = [&](size_t n) {
      return bytes.begin() + static_cast<long>(std::min(bytes.size(), pos + rng() % n));
    };
    switch (rng() % 5) {
      case 0:
        if (at != bytes.end()) *at ^= static_cast<uint8_t>(1 + rng() % 255);
        break;
      case 1:
        bytes.erase(at, bytes.end());
        break;
      case 2:
        bytes.erase(at, upTo(9));
        break;
      case 3:
        bytes.insert(at, rng() % 9, static_cast<uint8_t>(rng()));
        break;
      default:
        const std::vector<uint8_t> run(at, upTo(40));
        bytes.insert(bytes.begin() + static_cast<long>(rng() % (bytes.size() + 1)), run.begin(),
                     run.end());
    }
  }
  return bytes;
}

TEST(BookFuzz, DamagedBooksLoadSafelyAndDumpFaithfully) {
  std::mt19937 rng(2024);
  std::vector<std::vector<uint8_t>> originals;
  for (int i = 0; i < 8; ++i) originals.push_back(WriteBookTree(test::RandomBookTree(rng, 150)));
  for (int round = 0; round < 3000; ++round) {
    const BookReadResult read = ReadBookTree(Mutate(originals[round % originals.size()], rng));
    // What the dump shows is what the program reads, and a clean copy reads back the same.
    const BookTextResult text = ParseBookText(BookText(read.tree));
    ASSERT_TRUE(text.ok) << text.error;
    ASSERT_EQ(text.tree, read.tree);
    const BookReadResult copy = ReadBookTree(WriteBookTree(read.tree));
    ASSERT_TRUE(copy.tree == read.tree && !copy.report.Damaged());
    // The reader has left out every move on a taken point, which the book could not hold.
    ASSERT_EQ(OpeningBook::FromTree(read.tree).entries().size(),
              static_cast<size_t>(CountBookNodes(read.tree)));
  }
}

TEST(BookText, RefusesWhatItCannotReadBack) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"H8\n   H9\n", "line 2: indentation"},
      {"H8\n    H9\n", "line 2: indented more than one level"},
      {"H8\n\tH9\n", "line 2: indent with spaces"},
      {"# c\nZ9\n", "line 2: \"Z9\" is not a point"},
      {"h8\n", "\"h8\" is not a point"},
      {"H8  A\n", "\" A\" is not a mark"},
      {"H8  \n", "\" \" is not a mark"},
      {"H8 AB\n", "\"AB\" is not a mark"},
      {"H8 \\x41\n", "\"\\x41\" is not a mark"},
      {"H8 \\x00\n", "is not a mark"},
      {"H8 \\xff\n", "is not a mark"},
      {"H8\n  H9\n    H8\n", "line 3: H8 is already played"},
      {"H8\r\n", "line 1: carriage return"},
  };
  for (const auto& c : cases) {
    const BookTextResult result = ParseBookText(c.text);
    EXPECT_FALSE(result.ok) << c.text;
    EXPECT_NE(result.error.find(c.error), std::string::npos) << c.text << " gave " << result.error;
  }
  const BookTextResult commented = ParseBookText("# book\n\nH8 #\n  # reply\n    \n  H9\nH8");
  ASSERT_TRUE(commented.ok) << commented.error;
  EXPECT_EQ(BookText(commented.tree), "H8 #\n  H9\nH8\n");
}

}  // namespace
}  // namespace tesmor
