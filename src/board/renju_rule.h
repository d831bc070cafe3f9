#pragma once

#include "board/board.h"
#include "board/forbidden.h"

namespace tesmor {

// The renju rule's point tests, written once for every board that can hand out the four lines
// through a point. A Board offers:
//   int Cell(int row, int col) const;
//   Line LineThrough(int direction, int row, int col) const;  // in the guarded Line layout
//   bool RulesOn() const;                                      // forbidden-move rules in force
//   void PlaceProbe(int row, int col);   // a Black stone for the rule's own look-ahead
//   void RemoveProbe(int row, int col);
// The game record and the threat board are the two; the rule reads both the same way, so a Black
// stone is judged alike in the game and in the VCF search. The tests that place no stone take
// any reader with the first three operations.
template <typename Board>
class RenjuRule {
 public:
  template <typename Reader>
  static bool IsFive(const Reader& board, int row, int col) {
    for (int d = 0; d < 4; ++d)
      if (IsFiveInLine(board.LineThrough(d, row, col), LinePosition(d, row, col), board.RulesOn()))
        return true;
    return false;
  }

  template <typename Reader>
  static bool IsOverline(const Reader& board, int row, int col) {
    if (!board.RulesOn()) return false;
    for (int d = 0; d < 4; ++d)
      if (IsOverlineInLine(board.LineThrough(d, row, col), LinePosition(d, row, col), true))
        return true;
    return false;
  }

  template <typename Reader>
  static int CountFours(const Reader& board, int row, int col) {
    int fours = 0;
    for (int d = 0; d < 4; ++d)
      fours += CountFoursInLine(board.LineThrough(d, row, col), LinePosition(d, row, col),
                                board.RulesOn());
    return fours;
  }

  static bool MakesFive(Board& board, int row, int col) {
    Probe probe(board, row, col);
    return IsFive(board, row, col);
  }

  static int CountRealThrees(Board& board, int row, int col) {
    int threes = 0;
    for (int d = 0; d < 4; ++d) {
      const LinePoints points = ThreePointsInLine(board.LineThrough(d, row, col),
                                                  LinePosition(d, row, col), board.RulesOn());
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
    if (!board.RulesOn()) return None;
    if (board.Cell(row, col) == White) return None;
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
        : board_(board), row_(row), col_(col), placed_(board.Cell(row, col) == Empty) {
      if (placed_) board_.PlaceProbe(row_, col_);
    }
    ~Probe() {
      if (placed_) board_.RemoveProbe(row_, col_);
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
