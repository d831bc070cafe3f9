#include "search/master_board.h"

#include <algorithm>
#include <vector>

#include "board/forbidden.h"

namespace tesmor {

namespace {

constexpr int CodeCount = 59049;  // 3^10 neighbour codes
constexpr int CellEmpty = 0;
constexpr int CellOwn = 1;

using LineCells = std::array<int, 11>;  // the centre at 5, always an own stone

LineCells CellsOf(int code) {
  LineCells a{};
  for (int k = 1; k <= 5; ++k) {
    a[5 - k] = code % 3;
    code /= 3;
  }
  for (int k = 1; k <= 5; ++k) {
    a[5 + k] = code % 3;
    code /= 3;
  }
  a[5] = CellOwn;
  return a;
}

int CodeOf(const LineCells& a) {
  int code = 0;
  for (int k = 5; k >= 1; --k) code = code * 3 + a[5 + k];
  for (int k = 5; k >= 1; --k) code = code * 3 + a[5 - k];
  return code;
}

// The length of the run of own stones through the centre.
int RunThroughCentre(const LineCells& a) {
  int left = 0, right = 0;
  while (5 - left - 1 >= 0 && a[5 - left - 1] == CellOwn) ++left;
  while (5 + right + 1 <= 10 && a[5 + right + 1] == CellOwn) ++right;
  return 1 + left + right;
}

// Builds the pattern of every neighbour code by placing one more own stone at a time: a line
// with two points that complete a five is an open four, one such point a four, and below that a
// line is one step weaker than the best line one stone can make of it.
class PatternTable {
 public:
  explicit PatternTable(bool exact) : exact_(exact), memo_(CodeCount, 0xFF) {}
  LinePattern Get(int code) {
    if (memo_[code] == 0xFF) memo_[code] = Classify(code);
    return static_cast<LinePattern>(memo_[code]);
  }

 private:
  bool IsFive(const LineCells& a) const {
    const int run = RunThroughCentre(a);
    return exact_ ? run == 5 : run >= 5;
  }

  uint8_t Classify(int code) {
    LineCells a = CellsOf(code);
    const int run = RunThroughCentre(a);
    if (IsFive(a)) return FiveLine;
    if (exact_ && run > 5) return OverlineLine;
    int fivePoints = 0;
    for (int e = 0; e <= 10; ++e) {
      if (a[e] != CellEmpty) continue;
      a[e] = CellOwn;
      fivePoints += IsFive(a);
      a[e] = CellEmpty;
    }
    if (fivePoints >= 2) return OpenFourLine;
    if (fivePoints == 1) return FourLine;
    int best = DeadLine;
    for (int e = 0; e <= 10; ++e) {
      if (a[e] != CellEmpty) continue;
      a[e] = CellOwn;
      const int next = Get(CodeOf(a));
      a[e] = CellEmpty;
      if (next != OverlineLine) best = std::max(best, next);
    }
    if (best == DeadLine) return DeadLine;
    // One stone fewer: open four -> open three, four -> three, and so on down to a one.
    return static_cast<uint8_t>(std::max<int>(best - 2, OneLine));
  }

  bool exact_;
  std::vector<uint8_t> memo_;
};

struct PatternTables {
  std::array<std::vector<LinePattern>, 2> table;  // [0] five or more, [1] exactly five
  PatternTables() {
    for (int exact = 0; exact < 2; ++exact) {
      PatternTable builder(exact == 1);
      table[exact].resize(CodeCount);
      for (int code = 0; code < CodeCount; ++code) table[exact][code] = builder.Get(code);
    }
  }
};

const PatternTables& Tables() {
  static const PatternTables tables;
  return tables;
}

// Neighbour code digits by cell content, seen by Black and by White.
constexpr std::array<std::array<int, 4>, 2> kDigit = {{{0, 1, 2, 2}, {0, 2, 1, 2}}};

// What a stone of each colour adds to a point's packed codes (Black's low, White's high) at
// distance 1..5 on its minus side (digits 0..4) and on its plus side (digits 5..9).
constexpr std::array<std::array<uint32_t, 10>, 2> kCodeDelta = [] {
  std::array<std::array<uint32_t, 10>, 2> deltas{};
  for (int colour = 0; colour < 2; ++colour)
    for (uint32_t digit = 0, power = 1; digit < 10; ++digit, power *= 3)
      deltas[static_cast<size_t>(colour)][digit] =
          kDigit[0][static_cast<size_t>(colour + 1)] * power |
          (kDigit[1][static_cast<size_t>(colour + 1)] * power) << 16;
  return deltas;
}();

}  // namespace

LinePattern ClassifyLine(int code, bool exactFive) {
  return Tables().table[exactFive ? 1 : 0][code];
}

MasterBoard::MasterBoard(const GameState& game, const MasterWeights& weights)
    : weights_(weights), game_(game) {
  patternValue_ = {0,
                   weights.one,
                   weights.openOne,
                   weights.two,
                   weights.openTwo,
                   weights.three,
                   weights.openThree,
                   weights.four,
                   weights.openFour,
                   0,
                   0};
  blackTable_ = Tables().table[game.forbiddenRulesOn ? 1 : 0].data();
  whiteTable_ = Tables().table[0].data();
  cells_.fill(3);
  for (int point = 0; point < CellCount; ++point) {
    const int stone = game.cell(PointRow(point), PointCol(point));
    cells_[Index(point)] = stone == Black ? 1 : stone == White ? 2 : 0;
  }
  for (int point = 0; point < CellCount; ++point) {
    const int index = Index(point);
    if (cells_[index] == 1 || cells_[index] == 2)
      for (int dr = -2; dr <= 2; ++dr)
        for (int dc = -2; dc <= 2; ++dc) ++near_[index + dr * Width + dc];
    for (int dir = 0; dir < 4; ++dir) codes_[index][dir] = LineCodes(index, dir);
  }
  for (int side = 0; side < 2; ++side) {
    combined_[side].resize(ComboCount);
    for (int combo = 0; combo < ComboCount; ++combo) {
      std::array<LinePattern, 4> patterns;
      for (int dir = 0, rest = combo; dir < 4; ++dir, rest /= LinePatternCount)
        patterns[static_cast<size_t>(dir)] = static_cast<LinePattern>(rest % LinePatternCount);
      uint8_t threats = 0;
      const int value = PointValue(side, patterns, threats);
      combined_[side][static_cast<size_t>(combo)] = MakeData(value, threats);
    }
  }
  // Each move changes its own point and at most forty points on its lines, for both colours.
  int empty = 0;
  for (int point = 0; point < CellCount; ++point) empty += cells_[Index(point)] == 0;
  changes_.resize(static_cast<size_t>(empty) * 82);
  moveTotals_.resize(static_cast<size_t>(empty));
  Pending pending;
  for (int point = 0; point < CellCount; ++point) {
    const int index = Index(point);
    Refresh(index, pending);
    if (cells_[index] == 0 && near_[index] > 0) SetCandidate(index, true);
  }
  totals_.valueSum = pending.sum;
}

// The codes of a point's line read from the cells.
uint32_t MasterBoard::LineCodes(int index, int dir) const {
  const int step = Step[static_cast<size_t>(dir)];
  int codeBlack = 0, codeWhite = 0;
  for (int k = 5; k >= 1; --k) {
    const int cell = cells_[index + k * step];
    codeBlack = codeBlack * 3 + kDigit[0][cell];
    codeWhite = codeWhite * 3 + kDigit[1][cell];
  }
  for (int k = 5; k >= 1; --k) {
    const int cell = cells_[index - k * step];
    codeBlack = codeBlack * 3 + kDigit[0][cell];
    codeWhite = codeWhite * 3 + kDigit[1][cell];
  }
  return static_cast<uint32_t>(codeBlack) | static_cast<uint32_t>(codeWhite) << 16;
}

void MasterBoard::Play(int index) {
  const int point = PointOf(index);
  const int colour = game_.SideToMove();
  cells_[index] = colour == Black ? 1 : 2;
  game_.Play(PointRow(point), PointCol(point));
  CopyTotals(moveTotals_[static_cast<size_t>(played_)], totals_);
  moveChanges_[static_cast<size_t>(played_++)] = changeCount_;
  for (int dr = -2; dr <= 2; ++dr)
    for (int dc = -2; dc <= 2; ++dc) {
      const int q = index + dr * Width + dc;
      if (near_[q]++ == 0 && cells_[q] == 0) SetCandidate(q, true);
    }
  Pending pending;
  pending.next = changes_.data() + changeCount_;
  for (int side = 0; side < 2; ++side) {
    *pending.next++ = ChangeRecord(data_[side][index], index, side * 8 + 4, DeadLine);
    SetPointData(side, index, {}, pending);
  }
  SetCandidate(index, false);
  PlayLines(index, colour, pending);
  totals_.valueSum[0] += pending.sum[0];
  totals_.valueSum[1] += pending.sum[1];
  changeCount_ = static_cast<int>(pending.next - changes_.data());
}

// Takes back the newest move, which must have been played on this board: the codes lose the
// stone's digit again, and the patterns and point data it changed get their old values back.
void MasterBoard::Undo() {
  const MoveRecord last = game_.history[static_cast<size_t>(game_.moveCount - 1)];
  const int index = Index(PointIndex(last.row, last.col));
  const int colour = cells_[index] == 1 ? Black : White;
  game_.Undo();
  cells_[index] = 0;
  // The candidates come back with the totals.
  for (int dr = -2; dr <= 2; ++dr)
    for (int dc = -2; dc <= 2; ++dc) --near_[index + dr * Width + dc];
  UndoLines(index, colour);
  const int first = moveChanges_[static_cast<size_t>(--played_)];
  for (int i = changeCount_ - 1; i >= first; --i) {
    const uint64_t change = changes_[static_cast<size_t>(i)];
    const int point = static_cast<uint16_t>(change >> 32);
    const int side = change >> 51 & 1, dir = change >> 48 & 7;
    if (dir < 4) patterns_[side][point][dir] = static_cast<LinePattern>(change >> 56);
    data_[side][point] = static_cast<PointData>(static_cast<uint32_t>(change));
  }
  changeCount_ = first;
  CopyTotals(totals_, moveTotals_[static_cast<size_t>(played_)]);
}

// A stone of colour put on index changes one digit of the codes of the points within five along
// each line through it, and the patterns of the empty ones among them.
void MasterBoard::PlayLines(int index, int colour, Pending& pending) {
  const auto& deltas = kCodeDelta[colour == Black ? 0 : 1];
  for (int dir = 0; dir < 4; ++dir) {
    const int step = Step[static_cast<size_t>(dir)];
    // The stone lies on the minus side of the points after it and the plus side of those before.
    PlayHalfLine(index, dir, step, deltas.data(), pending);
    PlayHalfLine(index, dir, -step, deltas.data() + 5, pending);
  }
}

// The points at distance 1 to 5 from index one way along a line, up to the board's edge: beyond
// it all cells are off the board.
void MasterBoard::PlayHalfLine(int index, int dir, int step, const uint32_t* deltas,
                               Pending& pending) {
  int q = index;
  for (int k = 0; k < 5; ++k) {
    q += step;
    const int cell = cells_[q];
    if (cell == 3) return;
    codes_[q][dir] += deltas[k];
    if (cell == 0) RefreshLine(q, dir, pending);
  }
}

// The codes of a stone taken back; the patterns come back from the changes recorded.
void MasterBoard::UndoLines(int index, int colour) {
  const auto& deltas = kCodeDelta[colour == Black ? 0 : 1];
  for (int dir = 0; dir < 4; ++dir) {
    const int step = Step[static_cast<size_t>(dir)];
    for (int k = 0, q = index + step; k < 5 && cells_[q] != 3; ++k, q += step)
      codes_[q][dir] -= deltas[static_cast<size_t>(k)];
    for (int k = 0, q = index - step; k < 5 && cells_[q] != 3; ++k, q -= step)
      codes_[q][dir] -= deltas[static_cast<size_t>(k + 5)];
  }
}

void MasterBoard::RefreshLine(int index, int dir, Pending& pending) {
  const uint32_t codes = codes_[index][dir];
  const LinePattern black = blackTable_[BlackCode(codes)];
  const LinePattern white = whiteTable_[WhiteCode(codes)];
  if (black != patterns_[0][index][dir]) ChangePattern(0, index, dir, black, pending);
  if (white != patterns_[1][index][dir]) ChangePattern(1, index, dir, white, pending);
}

void MasterBoard::ChangePattern(int side, int index, int dir, LinePattern pattern,
                                Pending& pending) {
  LinePattern& slot = patterns_[side][index][dir];
  *pending.next++ = ChangeRecord(data_[side][index], index, side * 8 + dir, slot);
  slot = pattern;
  SetPointData(side, index, combined_[side][ComboIndex(patterns_[side][index])], pending);
}

// Recomputes the patterns, value and threats of one point for both colours.
void MasterBoard::Refresh(int index, Pending& pending) {
  if (cells_[index] != 0) {
    if (cells_[index] != 3)
      SetPointData(0, index, {}, pending), SetPointData(1, index, {}, pending);
    return;
  }
  for (int dir = 0; dir < 4; ++dir) {
    patterns_[0][index][dir] = blackTable_[BlackCode(codes_[index][dir])];
    patterns_[1][index][dir] = whiteTable_[WhiteCode(codes_[index][dir])];
  }
  for (int side = 0; side < 2; ++side)
    SetPointData(side, index, combined_[side][ComboIndex(patterns_[side][index])], pending);
}

int MasterBoard::PointValue(int side, const std::array<LinePattern, 4>& patterns,
                            uint8_t& threats) const {
  int sum = 0, fours = 0, openThrees = 0, overlines = 0;
  threats = 0;
  for (const LinePattern pattern : patterns) {
    sum += patternValue_[pattern];
    if (pattern == FiveLine) threats |= MakesFive;
    if (pattern == OpenFourLine) threats |= MakesOpenFour;
    if (pattern == FourLine || pattern == OpenFourLine) threats |= MakesFour, ++fours;
    if (pattern == OpenThreeLine) threats |= MakesOpenThree, ++openThrees;
    overlines += pattern == OverlineLine;
  }
  if (threats & MakesFive) return 10 * weights_.openFour;
  const bool blackRenju = side == 0 && Renju();
  if (blackRenju && (overlines > 0 || fours >= 2 || openThrees >= 2 || (threats & MakesOpenFour))) {
    threats |= MaybeForbidden;
    return fours >= 2 || openThrees >= 2 || overlines > 0 ? sum / 2 : sum;
  }
  if (fours >= 2) sum += weights_.doubleFour;
  if (fours >= 1 && openThrees >= 1) sum += weights_.fourThree;
  if (openThrees >= 2) sum += weights_.doubleThree;
  return sum;
}

void MasterBoard::SetPointData(int side, int index, PointData data, Pending& pending) {
  const PointData old = data_[side][index];
  pending.sum[side] += DataValue(data) - DataValue(old);
  data_[side][index] = data;
  if (DataThreats(old) != DataThreats(data))
    ChangeThreats(side, index, DataThreats(old), DataThreats(data));
}

// Without a branch per bit: whether a bit changes is as hard to foretell as which.
void MasterBoard::ChangeThreats(int side, int index, uint8_t old, uint8_t threats) {
  static_assert(BitNumber(MakesFive) == 0 && BitNumber(MakesOpenFour) == 1 &&
                BitNumber(MakesFour) == 2 && BitNumber(MakesOpenThree) == 3);
  const auto word = static_cast<size_t>(index / 64);
  for (int number = 0; number < 4; ++number) {
    const int delta = (threats >> number & 1) - (old >> number & 1);
    totals_.counts[side][number] += delta;
    totals_.sets[side][number][word] ^= static_cast<uint64_t>(delta != 0) << (index % 64);
  }
}

bool MasterBoard::JudgeForbidden(int index) {
  const int point = PointOf(index);
  return ForbiddenKindAt(game_, PointRow(point), PointCol(point)) != None;
}

int MasterBoard::Evaluate() const {
  const int own = Side(game_.SideToMove());
  const int64_t score = totals_.valueSum[own] -
                        totals_.valueSum[1 - own] * weights_.defenceNum / weights_.defenceDen +
                        weights_.tempo;
  return static_cast<int>(std::clamp<int64_t>(score / 4, -20000, 20000));
}

}  // namespace tesmor
