#pragma once

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

  static bool IsFive(const Board& board, int row, int col) {
    for (int d = 0; d < 4; ++d)
      if (IsFiveInLine(Access::LineThrough(board, d, row, col), LinePosition(d, row, col),
                       Access::RulesOn(board)))
        return true;
    return false;
  }

  static bool IsOverline(const Board& board, int row, int col) {
    if (!Access::RulesOn(board)) return false;
    for (int d = 0; d < 4; ++d)
      if (IsOverlineInLine(Access::LineThrough(board, d, row, col), LinePosition(d, row, col),
                           true))
        return true;
    return false;
  }

  static int CountFours(const Board& board, int row, int col) {
    int fours = 0;
    for (int d = 0; d < 4; ++d)
      fours += CountFoursInLine(Access::LineThrough(board, d, row, col), LinePosition(d, row, col),
                                Access::RulesOn(board));
    return fours;
  }

  // The three test and the five probe run for few points; kept out of line, they leave Judge's
  // common path (a five, two fours) short.
  [[gnu::noinline]] static bool MakesFive(Board& board, int row, int col) {
    Probe probe(board, row, col);
    return IsFive(board, row, col);
  }

  [[gnu::noinline]] static int CountRealThrees(Board& board, int row, int col) {
    int threes = 0;
    for (int d = 0; d < 4; ++d) {
      const LinePoints points =
          ThreePointsInLine(Access::LineThrough(board, d, row, col), LinePosition(d, row, col),
                            Access::RulesOn(board));
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

  // The verdict on a Black stone on (row, col), standing or put there for the question. A five
  // wins before any other test: a five that also makes a four-four is no foul.
  static ForbiddenKind Judge(Board& board, int row, int col) {
    if (!Access::RulesOn(board)) return None;
    if (Access::Cell(board, row, col) == White) return None;
    Probe probe(board, row, col);
    if (IsFive(board, row, col)) return None;
    if (CountFours(board, row, col) >= 2) return FourFour;
    if (CountRealThrees(board, row, col) >= 2) return ThreeThree;
    if (IsOverline(board, row, col)) return Overline;
    return None;
  }

 private:
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
