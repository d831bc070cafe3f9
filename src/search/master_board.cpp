#include "search/master_board.h"

#include <algorithm>
#include <bit>
#include <cstring>
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

// The rows of the 5 x 5 square around a point are read as eight bytes at once, five of them
// neighbour counts (at most 25: no carry from one to the next) or cells.
static_assert(std::endian::native == std::endian::little);
constexpr uint64_t RowOfFive = 0x0101010101;
constexpr uint64_t LowBits = 0x7F7F7F7F7F7F7F7F;

// The top bit of each zero byte among the five low ones.
uint64_t ZeroBytesOfFive(uint64_t bytes) {
  bytes |= ~(RowOfFive * 0xFF);
  return ~(((bytes & LowBits) + LowBits) | bytes | LowBits);
}

// Bits 7, 15, 23, 31 and 39 moved to 0..4: the multiplier's terms shift each to 28 + its byte,
// and no two products meet.
uint64_t GatherFive(uint64_t tops) {
  constexpr uint64_t Multiplier = (1ull << 28) | (1ull << 21) | (1ull << 14) | (1ull << 7) | 1;
  return (tops >> 7) * Multiplier >> 28 & 31;
}

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
    for (int dir = 0; dir < 4; ++dir)
      codes_[static_cast<size_t>(index * 4 + dir)] = LineCodes(index, dir);
  }
  combined_.resize(2 * ComboCount);
  for (int side = 0; side < 2; ++side) {
    for (int combo = 0; combo < ComboCount; ++combo) {
      std::array<LinePattern, 4> patterns;
      for (int dir = 0, rest = combo; dir < 4; ++dir, rest /= LinePatternCount)
        patterns[static_cast<size_t>(dir)] = static_cast<LinePattern>(rest % LinePatternCount);
      uint8_t threats = 0;
      const int value = PointValue(side, patterns, threats);
      combined_[static_cast<size_t>(side * ComboCount + combo)] = MakeData(value, threats);
    }
  }
  for (int index = 0; index < Size; ++index) combo_[Slot(1, index)] = ComboCount;
  // Each move changes its own point and at most forty points on its lines, for both colours.
  int empty = 0;
  for (int point = 0; point < CellCount; ++point) empty += cells_[Index(point)] == 0;
  changes_.resize(static_cast<size_t>(empty) * 82);
  totalsStack_.resize(static_cast<size_t>(empty) + 1);
  totals_ = totalsStack_.data();
  Pending pending;
  for (int point = 0; point < CellCount; ++point) {
    const int index = Index(point);
    Refresh(index, pending);
    if (cells_[index] == 0 && near_[index] > 0) SetCandidate(index, true);
  }
  totals_->valueSum = pending.sum;
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
  const int colour = game_.SideToMove();
  cells_[index] = colour == Black ? 1 : 2;
  game_.Play(RowOf(index), ColOf(index));
  CopyTotals(totals_[1], totals_[0]);
  ++totals_;
  moveChanges_[static_cast<size_t>(played_++)] = changeCount_;
  NearStone(index);
  Pending pending;
  pending.next = changes_.data() + changeCount_;
  for (int side = 0; side < 2; ++side) {
    const int slot = Slot(side, index);
    *pending.next++ = ChangeRecord(slot, combo_[slot]);
    combo_[slot] = static_cast<uint16_t>(side * ComboCount);
    SetPointData(side, index, {}, pending);
  }
  PlayLines(index, colour, pending);
  totals_->valueSum[0] += pending.sum[0];
  totals_->valueSum[1] += pending.sum[1];
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
  for (int dr = -2; dr <= 2; ++dr) {
    uint64_t near;
    std::memcpy(&near, near_.data() + index + dr * Width - 2, 8);
    near -= RowOfFive;
    std::memcpy(near_.data() + index + dr * Width - 2, &near, 8);
  }
  UndoLines(index, colour);
  const int first = moveChanges_[static_cast<size_t>(--played_)];
  for (int i = changeCount_ - 1; i >= first; --i) {
    const uint32_t change = changes_[static_cast<size_t>(i)];
    const auto slot = static_cast<size_t>(change & 0xFFFF);
    combo_[slot] = static_cast<uint16_t>(change >> 16);
    data_[slot] = combined_[change >> 16];
  }
  changeCount_ = first;
  --totals_;
}

// A stone's neighbour counts, by the rows of the 5 x 5 square around it: an empty point with none
// before becomes a candidate.
void MasterBoard::NearStone(int index) {
  for (int dr = -2; dr <= 2; ++dr) {
    const int start = index + dr * Width - 2;
    uint64_t near, cells;
    std::memcpy(&near, near_.data() + start, 8);
    std::memcpy(&cells, cells_.data() + start, 8);
    const uint64_t fresh = GatherFive(ZeroBytesOfFive(near | cells));
    near += RowOfFive;
    std::memcpy(near_.data() + start, &near, 8);
    // The five bits lie within the eight bytes from the one that holds the first.
    auto* bytes = reinterpret_cast<unsigned char*>(totals_->candidates.data()) + start / 8;
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    word |= fresh << (start % 8);
    std::memcpy(bytes, &word, 8);
  }
  SetCandidate(index, false);
}

// A stone of colour put on index changes one digit of the codes of the points within five along
// each line through it, and the patterns of the empty ones among them. The walk goes on past the
// board's edge: the padding is five wide, and the codes kept there are never read.
void MasterBoard::PlayLines(int index, int colour, Pending& result) {
  const uint32_t* deltas = kCodeDelta[colour == Black ? 0 : 1].data();
  // A local copy, which no store to the board can change, stays in registers.
  Pending pending = result;
  // The stone lies on the minus side of the points after it and the plus side of those before.
  PlayHalfLine<0>(index, Step[0], deltas, pending);
  PlayHalfLine<0>(index, -Step[0], deltas + 5, pending);
  PlayHalfLine<1>(index, Step[1], deltas, pending);
  PlayHalfLine<1>(index, -Step[1], deltas + 5, pending);
  PlayHalfLine<2>(index, Step[2], deltas, pending);
  PlayHalfLine<2>(index, -Step[2], deltas + 5, pending);
  PlayHalfLine<3>(index, Step[3], deltas, pending);
  PlayHalfLine<3>(index, -Step[3], deltas + 5, pending);
  result = pending;
}

// The points at distance 1 to 5 from index one way along a line. An empty point's pattern of
// each colour before and after comes from its code before and after.
template <int Dir>
void MasterBoard::PlayHalfLine(int index, int step, const uint32_t* deltas, Pending& pending) {
  for (int k = 0, q = index + step; k < 5; ++k, q += step) {
    uint32_t& codes = codes_[static_cast<size_t>(q * 4 + Dir)];
    const uint32_t before = codes;
    const uint32_t after = before + deltas[k];
    codes = after;
    if (cells_[static_cast<size_t>(q)] != 0) continue;
    const int black = blackTable_[BlackCode(after)] - blackTable_[BlackCode(before)];
    if (black != 0) ChangeCombo<0>(q, black * ComboDigit[Dir], pending);
    const int white = whiteTable_[WhiteCode(after)] - whiteTable_[WhiteCode(before)];
    if (white != 0) ChangeCombo<1>(q, white * ComboDigit[Dir], pending);
  }
}

// The codes of a stone taken back; the patterns come back from the changes recorded. Unrolled,
// the forty subtractions take the ten digits from registers.
void MasterBoard::UndoLines(int index, int colour) {
  const auto& deltas = kCodeDelta[colour == Black ? 0 : 1];
  uint32_t* codes = codes_.data() + index * 4;
#pragma GCC unroll 5
  for (int k = 1; k <= 5; ++k)
#pragma GCC unroll 4
    for (int dir = 0; dir < 4; ++dir) {
      const int offset = k * Step[static_cast<size_t>(dir)] * 4;
      codes[offset + dir] -= deltas[static_cast<size_t>(k - 1)];
      codes[dir - offset] -= deltas[static_cast<size_t>(k + 4)];
    }
}

template <int Side>
void MasterBoard::ChangeCombo(int index, int digits, Pending& pending) {
  const int slot = Slot(Side, index);
  const int combo = combo_[static_cast<size_t>(slot)];
  *pending.next++ = ChangeRecord(slot, combo);
  combo_[static_cast<size_t>(slot)] = static_cast<uint16_t>(combo + digits);
  SetPointData(Side, index, combined_[static_cast<size_t>(combo + digits)], pending);
}

// Recomputes the patterns, value and threats of one point for both colours.
void MasterBoard::Refresh(int index, Pending& pending) {
  if (cells_[index] != 0) {
    if (cells_[index] != 3)
      SetPointData(0, index, {}, pending), SetPointData(1, index, {}, pending);
    return;
  }
  std::array<std::array<LinePattern, 4>, 2> patterns;
  for (int dir = 0; dir < 4; ++dir) {
    const uint32_t codes = codes_[static_cast<size_t>(index * 4 + dir)];
    patterns[0][dir] = blackTable_[BlackCode(codes)];
    patterns[1][dir] = whiteTable_[WhiteCode(codes)];
  }
  for (int side = 0; side < 2; ++side) {
    const int combo = side * ComboCount + ComboIndex(patterns[side]);
    combo_[Slot(side, index)] = static_cast<uint16_t>(combo);
    SetPointData(side, index, combined_[static_cast<size_t>(combo)], pending);
  }
}

int MasterBoard::PointValue(int side, const std::array<LinePattern, 4>& patterns,
                            uint8_t& threats) const {
  int sum = 0, fours = 0, openThrees = 0, openTwos = 0, overlines = 0;
  threats = 0;
  for (const LinePattern pattern : patterns) {
    sum += patternValue_[pattern];
    if (pattern == FiveLine) threats |= MakesFive;
    if (pattern == OpenFourLine) threats |= MakesOpenFour;
    if (pattern == FourLine || pattern == OpenFourLine) threats |= MakesFour, ++fours;
    if (pattern == OpenThreeLine) threats |= MakesOpenThree, ++openThrees;
    openTwos += pattern == OpenTwoLine;
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
  // Points that prepare a double threat for the move after.
  if (openThrees == 1 && openTwos >= 1) sum += weights_.threeTwo;
  if (openTwos >= 2) sum += weights_.doubleTwo;
  return sum;
}

void MasterBoard::SetPointData(int side, int index, PointData data, Pending& pending) {
  PointData& slot = data_[static_cast<size_t>(Slot(side, index))];
  const PointData old = slot;
  pending.sum[side] += DataValue(data) - DataValue(old);
  slot = data;
  if (DataThreats(old) != DataThreats(data))
    ChangeThreats(side, index, DataThreats(old), DataThreats(data));
}

// Usually one bit changes, sometimes none (only the forbidden mark).
void MasterBoard::ChangeThreats(int side, int index, uint8_t old, uint8_t threats) {
  static_assert(BitNumber(MakesFive) == 0 && BitNumber(MakesOpenFour) == 1 &&
                BitNumber(MakesFour) == 2 && BitNumber(MakesOpenThree) == 3);
  const auto point = static_cast<unsigned>(index);
  const uint64_t bit = uint64_t{1} << (point % 64);
  auto& counts = totals_->counts[static_cast<size_t>(side)];
  auto& sets = totals_->sets[static_cast<size_t>(side)];
  for (unsigned changed = (old ^ threats) & 15u; changed != 0; changed &= changed - 1) {
    const auto number = static_cast<unsigned>(std::countr_zero(changed));
    counts[number] += static_cast<int>(threats >> number & 1) * 2 - 1;
    sets[number][point / 64] ^= bit;
  }
}

// The rule reads the stones alone, and the search asks about the same point of the same stones
// again in each iteration: the verdicts are kept by the stones' key and the point, the verdict in
// the entry's lowest bit.
bool MasterBoard::JudgeForbidden(int index) {
  const uint64_t key =
      game_.StonesKey() ^ (static_cast<uint64_t>(index) + 1) * 0x9E3779B97F4A7C15ull;
  uint64_t& entry = verdicts_[static_cast<size_t>(key >> 32) % verdicts_.size()];
  if ((entry | 1) == (key | 1)) return (entry & 1) != 0;
  const bool forbidden = ForbiddenKindAt(game_, RowOf(index), ColOf(index)) != None;
  entry = (key & ~uint64_t{1}) | static_cast<uint64_t>(forbidden);
  return forbidden;
}

int MasterBoard::Evaluate() const {
  const int own = Side(game_.SideToMove());
  const int64_t score = totals_->valueSum[own] -
                        totals_->valueSum[1 - own] * weights_.defenceNum / weights_.defenceDen +
                        weights_.tempo;
  return static_cast<int>(std::clamp<int64_t>(score / 4, -20000, 20000));
}

}  // namespace tesmor
