#include "board/forbidden.h"

#include <algorithm>

#include "board/renju_rule.h"

namespace tesmor {

namespace {

// The cell at line position p; the guards make p = -2..16 readable.
inline int At(const Line& line, int p) {
  return line[p + 2];
}

inline int WindowSum(const Line& line, int w, int length) {
  int sum = 0;
  for (int k = 0; k < length; ++k) sum += At(line, w + k);
  return sum;
}

inline int HoleOffset(const Line& line, int w, int length) {
  for (int e = 0; e < length; ++e)
    if (At(line, w + e) == Empty) return e;
  return -1;
}

inline LinePoints OnePoint(int p) {
  return 16 + p;
}
inline LinePoints TwoPoints(int a, int b) {
  return 256 + 16 * a + b;
}

// The colour of the stone at pos, or 0 when the position holds no stone.
inline int StoneAt(const Line& line, int pos) {
  const int c = At(line, pos);
  return c == Black || c == White ? c : 0;
}

// Result of the first deciding five-window with a hole: how many fours pass through pos on this
// line, and the points that complete them.
struct FourScan {
  int count = 0;
  LinePoints points = 0;
};

FourScan ScanFours(const Line& line, int pos, bool forbiddenRulesOn) {
  const int c = StoneAt(line, pos);
  if (c == 0) return {};
  const bool blackRule = forbiddenRulesOn && c == Black;
  auto holds = [&](int p) { return At(line, p) == c; };
  auto notBlack = [&](int p) { return !blackRule || At(line, p) != Black; };
  auto empty = [&](int p) { return At(line, p) == Empty; };

  for (int w = std::max(pos - 4, 0); w <= std::min(pos, 10); ++w) {
    if (WindowSum(line, w, 5) != 4 * c) continue;
    // Filling the hole of a window with a Black neighbour would make six or more.
    if (blackRule && (At(line, w - 1) == Black || At(line, w + 5) == Black)) continue;
    const int e = HoleOffset(line, w, 5);
    switch (e) {
      case 0:
        if (empty(w + 5) && notBlack(w + 6))
          return {1, blackRule ? TwoPoints(w + 5, w) : TwoPoints(w, w + 5)};
        return {1, OnePoint(w)};
      case 4:
        if (empty(w - 1) && notBlack(w - 2)) return {1, TwoPoints(w - 1, w + 4)};
        return {1, OnePoint(w + 4)};
      default: {
        // c.ccc.c, cc.cc.cc and ccc.c.ccc: a second four shares the stones right of the hole.
        const int hole = w + e;
        const int stonesBeyond = e;  // stones needed after w + 5
        bool second = w <= 9 - e && empty(w + 5);
        for (int k = 0; second && k < stonesBeyond; ++k) second = holds(w + 6 + k);
        second = second && notBlack(w + 6 + stonesBeyond);
        if (second && pos > hole) return {2, TwoPoints(hole, w + 5)};
        return {1, OnePoint(hole)};
      }
    }
  }
  return {};
}

// How the renju rule reads the game record and puts its probe stones.
struct RecordAccess {
  using Board = GameState;
  static int Cell(const GameState& state, int row, int col) { return state.cell(row, col); }
  static Line LineThrough(const GameState& state, int direction, int row, int col) {
    return ExtractLine(state.cells, direction, LineNumber(direction, row, col));
  }
  static bool RulesOn(const GameState& state) { return state.forbiddenRulesOn != 0; }
  static void PlaceProbe(GameState& state, int row, int col) { state.PlaceProbeStone(row, col); }
  static void RemoveProbe(GameState& state, int row, int col) { state.RemoveProbeStone(row, col); }
};

using RecordRule = RenjuRule<RecordAccess>;

}  // namespace

int IsOverlineInLine(const Line& line, int pos, bool forbiddenRulesOn) {
  if (!forbiddenRulesOn || StoneAt(line, pos) != Black) return 0;
  for (int w = std::max(pos - 5, 0); w <= std::min(pos, 9); ++w)
    if (WindowSum(line, w, 6) == 6) return 1;
  return 0;
}

int IsStraightFourInLine(const Line& line, int pos, bool forbiddenRulesOn) {
  const int c = StoneAt(line, pos);
  if (c == 0) return 0;
  const bool blackRule = forbiddenRulesOn && c == Black;
  for (int w = std::max(pos - 3, 0); w <= std::min(pos, 11); ++w) {
    if (WindowSum(line, w, 4) != 4 * c) continue;
    if (At(line, w - 1) != Empty || At(line, w + 4) != Empty) continue;
    if (blackRule && (At(line, w - 2) == Black || At(line, w + 5) == Black)) continue;
    return 1;
  }
  return 0;
}

int CountFoursInLine(const Line& line, int pos, bool forbiddenRulesOn) {
  return ScanFours(line, pos, forbiddenRulesOn).count;
}

LinePoints FourPointsInLine(const Line& line, int pos, bool forbiddenRulesOn) {
  return ScanFours(line, pos, forbiddenRulesOn).points;
}

LinePoints ThreePointsInLine(const Line& line, int pos, bool forbiddenRulesOn) {
  const int c = StoneAt(line, pos);
  if (c == 0) return 0;
  const bool blackRule = forbiddenRulesOn && c == Black;
  auto notBlack = [&](int p) { return !blackRule || At(line, p) != Black; };
  auto empty = [&](int p) { return At(line, p) == Empty; };

  for (int w = std::max(pos - 3, 0); w <= std::min(pos, 11); ++w) {
    if (WindowSum(line, w, 4) != 3 * c) continue;
    const int e = HoleOffset(line, w, 4);
    if (e == 1 || e == 2) {
      if (empty(w - 1) && empty(w + 4) && notBlack(w - 2) && notBlack(w + 5))
        return OnePoint(w + e);
    } else if (e == 3) {
      if (!empty(w - 1) || At(line, w - 2) == c || At(line, w + 4) == c) continue;
      // Short-circuit order matters: w - 3 is only read once w - 2 is known to be on the line.
      const bool left = empty(w - 2) && notBlack(w - 3);
      const bool right = empty(w + 4) && notBlack(w + 5);
      if (left && right) return TwoPoints(w - 1, w + 3);
      if (left) return OnePoint(w - 1);
      if (right) return OnePoint(w + 3);
    }
  }
  return 0;
}

int IsOverlineAt(const GameState& state, int row, int col) {
  return RecordRule::IsOverline(state, row, col) ? 1 : 0;
}

int MakesFiveAt(GameState& state, int row, int col) {
  return RecordRule::MakesFive(state, row, col) ? 1 : 0;
}

int CountFoursAt(const GameState& state, int row, int col) {
  return RecordRule::CountFours(state, row, col);
}

int CountRealThreesAt(GameState& state, int row, int col) {
  return RecordRule::CountRealThrees(state, row, col);
}

ForbiddenKind ForbiddenKindAt(GameState& state, int row, int col) {
  return RecordRule::Judge(state, row, col);
}

bool NoPointOpenToBlack(GameState& state) {
  if (!state.forbiddenRulesOn || state.SideToMove() != Black) return false;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      if (state.cell(row, col) == Empty && ForbiddenKindAt(state, row, col) == None) return false;
  return true;
}

const char* ForbiddenKindName(ForbiddenKind kind) {
  switch (kind) {
    case ThreeThree:
      return "three-three";
    case FourFour:
      return "four-four";
    case Overline:
      return "overline";
    default:
      return "none";
  }
}

}  // namespace tesmor
