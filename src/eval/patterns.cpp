#include "eval/patterns.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tesmor {

namespace {

// Window shapes seen from the stone's colour, X own and _ empty; shapes that share every rule
// share a name.
enum Shape : uint8_t {
  NoShape,
  FiveShape,        // XXXXX
  FourEmptyRight,   // XXXX_
  FourEmptyLeft,    // _XXXX
  FourHoleThird,    // XXX_X
  FourHoleMiddle,   // XX_XX
  FourHoleFirst,    // X_XXX
  ThreeMiddle,      // _XXX_
  ThreeSplitLeft,   // XX_X_, X_XX_
  ThreeSplitRight,  // _XX_X, _X_XX
  ThreeLeft,        // XXX__
  ThreeRight,       // __XXX
  ThreeWide,        // XX__X, X_X_X, X__XX
  TwoMiddle,        // _XX__, _X_X_, __XX_
  TwoGapLeft,       // X__X_
  TwoLeft,          // XX___, X_X__
  TwoRight,         // _X__X, __X_X, ___XX
  TwoWide,          // X___X
};

// A window's code w0*256 + w1*64 + w2*16 + w3*4 + w4, with the cells taken relative to the
// stone's colour (own 1, other -1), lies in -341..341 whenever the window is on the board; any
// OffBoard cell pushes it out of that range.
constexpr int kCodeBias = 341;
constexpr int kCodeCount = 2 * kCodeBias + 1;

constexpr Shape ShapeOfOwnMask(int mask) {
  // Bit 4 - i of the mask is cell w_i, so the mask reads like the shape written w0..w4.
  switch (mask) {
    case 0b11111:
      return FiveShape;
    case 0b11110:
      return FourEmptyRight;
    case 0b01111:
      return FourEmptyLeft;
    case 0b11101:
      return FourHoleThird;
    case 0b11011:
      return FourHoleMiddle;
    case 0b10111:
      return FourHoleFirst;
    case 0b01110:
      return ThreeMiddle;
    case 0b11010:
    case 0b10110:
      return ThreeSplitLeft;
    case 0b01101:
    case 0b01011:
      return ThreeSplitRight;
    case 0b11100:
      return ThreeLeft;
    case 0b00111:
      return ThreeRight;
    case 0b11001:
    case 0b10101:
    case 0b10011:
      return ThreeWide;
    case 0b01100:
    case 0b01010:
    case 0b00110:
      return TwoMiddle;
    case 0b10010:
      return TwoGapLeft;
    case 0b11000:
    case 0b10100:
      return TwoLeft;
    case 0b01001:
    case 0b00101:
    case 0b00011:
      return TwoRight;
    case 0b10001:
      return TwoWide;
    default:
      return NoShape;
  }
}

// Window code -> shape, for windows of own stones and empty cells only.
constexpr std::array<Shape, kCodeCount> BuildShapeTable() {
  std::array<Shape, kCodeCount> table{};
  for (int mask = 0; mask < 32; ++mask) {
    int code = 0;
    for (int i = 0; i < 5; ++i) code = code * 4 + ((mask >> (4 - i)) & 1);
    table[code + kCodeBias] = ShapeOfOwnMask(mask);
  }
  return table;
}

constexpr std::array<Shape, kCodeCount> kShapeTable = BuildShapeTable();

// The cells around one window: b(k) is k cells before w0, a(k) k cells after w4, and at is the
// stone's offset in the window. Indices are into the Line array, guards included.
struct Window {
  const Line& line;
  int s;
  int at;
  int x;

  bool Own(int i) const { return line[i] == x; }
  bool Empty(int i) const { return line[i] == 0; }
  bool Blocked(int i) const { return line[i] != x && line[i] != 0; }
  int B(int k) const { return s - k; }
  int A(int k) const { return s + 4 + k; }

  // Black rule: a side with an own stone just beyond its gap would turn five into six.
  bool OpenAfter() const { return Empty(A(1)) && !Own(A(2)); }
  bool OpenBefore() const { return Empty(B(1)) && !Own(B(2)); }
  bool ClosedAfter() const { return Blocked(A(1)) || (Empty(A(1)) && Own(A(2))); }
  bool ClosedBefore() const { return Blocked(B(1)) || (Empty(B(1)) && Own(B(2))); }
  bool OwnBeside() const { return Own(B(1)) || Own(A(1)); }

  // The count-2 rows: a second four that shares the stone runs on past an empty a1. The s limits
  // keep every read inside the array.
  bool SecondFourAfterHoleThird() const {
    return at == 4 && s <= 8 && Empty(A(1)) && Own(A(2)) && Own(A(3)) && Own(A(4));
  }
  bool SecondFourAfterHoleMiddle() const {
    return at >= 3 && s <= 9 && Empty(A(1)) && Own(A(2)) && Own(A(3));
  }
  bool SecondFourAfterHoleFirst() const { return at >= 2 && s <= 10 && Empty(A(1)) && Own(A(2)); }
};

PatternValue PlainRule(Shape shape, const Window& w) {
  switch (shape) {
    case FiveShape:
      return kFive;
    case FourEmptyRight:
      if (w.Empty(w.B(1))) return kOpenFour;
      return w.Blocked(w.B(1)) ? kFour : 0;
    case FourEmptyLeft:
      return w.Blocked(w.A(1)) ? kFour : 0;
    case FourHoleThird:
      return w.SecondFourAfterHoleThird() ? kDoubleFour : kFour;
    case FourHoleMiddle:
      return w.SecondFourAfterHoleMiddle() ? kDoubleFour : kFour;
    case FourHoleFirst:
      return w.SecondFourAfterHoleFirst() ? kDoubleFour : kFour;
    case ThreeMiddle:
      if (w.Empty(w.A(1)) || w.Empty(w.B(1))) return kOpenThree;
      return w.Blocked(w.A(1)) && w.Blocked(w.B(1)) ? kClosedThree : 0;
    case ThreeSplitLeft:
      if (w.Empty(w.B(1))) return kOpenThree;
      return w.Blocked(w.B(1)) ? kClosedThree : 0;
    case ThreeSplitRight:
      return w.Blocked(w.A(1)) ? kClosedThree : 0;
    case ThreeLeft:
      return w.Blocked(w.B(1)) ? kClosedThree : 0;
    case ThreeRight:
      return w.Blocked(w.A(1)) ? kClosedThree : 0;
    case ThreeWide:
      return kClosedThree;
    case TwoMiddle:
      if (w.Empty(w.A(1)) || w.Empty(w.B(1))) return kOpenTwo;
      return w.Blocked(w.A(1)) && w.Blocked(w.B(1)) ? kClosedTwo : 0;
    case TwoGapLeft:
      if (w.Empty(w.B(1))) return kOpenTwo;
      return w.Blocked(w.B(1)) ? kClosedTwo : 0;
    case TwoLeft:
      return w.Blocked(w.B(1)) ? kClosedTwo : 0;
    case TwoRight:
      return w.Blocked(w.A(1)) ? kClosedTwo : 0;
    case TwoWide:
      return kClosedTwo;
    case NoShape:
      break;
  }
  return 0;
}

PatternValue BlackRule(Shape shape, const Window& w) {
  switch (shape) {
    case FiveShape:
      return w.OwnBeside() ? kOverline : kFive;
    case FourEmptyRight:
      if (w.OwnBeside()) return 0;
      if (w.OpenBefore()) return kOpenFour;
      return w.ClosedBefore() ? kFour : 0;
    case FourEmptyLeft:
      if (w.Own(w.B(1))) return 0;
      if (w.Blocked(w.A(1))) return kFour;
      return w.Empty(w.A(1)) && w.Own(w.A(2)) ? kFour : 0;
    case FourHoleThird:
      if (w.OwnBeside()) return 0;
      return w.SecondFourAfterHoleThird() && !w.Own(w.A(5)) ? kDoubleFour : kFour;
    case FourHoleMiddle:
      if (w.OwnBeside()) return 0;
      return w.SecondFourAfterHoleMiddle() && !w.Own(w.A(4)) ? kDoubleFour : kFour;
    case FourHoleFirst:
      if (w.OwnBeside()) return 0;
      return w.SecondFourAfterHoleFirst() && !w.Own(w.A(3)) ? kDoubleFour : kFour;
    case ThreeMiddle:
      if (w.OpenAfter() || w.OpenBefore()) return kOpenThree;
      return w.OwnBeside() ? 0 : kClosedThree;
    case ThreeSplitLeft:
      if (w.Own(w.A(1))) return 0;
      if (w.OpenBefore()) return kOpenThree;
      return w.ClosedBefore() ? kClosedThree : 0;
    case ThreeSplitRight:
      return w.ClosedAfter() && !w.Own(w.B(1)) ? kClosedThree : 0;
    case ThreeLeft:
      if (w.Own(w.A(1))) return 0;
      if (w.Blocked(w.B(1))) return kClosedThree;
      return w.s >= 3 && w.Empty(w.B(1)) && w.Own(w.B(2)) && w.Own(w.B(3)) ? kClosedThree : 0;
    case ThreeRight:
      if (w.Own(w.B(1))) return 0;
      if (w.Blocked(w.A(1))) return kClosedThree;
      return w.s <= 11 && w.Empty(w.A(1)) && w.Own(w.A(2)) && w.Own(w.A(3)) ? kClosedThree : 0;
    case ThreeWide:
      return w.OwnBeside() ? 0 : kClosedThree;
    case TwoMiddle:
      if (w.OpenAfter() || w.OpenBefore()) return kOpenTwo;
      return w.OwnBeside() ? 0 : kClosedTwo;
    case TwoGapLeft:
      if (w.OwnBeside()) return 0;
      if (w.OpenBefore()) return kOpenTwo;
      return w.ClosedBefore() ? kClosedTwo : 0;
    case TwoLeft:
      return w.ClosedBefore() && !w.Own(w.A(1)) ? kClosedTwo : 0;
    case TwoRight:
      return w.ClosedAfter() && !w.Own(w.B(1)) ? kClosedTwo : 0;
    case TwoWide:
      return w.OwnBeside() ? 0 : kClosedTwo;
    case NoShape:
      break;
  }
  return 0;
}

}  // namespace

PatternValue ClassifyLinePoint(const Line& line, int position, bool forbiddenRulesOn) {
  const int p = position + 2;
  const int x = line[p];
  if (x != Black && x != White) return 0;
  const bool blackRule = forbiddenRulesOn && x == Black;

  const int first = std::max(p - 4, 2);
  const int last = std::min(p, 12);
  int code = 0;
  for (int i = first; i < first + 5; ++i) code = code * 4 + line[i];
  PatternValue best = 0;
  for (int s = first; s <= last; ++s) {
    // Slide the window: drop w0, append the next cell.
    if (s > first) code = (code - line[s - 1] * 256) * 4 + line[s + 4];
    const unsigned index = static_cast<unsigned>(x * code + kCodeBias);
    if (index >= static_cast<unsigned>(kCodeCount)) continue;  // an OffBoard cell
    const Shape shape = kShapeTable[index];
    if (shape == NoShape) continue;
    const Window window{line, s, p - s, x};
    best = std::max(best, blackRule ? BlackRule(shape, window) : PlainRule(shape, window));
  }
  return best;
}

}  // namespace tesmor
