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

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
  auto at = [&] { return static_cast<size_t>(rng() % (bytes.size() + 1)); };
  const int edits = 1 + static_cast<int>(rng() % 6);
  for (int e = 0; e < edits; ++e) {
    const size_t pos = at();
    switch (rng() % 6) {
      case 0:  // overwrite a byte
        if (pos < bytes.size()) bytes[pos] = static_cast<uint8_t>(rng());
        break;
      case 1:  // flip one bit
        if (pos < bytes.size()) bytes[pos] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 2:  // cut the file
        bytes.resize(pos);
        break;
      case 3:  // delete a run
        bytes.erase(bytes.begin() + static_cast<long>(pos),
                    bytes.begin() + static_cast<long>(std::min(bytes.size(), pos + rng() % 9)));
        break;
      case 4:  // insert random bytes
        for (unsigned k = rng() % 9; k > 0; --k)
          bytes.insert(bytes.begin() + static_cast<long>(pos), static_cast<uint8_t>(rng()));
        break;
      default:  // repeat a run somewhere else
        const size_t from = at();
        const std::vector<uint8_t> run(
            bytes.begin() + static_cast<long>(from),
            bytes.begin() + static_cast<long>(std::min(bytes.size(), from + rng() % 40)));
        bytes.insert(bytes.begin() + static_cast<long>(std::min(pos, bytes.size())), run.begin(),
                     run.end());
    }
  }
  return bytes;
}

// Every entry's move is on an empty point of a position that Black and White reached in turn.
void ExpectSoundEntries(const OpeningBook& book) {
  for (const BookEntry& entry : book.entries()) {
    ASSERT_GE(entry.point, 0);
    ASSERT_LT(entry.point, CellCount);
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

    for (size_t k = 0; k < book.entries().size(); k += 37) {
      PositionKey key{};
      std::copy(book.entries()[k].rows.begin(), book.entries()[k].rows.end(), key.begin() + 1);
      SequenceRandom random({static_cast<int>(rng() % 32768)});
      const int one = book.LookupBook(key, round % 2 ? Black : White, {}, random);
      if (one != NoPoint) {
        EXPECT_NE(book.BookScoreAt(key, PointRow(one), PointCol(one), {}), NoBookScore);
      }
      SequenceRandom constant({static_cast<int>(rng() % 32768)});
      const int pair = book.LookupBook(key, Black, {true, true}, constant);
      if (pair != NoPoint) {
        EXPECT_NE((pair - 65536) / 256, (pair - 65536) % 256);
      }
    }
  }
}

}  // namespace
}  // namespace tesmor
