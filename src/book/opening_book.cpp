#include "book/opening_book.h"

#include <algorithm>

#include "board/file_io.h"

namespace tesmor {

namespace {

constexpr int NoScoreYet = -1000000000;

// An index 0..n-1 from one draw, safe for any number a source hands back.
int DrawIndex(RandomSource& random, int n) {
  return ((random.Next() % n) + n) % n;
}

int LetterGrade(char mark) {
  switch (mark) {
    case 'A':
    case 'a':
    case 'h':
      return 7;
    case 'B':
    case 'b':
      return 6;
    case 'C':
    case 'c':
      return 5;
    case 'D':
    case 'd':
      return 4;
    case 'E':
    case 'e':
      return 3;
    case 'F':
    case 'f':
      return 2;
    case 'G':
    case 'g':
      return 1;
    default:
      return 0;
  }
}

// Calls visit(point on the board, mark) for each entry of the key's position, in file order.
template <typename Visit>
void ForEachMatch(const std::vector<BookEntry>& entries, const PositionKey& key, Visit visit) {
  const int id = static_cast<int>(key[0]);
  for (const BookEntry& entry : entries) {
    if (!std::equal(entry.rows.begin(), entry.rows.end(), key.begin() + 1)) continue;
    const int point = MapKeyPointToBoard(entry.point, id);
    if (point < 0) continue;
    if (!visit(point, entry.mark)) return;
  }
}

// Adds an entry for every node in pre-order, each with the position before its move. A node on
// a taken or off-board point is left out with its subtree, as the file reader does, so that any
// tree gives a consistent book.
void AddEntries(const std::vector<BookNode>& nodes, GameState& state,
                std::vector<BookEntry>& entries) {
  for (const BookNode& node : nodes) {
    if (node.point < 0 || node.point >= CellCount) continue;
    const int row = PointRow(node.point);
    const int col = PointCol(node.point);
    if (state.cell(row, col) != Empty) continue;
    BookEntry entry;
    const PositionKey key = MakePositionKey(state.cells, 0);
    std::copy(key.begin() + 1, key.end(), entry.rows.begin());
    entry.point = node.point;
    entry.mark = node.mark;
    entries.push_back(entry);
    if (node.children.empty()) continue;
    RecordMove(state, row, col);
    AddEntries(node.children, state, entries);
    UndoMove(state);
  }
}

}  // namespace

int MarkScore(char mark, int side, bool rifRules) {
  if (mark == '*') mark = rifRules ? '0' : 'E';
  if (int grade = LetterGrade(mark); grade != 0) {
    if (side == -1) grade = 8 - grade;
    const bool lowerCase = mark >= 'a' && mark <= 'z';
    return lowerCase && rifRules ? -1 : 2 * grade - 3;
  }
  switch (mark) {
    case '!':
      return 1000;
    case '?':
      return -1;
    case '#':
      return rifRules ? 20 : 19;
    case '$':
      return rifRules ? 20 : 17;
    case '@':
      return rifRules ? 20 : 18;
    default:
      break;
  }
  if (mark >= '0' && mark <= '9') return 68 - mark;
  return 0;
}

BookLoadReport OpeningBook::Load(const std::string& path) {
  entries_.clear();
  BookLoadReport report;
  report.path = path;
  const FileBytes file = ReadRegularFile(path, BookMaxBytes);
  if (!file.ok) {
    report.error = file.error;
    return report;
  }
  const BookReadResult read = ReadBookTree(file.bytes);
  *this = FromTree(read.tree);
  report.loaded = true;
  report.damaged = read.report.Damaged();
  report.movesKept = static_cast<int64_t>(entries_.size());
  return report;
}

OpeningBook OpeningBook::FromBytes(std::span<const uint8_t> bytes) {
  return FromTree(ReadBookTree(bytes).tree);
}

OpeningBook OpeningBook::FromTree(const BookTree& tree) {
  OpeningBook book;
  GameState state;
  ClearGameState(state);
  AddEntries(tree, state, book.entries_);
  return book;
}

int OpeningBook::LookupBook(const PositionKey& key, int side, const BookRules& rules,
                            RandomSource& random) const {
  if (rules.rifRules && rules.offeringFifth) return LookupOffering(key, side, true, random);
  return LookupOne(key, side, rules.rifRules, random);
}

int OpeningBook::LookupOne(const PositionKey& key, int side, bool rifRules,
                           RandomSource& random) const {
  int bestScore = NoScoreYet;
  std::vector<int> best;
  ForEachMatch(entries_, key, [&](int point, uint8_t mark) {
    const int score = MarkScore(static_cast<char>(mark), side, rifRules);
    if (score > bestScore) {
      best.assign(1, point);
      bestScore = score;
    } else if (score == bestScore) {
      best.push_back(point);
    }
    return true;
  });
  // Five or more equally good moves mean the book has no preference worth following.
  const int n = static_cast<int>(best.size());
  if (n == 0 || n >= 5) return NoPoint;
  random.Seed();
  return best[DrawIndex(random, n)];
}

int OpeningBook::LookupOffering(const PositionKey& key, int side, bool rifRules,
                                RandomSource& random) const {
  int bestScore = NoScoreYet;
  int secondScore = NoScoreYet;
  std::vector<int> best;
  std::vector<int> second;
  ForEachMatch(entries_, key, [&](int point, uint8_t mark) {
    // A point enters the best list once; so best holds different points, and second never
    // holds the point of a best list of one.
    if (std::find(best.begin(), best.end(), point) != best.end()) return true;
    const int score = MarkScore(static_cast<char>(mark), side, rifRules);
    if (score > bestScore) {
      second = best;
      secondScore = bestScore;
      best.assign(1, point);
      bestScore = score;
    } else if (score == bestScore) {
      best.push_back(point);
    } else if (score > secondScore) {
      second.assign(1, point);
      secondScore = score;
    } else if (score == secondScore) {
      second.push_back(point);
    }
    return true;
  });

  const int n = static_cast<int>(best.size());
  if (n >= 2) {
    random.Seed();
    const int first = DrawIndex(random, n);
    // The second point is drawn among the n - 1 others: the same choice as drawing until it
    // differs, without depending on the source ever giving a different number.
    const int other = DrawIndex(random, n - 1);
    return MakePointPair(best[first], best[other < first ? other : other + 1]);
  }
  if (n == 1 && !second.empty()) {
    random.Seed();
    return MakePointPair(best[0], second[DrawIndex(random, static_cast<int>(second.size()))]);
  }
  return NoPoint;
}

int OpeningBook::BookScoreAt(const PositionKey& key, int row, int col,
                             const BookRules& rules) const {
  if (!OnBoard(row, col)) return NoBookScore;
  const int target = PointIndex(row, col);
  int score = NoBookScore;
  ForEachMatch(entries_, key, [&](int point, uint8_t mark) {
    if (point != target) return true;
    score = MarkScore(static_cast<char>(mark), Black, rules.rifRules);
    return false;
  });
  return score;
}

}  // namespace tesmor
