#pragma once

#include <array>

#include "board/board.h"
#include "board/forbidden.h"

namespace tesmor {

// The renju rule's point tests, written once for every board that can hand out the four lines
// through a point. Access says how to read and probe a board of type Access::Board:
//   static int Cell(const Board&, int row, int col);
//   static Line LineThrough(const Board&, int direction, int row, int col);  // guarded layout
//   static bool RulesOn(const Board&);                     // forbidden-move rules in force
//   static void PlaceProbe(Board&, int row, int col);      // a Black stone for the look-ahead
//   static void RemoveProbe(Board&, int row, int col);
// The game record and the threat board are the two; the rule reads both the same way, so a Black
// stone is judged alike in the game and in the VCF search.
template <typename Access>
class RenjuRule {
 public:
  using Board = typename Access::Board;

  // The four lines through a point, read once for the tests below.
  using Lines = std::array<Line, 4>;
  static Lines LinesThrough(const Board& board, int row, int col) {
    Lines lines;
    for (int d = 0; d < 4; ++d) lines[d] = Access::LineThrough(board, d, row, col);
    return lines;
  }

  static bool IsFive(const Board& board, int row, int col) {
    return IsFive(LinesThrough(board, row, col), row, col, Access::RulesOn(board));
  }

  static bool IsOverline(const Board& board, int row, int col) {
    if (!Access::RulesOn(board)) return false;
    return IsOverline(LinesThrough(board, row, col), row, col);
  }

  static int CountFours(const Board& board, int row, int col) {
    return CountFours(LinesThrough(board, row, col), row, col, Access::RulesOn(board));
  }

  // The three test and the five probe run for few points; kept out of line, they leave Judge's
  // common path (a five, two fours) short.
  [[gnu::noinline]] static bool MakesFive(Board& board, int row, int col) {
    Probe probe(board, row, col);
    return IsFive(board, row, col);
  }

  [[gnu::noinline]] static int CountRealThrees(Board& board, int row, int col) {
    return CountRealThrees(board, LinesThrough(board, row, col), row, col);
  }

  // The verdict on a Black stone on (row, col), standing or put there for the question. A five
  // wins before any other test: a five that also makes a four-four is no foul. The lines are
  // read once with the stone in place; the three test's look-ahead puts and takes back its own
  // probes elsewhere, so they still hold for the tests after it.
  static ForbiddenKind Judge(Board& board, int row, int col) {
    if (!Access::RulesOn(board)) return None;
    if (Access::Cell(board, row, col) == White) return None;
    Probe probe(board, row, col);
    const Lines lines = LinesThrough(board, row, col);
    if (IsFive(lines, row, col, true)) return None;
    if (CountFours(lines, row, col, true) >= 2) return FourFour;
    if (CountRealThrees(board, lines, row, col) >= 2) return ThreeThree;
    if (IsOverline(lines, row, col)) return Overline;
    return None;
  }

 private:
  static bool IsFive(const Lines& lines, int row, int col, bool rulesOn) {
    for (int d = 0; d < 4; ++d)
      if (IsFiveInLine(lines[d], LinePosition(d, row, col), rulesOn)) return true;
    return false;
  }

  static bool IsOverline(const Lines& lines, int row, int col) {
    for (int d = 0; d < 4; ++d)
      if (IsOverlineInLine(lines[d], LinePosition(d, row, col), true)) return true;
    return false;
  }

  static int CountFours(const Lines& lines, int row, int col, bool rulesOn) {
    int fours = 0;
    for (int d = 0; d < 4; ++d)
      fours += CountFoursInLine(lines[d], LinePosition(d, row, col), rulesOn);
    return fours;
  }

  [[gnu::noinline]] static int CountRealThrees(Board& board, const Lines& lines, int row, int col) {
    int threes = 0;
    for (int d = 0; d < 4; ++d) {
      const LinePoints points =
          ThreePointsInLine(lines[d], LinePosition(d, row, col), Access::RulesOn(board));
      if (points == 0) continue;
      // A three is real only if a straight-four point is playable: neither forbidden nor a
      // five. Of two points the second is tried first.
      const BoardPoint second = LinePointToBoard(d, row, col, LastLinePoint(points));
      bool usable = UsableFourPoint(board, second.row, second.col);
      if (!usable && LinePointCount(points) == 2) {
        const BoardPoint first = LinePointToBoard(d, row, col, FirstLinePoint(points));
        usable = UsableFourPoint(board, first.row, first.col);
      }
      if (usable) ++threes;
    }
    return threes;
  }

  // Puts a Black stone on an empty point for the lifetime of the guard.
  class Probe {
   public:
    Probe(Board& board, int row, int col)
        : board_(board), row_(row), col_(col), placed_(Access::Cell(board, row, col) == Empty) {
      if (placed_) Access::PlaceProbe(board_, row_, col_);
    }
    ~Probe() {
      if (placed_) Access::RemoveProbe(board_, row_, col_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

   private:
    Board& board_;
    int row_;
    int col_;
    bool placed_;
  };

  static bool UsableFourPoint(Board& board, int row, int col) {
    return Judge(board, row, col) == None && !MakesFive(board, row, col);
  }
};

}  // namespace tesmor
