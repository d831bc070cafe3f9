#include "book/book_format.h"

#include "board/board.h"

namespace tesmor {

namespace {

constexpr int ExtraByteCount = 4;
constexpr int MarkOffset = 2;  // the first byte of the second pair

// One level of the tree being read. Kept on an explicit stack rather than the call stack: the
// subtrees of skipped records can nest as deep as the file is long.
struct Level {
  std::vector<BookNode>* nodes;  // where this level's nodes go; null inside a skipped subtree
  int stone = -1;                // the point of the node that opened the level, freed at its end
  bool extraOn = true;           // the extra setting belongs to the level and starts on
  bool ending = false;           // the last node of the level has been read
};

bool KnownShape(int shape) {
  return shape == 0 || shape == 4 || shape == 8 || shape == 12;
}

void WriteLevel(const std::vector<BookNode>& nodes, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    const BookNode& node = nodes[i];
    const int row = PointRow(node.point);
    const int col = PointCol(node.point);
    out.push_back(static_cast<uint8_t>(row << 4 | (15 - col)));
    uint8_t flags = node.mark != 0 ? 1 : 0;
    if (i + 1 < nodes.size()) flags |= BookNextSiblingFlag;
    if (node.children.empty()) flags |= BookNoChildrenFlag;
    out.push_back(flags);
    if (node.mark != 0) out.insert(out.end(), {0x00, 0x01, node.mark, 0x00});
    if (!node.children.empty()) WriteLevel(node.children, out);
  }
}

}  // namespace

namespace {

// Reads the records of a book file one at a time into a tree, counting what it passes over.
class BookTreeReader {
 public:
  explicit BookTreeReader(std::span<const uint8_t> bytes) : bytes_(bytes) {
    levels_.push_back(Level{&result_.tree});
  }

  BookReadResult Read() {
    BookReadReport& report = result_.report;
    if (bytes_.size() < BookHeaderSize) {
      report.truncated = true;
      return std::move(result_);
    }
    pos_ = BookHeaderSize;
    while (!levels_.empty()) {
      if (bytes_.size() - pos_ < 2) {
        // A header with nothing after it is an empty book; any other end here cuts a level short.
        report.truncated = anyRecord_ || levels_.size() > 1 || pos_ != bytes_.size();
        return std::move(result_);
      }
      if (!ReadRecord()) {
        report.truncated = true;
        return std::move(result_);
      }
    }
    report.trailingBytes = static_cast<int64_t>(bytes_.size() - pos_);
    return std::move(result_);
  }

 private:
  // One record and the level changes it brings; false when its extra bytes are cut off.
  bool ReadRecord() {
    BookReadReport& report = result_.report;
    const uint8_t move = bytes_[pos_];
    const uint8_t flags = bytes_[pos_ + 1];
    pos_ += 2;
    if (move == 0 && flags == 0) {
      ++report.blankRecords;
      return true;
    }
    anyRecord_ = true;

    Level& level = levels_.back();
    const bool skipping = level.nodes == nullptr;
    if (skipping) ++report.skippedRecords;
    const int extra = flags & BookExtraMask;
    if (extra == 0) level.extraOn = false;
    if (extra == 1) level.extraOn = true;
    if (!KnownShape(flags >> 4)) {
      if (!skipping) ++report.droppedRecords;
      return true;
    }

    // Every record of a known shape would be an entry to a reader that does not check its point,
    // so its extra bytes are read whether it is kept or not.
    uint8_t mark = 0;
    if (level.extraOn) {
      if (bytes_.size() - pos_ < ExtraByteCount) return false;
      mark = bytes_[pos_ + MarkOffset];
      pos_ += ExtraByteCount;
    }

    const int point = skipping ? -1 : RecordPoint(move);
    std::vector<BookNode>* children = nullptr;
    if (point >= 0) {
      level.nodes->push_back(BookNode{point, mark, {}});
      children = &level.nodes->back().children;
    }
    if ((flags & BookNextSiblingFlag) == 0) level.ending = true;
    if ((flags & BookNoChildrenFlag) == 0) {
      if (point >= 0) taken_[point] = true;
      // The node just added is the last of its level's vector, and that vector does not grow
      // while the new level is open, so the pointer to its children stays valid.
      levels_.push_back(Level{children, point});
      return true;
    }
    while (!levels_.empty() && levels_.back().ending) {
      if (levels_.back().stone >= 0) taken_[levels_.back().stone] = false;
      levels_.pop_back();
    }
    return true;
  }

  // The point of a record to keep, or -1 (counted) when it is off the board or already taken.
  int RecordPoint(uint8_t move) {
    const int row = move >> 4;
    const int columnNibble = move & 0x0F;
    if (row == 15 || columnNibble == 0) {
      ++result_.report.offBoardRecords;
      return -1;
    }
    const int point = PointIndex(row, 15 - columnNibble);
    if (taken_[point]) {
      ++result_.report.occupiedRecords;
      return -1;
    }
    return point;
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool anyRecord_ = false;
  BookReadResult result_;
  // The points taken on the path from the empty board to the level being read.
  std::array<bool, CellCount> taken_{};
  std::vector<Level> levels_;
};

}  // namespace

BookReadResult ReadBookTree(std::span<const uint8_t> bytes) {
  return BookTreeReader(bytes).Read();
}

std::vector<uint8_t> WriteBookTree(const BookTree& tree) {
  std::vector<uint8_t> out(BookHeader.begin(), BookHeader.end());
  WriteLevel(tree, out);
  return out;
}

int64_t CountBookNodes(const BookTree& tree) {
  int64_t count = 0;
  for (const BookNode& node : tree) count += 1 + CountBookNodes(node.children);
  return count;
}

}  // namespace tesmor
