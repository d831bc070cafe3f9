#include "eval/threat_board.h"

#include <bit>

#include <algorithm>

#include "board/renju_rule.h"

namespace tesmor {

namespace {

constexpr int kDirections = 4;

// The line of the given direction through (row, col), copied into the guarded Line layout.
// Inlined into every caller: the line copy is most of the work of a rule test.
[[gnu::always_inline]] inline Line ThreatLine(const ThreatBoard& board, int direction, int row,
                                              int col) {
  const int first = ThreatCellIndex(direction, row, col) - LinePosition(direction, row, col);
  Line line;
  line[0] = line[1] = line[17] = line[18] = OffBoard;
  std::copy_n(board.cells.begin() + first, BoardSize, line.begin() + 2);
  return line;
}

int PointOnLine(int direction, int row, int col, int pos) {
  const BoardPoint p = LinePointToBoard(direction, row, col, pos);
  return PointIndex(p.row, p.col);
}

// How the renju rule reads the threat board and puts its probe stones.
struct ThreatAccess {
  using Board = ThreatBoard;
  static int Cell(const ThreatBoard& board, int row, int col) {
    if (board.watch != nullptr) board.watch->lines[row] |= static_cast<uint16_t>(1u << col);
    return board.cells[CellIndex(row, col)];
  }
  static Line LineThrough(const ThreatBoard& board, int direction, int row, int col) {
    if (board.watch != nullptr)
      board.watch->lines[ThreatCellIndex(direction, row, col) / BoardSize] = 0x7FFF;
    return ThreatLine(board, direction, row, col);
  }
  static bool RulesOn(const ThreatBoard& board) { return board.forbiddenRulesOn != 0; }
  static void PlaceProbe(ThreatBoard& board, int row, int col) {
    SetThreatCell(board, row, col, Black);
  }
  static void RemoveProbe(ThreatBoard& board, int row, int col) {
    SetThreatCell(board, row, col, Empty);
  }
};

}  // namespace

const std::array<int16_t, ThreatLineCount * BoardSize>& ThreatCellPoints() {
  static const auto table = [] {
    std::array<int16_t, ThreatLineCount * BoardSize> points;
    points.fill(-1);
    for (int row = 0; row < BoardSize; ++row)
      for (int col = 0; col < BoardSize; ++col)
        for (int d = 0; d < kDirections; ++d)
          points[ThreatCellIndex(d, row, col)] = static_cast<int16_t>(CellIndex(row, col));
    return points;
  }();
  return table;
}

namespace {

// Bits set in a 16-bit value. Spelled out because std::popcount becomes a library call where
// the processor's instruction is not assumed.
constexpr int BitCount(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return static_cast<int>((x + (x >> 8)) & 0x1Fu);
}

// The threat board of the empty board: every on-board cell empty, the diagonals' off-board
// positions marked. A board is built by copying it and setting the stones.
const ThreatBoard& EmptyThreatBoard() {
  static const ThreatBoard empty = [] {
    ThreatBoard board;
    const auto& points = ThreatCellPoints();
    for (int i = 0; i < ThreatLineCount * BoardSize; ++i) {
      board.cells[i] = points[i] >= 0 ? Empty : OffBoard;
      if (points[i] < 0)
        board.offBoardBits[i / BoardSize] |= static_cast<uint16_t>(1u << (i % BoardSize));
    }
    return board;
  }();
  return empty;
}

}  // namespace

void BuildThreatBoard(ThreatBoard& board, const GameState& state) {
  board = EmptyThreatBoard();
  board.forbiddenRulesOn = state.forbiddenRulesOn;
  for (int cell = 0; cell < CellCount; ++cell)
    if (state.cells[cell] != Empty)
      SetThreatCell(board, cell / BoardSize, cell % BoardSize, state.cells[cell]);
}

namespace {

// The runs of five cells on a line that hold nothing in the way (bit w for positions w..w+4), and
// the number of own stones in each of them at once as a three-bit counter per bit position.
struct RunTally {
  unsigned runs;
  unsigned ones;
  unsigned twos;
  unsigned fours;

  RunTally(unsigned own, unsigned blocked) {
    const unsigned free = ~blocked & 0x7FFFu;
    runs = free & (free >> 1) & (free >> 2) & (free >> 3) & (free >> 4);
    ones = own;
    twos = fours = 0;
    for (int k = 1; k < 5; ++k) {
      const unsigned add = own >> k;
      const unsigned carry = ones & add;
      ones ^= add;
      fours |= twos & carry;
      twos ^= carry;
    }
  }
  // The runs that hold at least `stones` own stones.
  unsigned AtLeast(int stones) const {
    unsigned enough = fours | twos | ones;
    if (stones >= 5)
      enough = fours & ones;
    else if (stones == 4)
      enough = fours;
    else if (stones == 3)
      enough = fours | (twos & ones);
    else if (stones == 2)
      enough = fours | twos;
    return runs & enough;
  }
};

}  // namespace

uint16_t ThreatOpenRuns(const ThreatBoard& board, int line, int colour, int stones) {
  const unsigned own = ThreatOwnBits(board, line, colour);
  if ((colour == Black ? board.blackCount : board.whiteCount)[line] < stones) return 0;
  return static_cast<uint16_t>(
      RunTally(own, ThreatBlockedBits(board, line, colour)).AtLeast(stones));
}

void WatchRuns(const ThreatBoard& board, int line, int colour) {
  const unsigned runs = ThreatOpenRuns(board, line, colour, 3);
  board.watch->lines[line] |=
      static_cast<uint16_t>(runs | runs << 1 | runs << 2 | runs << 3 | runs << 4);
}

namespace {

// Where each point's four copies live: the cell index, the line and the bit on that line.
struct ThreatCopies {
  std::array<int16_t, kDirections> index;
  std::array<uint8_t, kDirections> line;
  std::array<uint16_t, kDirections> bit;
};

constexpr std::array<ThreatCopies, CellCount> MakeThreatCopies() {
  std::array<ThreatCopies, CellCount> copies{};
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      ThreatCopies& c = copies[CellIndex(row, col)];
      for (int d = 0; d < kDirections; ++d) {
        const int index = ThreatCellIndex(d, row, col);
        c.index[d] = static_cast<int16_t>(index);
        c.line[d] = static_cast<uint8_t>(index / BoardSize);
        c.bit[d] = static_cast<uint16_t>(1u << (index % BoardSize));
      }
    }
  }
  return copies;
}
constexpr std::array<ThreatCopies, CellCount> kThreatCopies = MakeThreatCopies();

// Bit p of a line's bit set; the positions off either end of the line hold nothing.
constexpr bool HasBit(unsigned set, int p) {
  return p >= 0 && p < BoardSize && ((set >> p) & 1u) != 0;
}

// The empty positions of a line for colour: neither a stone nor off the board.
unsigned EmptyBits(const ThreatBoard& board, int line) {
  return ~(board.blackBits[line] | board.whiteBits[line] | board.offBoardBits[line]) & 0x7FFFu;
}

// FourPointsInLine's answer for the stone at pos, read from the line's bit sets (own stones, the
// stone at pos among them, and empty positions) instead of a copied line: the first window of
// five around pos with four own stones and one hole decides, in the same order of windows and
// with the same reading of the ends. Black under the rule (blackRule) must not make six.
LinePoints FourPointsOnBits(unsigned own, unsigned empty, int pos, bool blackRule) {
  // Fewer than four own stones within four positions of pos: no window can hold a four.
  unsigned near = own & (pos >= 4 ? 0x1FFu << (pos - 4) : 0x1FFu >> (4 - pos));
  near &= near - 1;
  near &= near - 1;
  if ((near & (near - 1)) == 0) return 0;
  auto notBlack = [&](int p) { return !blackRule || !HasBit(own, p); };
  for (int w = std::max(pos - 4, 0); w <= std::min(pos, 10); ++w) {
    const unsigned hole = (0x1Fu << w) & ~own;
    if (hole == 0 || (hole & (hole - 1)) != 0 || (hole & empty) == 0) continue;
    if (blackRule && (HasBit(own, w - 1) || HasBit(own, w + 5))) continue;
    const int e = std::countr_zero(hole) - w;
    if (e == 0) {
      if (HasBit(empty, w + 5) && notBlack(w + 6))
        return blackRule ? 256 + 16 * (w + 5) + w : 256 + 16 * w + w + 5;
      return 16 + w;
    }
    if (e == 4) {
      if (HasBit(empty, w - 1) && notBlack(w - 2)) return 256 + 16 * (w - 1) + w + 4;
      return 16 + w + 4;
    }
    // c.ccc.c, cc.cc.cc and ccc.c.ccc: a second four shares the stones right of the hole.
    bool second = w <= 9 - e && HasBit(empty, w + 5);
    for (int k = 0; second && k < e; ++k) second = HasBit(own, w + 6 + k);
    if (second && notBlack(w + 6 + e) && pos > w + e) return 256 + 16 * (w + e) + w + 5;
    return 16 + w + e;
  }
  return 0;
}

// IsStraightFourInLine's answer for a stone at pos, read from the bit sets likewise: four own
// stones in a row through pos with an empty point at each end, and under the Black rule no Black
// stone just beyond either end.
bool StraightFourOnBits(unsigned own, unsigned empty, int pos, bool blackRule) {
  unsigned fours = own & own >> 1 & own >> 2 & own >> 3 & empty << 1 & empty >> 4;
  if (blackRule) fours &= ~(own << 2) & ~(own >> 5);
  // Bit w stands for positions w..w+3: those from pos - 3 to pos hold the stone.
  return (fours & ((1u << pos) * 0xFu) >> 3) != 0;
}

// Whether a Black stone on (row, col) can be forbidden at all, judged from the bit sets alone.
// An overline is six Black stones in a row through the point. Every four and every three of the
// stone lies in a run of five free cells that covers it with three Black stones or more, and a
// four leaves an empty point of such a run with four: two fours need two such points, two
// threes two lines. Most stones the VCF search asks about have neither, and skip the rule's
// full test, which copies lines and probes further points.
bool MayBeForbidden(const ThreatBoard& board, int row, int col) {
  const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
  int threeLines = 0;
  int completions = 0;
  for (int d = 0; d < kDirections; ++d) {
    const int line = copies.line[d];
    const unsigned bit = copies.bit[d];
    // Fewer than two other Black stones within four positions: no run of five through the
    // point holds three, and no six passes through it.
    const unsigned near = board.blackBits[line] & (bit * 0x1FFu) >> 4;
    if ((near & (near - 1)) == 0) continue;
    const unsigned own = board.blackBits[line] | bit;
    // Bit w: positions w..w+5 all Black; those starting from the point's position - 5 to its own.
    const unsigned six = own & own >> 1 & own >> 2 & own >> 3 & own >> 4 & own >> 5;
    if ((six & (bit * 0x3Fu) >> 5) != 0) return true;
    const RunTally tally(own, board.whiteBits[line] | board.offBoardBits[line]);
    const unsigned covering = (bit * 0x1Fu) >> 4;
    if ((tally.AtLeast(3) & covering) == 0) continue;
    ++threeLines;
    const unsigned fours = tally.AtLeast(4) & covering;
    const unsigned cells = fours | fours << 1 | fours << 2 | fours << 3 | fours << 4;
    completions += BitCount(cells & ~own);
  }
  return threeLines >= 2 || completions >= 2;
}

}  // namespace

void SetThreatCell(ThreatBoard& board, int row, int col, int value) {
  const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
  const int before = board.cells[copies.index[0]];
  for (int d = 0; d < kDirections; ++d) board.cells[copies.index[d]] = value;
  // Only the colours that left or came have bits and counts to change: mostly one of them.
  auto change = [&](int colour, bool add) {
    auto& bits = colour == Black ? board.blackBits : board.whiteBits;
    auto& counts = colour == Black ? board.blackCount : board.whiteCount;
    for (int d = 0; d < kDirections; ++d) {
      const int line = copies.line[d];
      bits[line] =
          static_cast<uint16_t>(add ? bits[line] | copies.bit[d] : bits[line] & ~copies.bit[d]);
      counts[line] = static_cast<uint16_t>(counts[line] + (add ? 1 : -1));
    }
  };
  if (before == Black || before == White) change(before, false);
  if (value == Black || value == White) change(value, true);
}

int ThreatFourCompletion(const ThreatBoard& board, int row, int col, int colour) {
  const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
  const bool blackRule = board.forbiddenRulesOn != 0 && colour == Black;
  int found = 0;
  int firstPoint = 0;
  for (int d = 0; d < kDirections; ++d) {
    const int line = copies.line[d];
    const int pos = std::countr_zero(static_cast<unsigned>(copies.bit[d]));
    const unsigned bit = copies.bit[d];
    const LinePoints points = FourPointsOnBits(ThreatOwnBits(board, line, colour) | bit,
                                               EmptyBits(board, line) & ~bit, pos, blackRule);
    if (points == 0) continue;
    // Of two points the code names the second in its low bits; that is the one reported.
    const int point = PointOnLine(d, row, col, LastLinePoint(points));
    if (points >= 256) return ThreatManyPoints + point;
    if (found++ == 0) firstPoint = point;
  }
  if (found == 0) return 0;
  return (found == 1 ? ThreatOnePoint : ThreatManyPoints) + firstPoint;
}

namespace {

// The empty positions of a line that complete a five of colour's stones: the hole of every run
// of five cells with four own stones and one empty point, and under the Black rule no own stone
// just beyond it (a six). These are exactly the points that ThreatFourCompletion names for the
// line's stones, whichever stone is asked. An empty point is such a hole when the own stones
// next to it on both sides number four together (exactly four under the Black rule).
unsigned FiveHoles(const ThreatBoard& board, int line, int colour) {
  const unsigned own = ThreatOwnBits(board, line, colour);
  // Bit p of left[k - 1] (right[k - 1]): k own stones in a row just before (after) position p.
  std::array<unsigned, 5> left;
  std::array<unsigned, 5> right;
  left[0] = own << 1;
  right[0] = own >> 1;
  for (int k = 1; k < 5; ++k) {
    left[k] = left[k - 1] & own << (k + 1);
    right[k] = right[k - 1] & own >> (k + 1);
  }
  auto atLeast = [&](int n) {
    unsigned sides = left[n - 1] | right[n - 1];
    for (int k = 1; k < n; ++k) sides |= left[k - 1] & right[n - k - 1];
    return sides;
  };
  unsigned holes = atLeast(4) & EmptyBits(board, line);
  if (board.forbiddenRulesOn != 0 && colour == Black) holes &= ~atLeast(5);
  return holes;
}

// Of two five points or more, the one that the stones' completions name first in cell order.
int FirstNamedFivePoint(const ThreatBoard& board, int colour) {
  std::array<uint8_t, ThreatLineCount> runLines;
  std::array<uint16_t, ThreatLineCount> runs;
  int runCount = 0;
  ForEachBusyLine(board, colour, 4, [&](int line) {
    if (const uint16_t found = ThreatOpenRuns(board, line, colour, 4); found != 0) {
      runLines[runCount] = static_cast<uint8_t>(line);
      runs[runCount++] = found;
    }
  });
  if (runCount == 0) return 0;

  // The stones of those runs as a bit set by CellIndex, tested in cell order.
  std::array<uint64_t, 4> inRun{};
  const auto& points = ThreatCellPoints();
  for (int i = 0; i < runCount; ++i) {
    const unsigned r = runs[i];
    const int line = runLines[i];
    unsigned stones = (r | r << 1 | r << 2 | r << 3 | r << 4) & ThreatOwnBits(board, line, colour);
    for (; stones != 0; stones &= stones - 1) {
      const int cell = points[line * BoardSize + std::countr_zero(stones)];
      inRun[cell >> 6] |= uint64_t{1} << (cell & 63);
    }
  }
  int remembered = 0;
  for (int w = 0; w < 4; ++w) {
    for (uint64_t bits = inRun[w]; bits != 0; bits &= bits - 1) {
      const int cell = w * 64 + std::countr_zero(bits);
      const int r = ThreatFourCompletion(board, cell / BoardSize, cell % BoardSize, colour);
      if (r >= ThreatManyPoints) return r;
      if (r == 0) continue;
      if (remembered != 0 && remembered != r) return r + ThreatManyPoints;
      remembered = r;
    }
  }
  return remembered;
}

// The five points of colour on the lines that forEachLine(visit) names, as a four-reply code
// whose point, of two or more, is any one of them.
template <typename Lines>
int FivePointsOnLines(const ThreatBoard& board, int colour, Lines forEachLine) {
  const auto& points = ThreatCellPoints();
  int first = -1;
  bool many = false;
  forEachLine([&](int line) {
    for (unsigned holes = FiveHoles(board, line, colour); holes != 0; holes &= holes - 1) {
      const int cell = points[line * BoardSize + std::countr_zero(holes)];
      if (first < 0) first = cell;
      many |= cell != first;
    }
  });
  if (first < 0) return 0;
  return (many ? ThreatManyPoints : ThreatOnePoint) +
         PointIndex(first / BoardSize, first % BoardSize);
}

}  // namespace

int ThreatFivePointsAnyOf(const ThreatBoard& board, int colour) {
  // Most positions have no run of five cells with four of colour's stones anywhere.
  return FivePointsOnLines(board, colour,
                           [&](auto visit) { ForEachBusyLine(board, colour, 4, visit); });
}

int ThreatFivePointsThrough(const ThreatBoard& board, int row, int col, int colour) {
  const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
  const auto& counts = colour == Black ? board.blackCount : board.whiteCount;
  return FivePointsOnLines(board, colour, [&](auto visit) {
    for (int d = 0; d < kDirections; ++d)
      if (counts[copies.line[d]] >= 4) visit(copies.line[d]);
  });
}

int ThreatFivePoints(const ThreatBoard& board, int colour) {
  const int code = ThreatFivePointsAnyOf(board, colour);
  return code < ThreatManyPoints ? code : FirstNamedFivePoint(board, colour);
}

uint16_t ThreatStraightFourPoints(const ThreatBoard& board, int line, int colour) {
  const unsigned own = ThreatOwnBits(board, line, colour);
  const unsigned empty = EmptyBits(board, line);
  // Bit w: an empty point on either side of positions w..w+3, and under the Black rule no Black
  // stone just beyond those.
  unsigned ends = empty << 1 & empty >> 4;
  if (board.forbiddenRulesOn != 0 && colour == Black) ends &= ~(own << 2) & ~(own >> 5);
  unsigned points = 0;
  for (int hole = 0; hole < 4; ++hole) {
    unsigned windows = ends & empty >> hole;
    for (int k = 0; k < 4; ++k)
      if (k != hole) windows &= own >> k;
    points |= windows << hole;
  }
  return static_cast<uint16_t>(points);
}

bool ThreatStraightFour(const ThreatBoard& board, int row, int col, int colour) {
  const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
  const bool blackRule = board.forbiddenRulesOn != 0 && colour == Black;
  for (int d = 0; d < kDirections; ++d) {
    const int line = copies.line[d];
    const unsigned own = ThreatOwnBits(board, line, colour) | copies.bit[d];
    if (StraightFourOnBits(own, EmptyBits(board, line) & ~copies.bit[d],
                           std::countr_zero(static_cast<unsigned>(copies.bit[d])), blackRule))
      return true;
  }
  return false;
}

ForbiddenKind ThreatForbiddenKind(ThreatBoard& board, int row, int col) {
  if (board.forbiddenRulesOn == 0 || board.cells[CellIndex(row, col)] == White) return None;
  if (!MayBeForbidden(board, row, col)) {
    // A White stone only takes Black's runs away, which keeps the answer; a Black one may not.
    if (board.watch != nullptr && board.watch->stoneColour == Black) {
      const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
      for (int d = 0; d < kDirections; ++d) board.watch->lines[copies.line[d]] = 0x7FFF;
    }
    return None;
  }
  return RenjuRule<ThreatAccess>::Judge(board, row, col);
}

bool ThreatWatched(const ThreatWatch& watch, int row, int col) {
  const ThreatCopies& copies = kThreatCopies[CellIndex(row, col)];
  unsigned seen = 0;
  for (int d = 0; d < kDirections; ++d) seen |= watch.lines[copies.line[d]] & copies.bit[d];
  return seen != 0;
}

}  // namespace tesmor
