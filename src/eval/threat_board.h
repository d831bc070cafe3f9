#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "board/board.h"
#include "board/forbidden.h"

namespace tesmor {

constexpr int ThreatLineCount = 88;

// What a search read of a threat board, kept while it runs: by line, the positions where one
// more stone of stoneColour could have changed an answer the search got. The same search on the
// board with such a stone on any other empty point reads the same at every step.
struct ThreatWatch {
  std::array<uint16_t, ThreatLineCount> lines{};
  int stoneColour = 0;
};

// The VCF search's copy of a position: every board line as its own run of 15 cells, so that a
// test copies a line instead of gathering it point by point. Lines 0-14 are the rows (so the
// first 225 cells are laid out by CellIndex), 15-29 the columns, 30-58 the row + column
// diagonals and 59-87 the row - column diagonals; diagonal positions off the board hold OffBoard.
// Every point is stored four times; SetThreatCell keeps the copies equal.
struct ThreatBoard {
  std::array<int32_t, ThreatLineCount * BoardSize> cells{};
  int32_t forbiddenRulesOn = 0;  // copied from the record when the board is built
  // The same lines as bit sets (bit k for position k), so that a search can see at a glance
  // where a colour has enough stones for a four: Black's stones, White's, and the off-board
  // positions of the diagonals.
  std::array<uint16_t, ThreatLineCount> blackBits{};
  std::array<uint16_t, ThreatLineCount> whiteBits{};
  std::array<uint16_t, ThreatLineCount> offBoardBits{};
  // How many stones of each colour a line holds, kept with the bits: the busy lines are found
  // from these, four lines to a word, instead of counting bits on every question. (Not bytes:
  // a byte store may alias anything, which would make every update reload the board.)
  std::array<uint16_t, ThreatLineCount> blackCount{};
  std::array<uint16_t, ThreatLineCount> whiteCount{};
  // Where a search that records what it reads marks it; none otherwise.
  ThreatWatch* watch = nullptr;
};

// The bit set of colour's stones on a line of the threat board, and of everything else that
// stands in its way (the other colour's stones and the off-board positions).
inline uint16_t ThreatOwnBits(const ThreatBoard& board, int line, int colour) {
  return colour == Black ? board.blackBits[line] : board.whiteBits[line];
}
inline uint16_t ThreatBlockedBits(const ThreatBoard& board, int line, int colour) {
  return (colour == Black ? board.whiteBits[line] : board.blackBits[line]) |
         board.offBoardBits[line];
}

// Calls visit(line) for each line that holds at least `stones` (1 to 15) of colour's stones, in
// line order. Only there can a four (three stones) or a five (four) arise, and in most positions
// such lines are few: the counts of four lines at a time are compared in one 64-bit word.
template <typename Visit>
void ForEachBusyLine(const ThreatBoard& board, int colour, int stones, Visit visit) {
  const auto& counts = colour == Black ? board.blackCount : board.whiteCount;
  constexpr uint64_t kLaneTops = 0x8000800080008000ull;
  const uint64_t threshold = kLaneTops - 0x0001000100010001ull * static_cast<uint64_t>(stones);
  static_assert(ThreatLineCount % 4 == 0);
  for (int first = 0; first < ThreatLineCount; first += 4) {
    uint64_t x;
    std::memcpy(&x, &counts[first], sizeof x);
    // A lane's top bit is set when its count reaches `stones`; no lane carries into the next.
    for (uint64_t enough = (x + threshold) & kLaneTops; enough != 0; enough &= enough - 1)
      visit(first + std::countr_zero(enough) / 16);
  }
}

// The first positions of the runs of five cells on a line that hold at least `stones` of
// colour's stones and nothing else but empty points, as a bit set.
uint16_t ThreatOpenRuns(const ThreatBoard& board, int line, int colour, int stones);

// Marks in board.watch the positions of a line that lie in a run of five cells with three of
// colour's stones or more and nothing in the way. A stone of the other colour elsewhere on the
// line changes none of the answers about colour's fours, straight fours and five points there,
// and one of colour's own none about its five points: what it could make or take away needs
// such a run through its point.
void WatchRuns(const ThreatBoard& board, int line, int colour);
// Whether a search that watched its reads may have read the empty point (row, col).
bool ThreatWatched(const ThreatWatch& watch, int row, int col);

// The cell of the threat board that holds (row, col) in the line of the given direction.
constexpr int ThreatCellIndex(int direction, int row, int col) {
  switch (direction) {
    case 0:
      return row * BoardSize + col;
    case 1:
      return (15 + col) * BoardSize + row;
    case 2:
      return (30 + row + col) * BoardSize + col;
    default:
      return (59 + row - col + 14) * BoardSize + 14 - col;
  }
}

// The board point (CellIndex) that each threat-board cell holds, or -1 for the off-board part of
// a diagonal.
const std::array<int16_t, ThreatLineCount * BoardSize>& ThreatCellPoints();

void BuildThreatBoard(ThreatBoard& board, const GameState& state);

// Writes value (Black, White or Empty) into all four copies of (row, col).
void SetThreatCell(ThreatBoard& board, int row, int col, int value);

// The four-reply codes: 0 nothing; 256 + p for exactly one completion point p (a PointIndex);
// 65536 + p when there are two or more, p being one of them.
constexpr int ThreatOnePoint = 256;
constexpr int ThreatManyPoints = 65536;

// Where colour completes a five with one more stone, over all its stones. Of two points or
// more, the one that the completions of colour's stones name first in cell order.
int ThreatFivePoints(const ThreatBoard& board, int colour);
// The same, but of two points or more any one may be named: cheaper.
int ThreatFivePointsAnyOf(const ThreatBoard& board, int colour);
// ThreatFivePointsAnyOf over the four lines through (row, col) alone, which is its whole answer
// when colour had no five point before the stone now on (row, col), of either colour, was put.
int ThreatFivePointsThrough(const ThreatBoard& board, int row, int col, int colour);
// The completion points of the fours that a stone of colour on (row, col), standing there or
// not, belongs to; the point holds that stone or is empty.
int ThreatFourCompletion(const ThreatBoard& board, int row, int col, int colour);
// Whether a stone of colour on (row, col), standing there or not, stands in a straight four in
// some direction; the point holds that stone or is empty.
bool ThreatStraightFour(const ThreatBoard& board, int row, int col, int colour);
// The empty positions of a line where a stone of colour would stand in a straight four, as a bit
// set: ThreatStraightFour's answer for a whole line at once.
uint16_t ThreatStraightFourPoints(const ThreatBoard& board, int line, int colour);
// The renju rule's verdict on a Black stone on (row, col), judged by the same code as
// ForbiddenKindAt. Places probe stones while it works and leaves the board as it found it.
ForbiddenKind ThreatForbiddenKind(ThreatBoard& board, int row, int col);

}  // namespace tesmor
