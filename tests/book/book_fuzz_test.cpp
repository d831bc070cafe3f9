#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "book/book_format.h"
#include "book/book_text.h"
#include "book/opening_book.h"
#include "book_test_util.h"

namespace tesmor {
namespace {

// One to six random edits: bytes overwritten or bit-flipped, the file cut, runs deleted,
// inserted or repeated elsewhere.
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

// Every entry's move is on an empty point of a position that Black and White reached in turn.
void ExpectSoundEntries(const OpeningBook& book) {
  for (const BookEntry& entry : book.entries()) {
    ASSERT_TRUE(entry.point >= 0 && entry.point < CellCount);
    int black = 0;
    int white = 0;
    for (int p = 0; p < CellCount; ++p) {
      const uint32_t code = (entry.rows[PointRow(p)] >> (2 * PointCol(p))) & 3u;
      ASSERT_NE(code, 2u);
      ASSERT_TRUE(p != entry.point || code == 0u);
      black += code == 1;
      white += code == 3;
    }
    ASSERT_TRUE(black == white || black == white + 1);
  }
}

TEST(BookFuzz, DamagedBooksLoadSafelyAndDumpFaithfully) {
  std::mt19937 rng(2024);
  std::vector<std::vector<uint8_t>> originals;
  for (int i = 0; i < 8; ++i) originals.push_back(WriteBookTree(test::RandomBookTree(rng, 150)));
  for (int round = 0; round < 3000; ++round) {
    const std::vector<uint8_t> bytes = Mutate(originals[round % originals.size()], rng);
    const BookReadResult read = ReadBookTree(bytes);
    const OpeningBook book = OpeningBook::FromBytes(bytes);
    ExpectSoundEntries(book);
    // What the dump shows is exactly what the program reads.
    const BookTextResult text = ParseBookText(BookText(read.tree));
    ASSERT_TRUE(text.ok) << text.error;
    ASSERT_EQ(text.tree, read.tree);
    ASSERT_EQ(OpeningBook::FromBytes(WriteBookTree(text.tree)).entries(), book.entries());
  }
}

}  // namespace
}  // namespace tesmor
