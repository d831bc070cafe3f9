#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tesmor {

// The largest book file read: far above any real book (six bytes a move), small enough that the
// moves of a file this size fit in memory.
constexpr size_t BookMaxBytes = size_t{16} << 20;

// The conventional start of a book file. The reader skips these bytes without looking at them;
// the writer puts them there so that other tools recognise the file.
constexpr int BookHeaderSize = 20;
constexpr std::array<uint8_t, BookHeaderSize> BookHeader = {
    0xFF, 0x52, 0x65, 0x6E, 0x4C, 0x69, 0x62, 0xFF, 0x03, 0x04,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Bits of a node record's flags byte.
constexpr uint8_t BookNextSiblingFlag = 0x80;  // a later sibling follows at this level
constexpr uint8_t BookNoChildrenFlag = 0x40;   // no subtree follows
constexpr uint8_t BookExtraMask = 0x0F;        // 0 turns the extra bytes off, 1 on

// One book move as the file's tree holds it: a PointIndex on the board (the position is the path
// of moves leading to it) and its grading mark, 0 for none.
struct BookNode {
  int32_t point = 0;
  uint8_t mark = 0;
  std::vector<BookNode> children;

  bool operator==(const BookNode&) const = default;
};

// The top level of the tree: the moves of the empty board.
using BookTree = std::vector<BookNode>;

// What the reader passed over. None of it stops the reading; the tree holds everything else.
struct BookReadReport {
  bool truncated = false;     // the file ended inside the header or before the tree was complete
  int blankRecords = 0;       // 00 00, read in place of nothing
  int droppedRecords = 0;     // a shape other than 0, 4, 8 or 12: no node, no subtree
  int offBoardRecords = 0;    // a row nibble of 15 or a column nibble of 0
  int occupiedRecords = 0;    // a point already taken on the path that leads to it
  int skippedRecords = 0;     // records read inside the subtrees of the two kinds above
  int64_t trailingBytes = 0;  // bytes after the end of the top level, not read

  // Any byte passed over: the writer produces none of these, so a file that has one has lost
  // what its author put there, even where the format says how to read past it.
  bool Damaged() const {
    return truncated || trailingBytes > 0 ||
           blankRecords + droppedRecords + offBoardRecords + occupiedRecords + skippedRecords > 0;
  }
};

struct BookReadResult {
  BookTree tree;
  BookReadReport report;
};

// Reads a whole book file, header included. Never fails: it stops at the end of the bytes and
// keeps every node read completely before it. A node on an off-board or taken point is left out
// together with its subtree, whose records are still read so that the rest of the file stays in
// step.
BookReadResult ReadBookTree(std::span<const uint8_t> bytes);

// The file for a tree: the header, then every node in pre-order. A node with a mark carries the
// extra bytes 00 01 <mark> 00 and turns them on for itself; one without a mark turns them off.
// The tree's points must lie on the board and no path may repeat one.
std::vector<uint8_t> WriteBookTree(const BookTree& tree);

// How many nodes the tree holds, at every depth.
int64_t CountBookNodes(const BookTree& tree);

}  // namespace tesmor
