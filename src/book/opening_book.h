#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "board/random_source.h"
#include "board/symmetry.h"
#include "book/book_format.h"

namespace tesmor {

// "No score" for a move the book does not know.
constexpr int NoBookScore = -100000000;

// One book move with the position before it: rows packed as the row words of a transform-0 key,
// the move as a PointIndex in that frame, and its grading mark (0 for none).
struct BookEntry {
  std::array<uint32_t, BoardSize> rows{};
  int32_t point = 0;
  uint8_t mark = 0;

  bool operator==(const BookEntry&) const = default;
};

// The game settings that change what the book answers. The computer-move code fills it for
// each move: offeringFifth when the RIF rules are on and four stones stand on the board.
struct BookRules {
  bool rifRules = false;
  bool offeringFifth = false;
};

// The score of a grading mark for the side to move (+1 Black, -1 White); higher is better for
// that side.
int MarkScore(char mark, int side, bool rifRules);

// What reading a book file found, for the user to be told: no book, or a damaged one that the
// program plays from all the same.
struct BookLoadReport {
  bool loaded = false;    // false: no book file could be read, and the book is empty
  bool damaged = false;   // the reader passed over data: the book is what was read around it
  int64_t movesKept = 0;  // the moves the book holds
  std::string path;       // the file read, or the one that could not be
  std::string error;      // why it could not be read
};

// The opening book, read once and only read afterwards, so that one object can serve the worker
// thread's lookups without a lock.
class OpeningBook {
 public:
  // Reads a book file. When it cannot be read the book is empty; a damaged file still gives the
  // entries read around the damage, and the report says so.
  BookLoadReport Load(const std::string& path);
  static OpeningBook FromBytes(std::span<const uint8_t> bytes);
  static OpeningBook FromTree(const BookTree& tree);

  // A book move for the position in key (made under any transform) with side to move: a
  // PointIndex on the board, NoPoint, or in fifth-offering mode a PointPair of two different
  // fifth moves to offer.
  int LookupBook(const PositionKey& key, int side, const BookRules& rules,
                 RandomSource& random) const;
  // The book's score, for Black, of the move on board point (row, col) in the key's position;
  // NoBookScore when the book has no such move.
  int BookScoreAt(const PositionKey& key, int row, int col, const BookRules& rules) const;

  bool empty() const { return entries_.empty(); }
  const std::vector<BookEntry>& entries() const { return entries_; }

 private:
  int LookupOne(const PositionKey& key, int side, bool rifRules, RandomSource& random) const;
  int LookupOffering(const PositionKey& key, int side, bool rifRules, RandomSource& random) const;

  std::vector<BookEntry> entries_;  // one per tree node, in file order
};

}  // namespace tesmor
