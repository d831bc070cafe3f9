#include "eval/evaluation.h"

#include <algorithm>
#include <bit>

#include "eval/stone_tracker.h"

namespace tesmor {

namespace {

constexpr int Slot(int colour) {
  return colour == Black ? 0 : 1;
}

// ClassifyLinePoint reads no cell more than five points from the stone it judges, so a change
// further away alters neither a stone's tally nor a point's direction value.
constexpr int kPatternReach = 5;

Line LineThrough(const StoneTracker::Cells& cells, int direction, int row, int col) {
  return ExtractLine(cells, direction, LineNumber(direction, row, col));
}

constexpr int kLineNumbers = 29;

// Where each point's neighbourhood along each direction lies: the word and the shift.
struct LineSpot {
  uint8_t word;
  uint8_t shift;
};
constexpr std::array<std::array<LineSpot, 4>, CellCount> MakeLineSpots() {
  std::array<std::array<LineSpot, 4>, CellCount> spots{};
  for (int cell = 0; cell < CellCount; ++cell) {
    const int row = cell / BoardSize;
    const int col = cell % BoardSize;
    for (int d = 0; d < 4; ++d)
      spots[cell][d] = {static_cast<uint8_t>(d * kLineNumbers + LineNumber(d, row, col)),
                        static_cast<uint8_t>(2 * LinePosition(d, row, col))};
  }
  return spots;
}
constexpr std::array<std::array<LineSpot, 4>, CellCount> kLineSpots = MakeLineSpots();

// Every line of the board as two bits per cell (empty 0, Black 1, White 2, off the board 3),
// position q of the line at bits 2 * (q + kPatternReach), with kPatternReach cells off the board
// padded at each end. Eleven cells around any point of a line are then one shift and mask away.
struct LineCodes {
  std::array<uint64_t, 4 * kLineNumbers> words;

  static constexpr uint64_t CellCode(int cell) {
    return cell == Empty ? 0u : cell == Black ? 1u : cell == White ? 2u : 3u;
  }
  constexpr void Set(int cell, int value) {
    for (const LineSpot spot : kLineSpots[cell]) {
      uint64_t& word = words[spot.word];
      const int shift = spot.shift + 2 * kPatternReach;
      word = (word & ~(uint64_t{3} << shift)) | CellCode(value) << shift;
    }
  }
};

// The cells within kPatternReach of a point along its line, without the point itself: with the
// stone's colour and the rule setting they fix what ClassifyLinePoint answers. The point's two
// bits lie at 2 * kPatternReach + shift in the line's word.
constexpr uint32_t NeighbourhoodIn(uint64_t word, int shift) {
  const auto cells = static_cast<uint32_t>(word >> shift);
  constexpr int kSide = 2 * kPatternReach;
  return (cells & ((1u << kSide) - 1)) | ((cells >> (kSide + 2)) & ((1u << kSide) - 1)) << kSide;
}

constexpr LineCodes EmptyLineCodes() {
  LineCodes codes{};
  codes.words.fill(~uint64_t{0});
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col) codes.Set(CellIndex(row, col), Empty);
  return codes;
}
constexpr LineCodes kEmptyLineCodes = EmptyLineCodes();

// A direction value in one byte: the pattern's level * 4 + count + 1, never 0.
using PatternCode = uint8_t;

constexpr PatternCode CodeOf(PatternValue value) {
  return static_cast<PatternCode>(static_cast<int>(PatternLevelOf(value)) * 4 +
                                  PatternCountOf(value) + 1);
}

// What ClassifyLinePoint answers for a stone depends on the cells within kPatternReach on each
// side only as far as the first one in the stone's way (a stone of the other colour or the
// board's edge): every window that holds such a cell is passed over, and the cells beyond a
// window are read outwards only while they are empty or the stone's own. So a side comes down
// to its open cells, nearest first, up to that point: 2^n - 1 + the own-stone bits of its n
// open cells, one of 63 numbers.
constexpr int kSideStates = 63;

// The side number of five cells of a neighbourhood (two bits each, nearest in the high bits for
// the side before the point, in the low bits for the side after it) for a stone of code `own`.
constexpr uint8_t SideState(uint32_t cells, uint32_t own, bool nearestHigh) {
  int open = 0;
  int ownBits = 0;
  for (; open < kPatternReach; ++open) {
    const uint32_t cell = (cells >> (2 * (nearestHigh ? kPatternReach - 1 - open : open))) & 3u;
    if (cell != 0 && cell != own) break;
    if (cell == own) ownBits |= 1 << open;
  }
  return static_cast<uint8_t>((1 << open) - 1 + ownBits);
}

// Side numbers by the ten bits of a side, for a Black stone ([0]) and a White one ([1]).
struct SideTables {
  std::array<std::array<uint8_t, 1024>, 2> before;
  std::array<std::array<uint8_t, 1024>, 2> after;
};
constexpr SideTables MakeSideTables() {
  SideTables tables{};
  for (uint32_t cells = 0; cells < 1024; ++cells) {
    for (int slot = 0; slot < 2; ++slot) {
      const uint32_t own = LineCodes::CellCode(slot == 0 ? Black : White);
      tables.before[slot][cells] = SideState(cells, own, true);
      tables.after[slot][cells] = SideState(cells, own, false);
    }
  }
  return tables;
}
constexpr SideTables kSideTables = MakeSideTables();

// ClassifyLinePoint's answers by the two side numbers (before * 63 + after), for a White stone,
// a Black one and a Black one under the rule: computed once, on first use, for every shape a
// line can take around a stone.
using SideAnswers = std::array<std::array<PatternCode, kSideStates * kSideStates>, 3>;

// The cells of one side, by its number, into the line from the stone outwards (step -1 or 1);
// the cell after the open ones, and all beyond, hold the other colour.
void FillSide(Line& line, int stoneIndex, int step, int state, int colour) {
  int open = 0;
  while ((2 << open) - 1 <= state) ++open;
  const int ownBits = state - ((1 << open) - 1);
  for (int k = 0; k < kPatternReach; ++k)
    line[stoneIndex + step * (k + 1)] = k >= open ? -colour : (ownBits >> k & 1) ? colour : Empty;
}

const SideAnswers& PatternAnswers() {
  static const SideAnswers answers = [] {
    SideAnswers table{};
    constexpr int kPosition = 7;  // a point with kPatternReach board cells on either side
    constexpr int kStone = kPosition + 2;
    for (int slot = 0; slot < 3; ++slot) {
      const int colour = slot == 0 ? White : Black;
      for (int before = 0; before < kSideStates; ++before) {
        for (int after = 0; after < kSideStates; ++after) {
          Line line;
          line.fill(-colour);
          line[kStone] = colour;
          FillSide(line, kStone, -1, before, colour);
          FillSide(line, kStone, 1, after, colour);
          table[slot][before * kSideStates + after] =
              CodeOf(ClassifyLinePoint(line, kPosition, slot == 2));
        }
      }
    }
    return table;
  }();
  return answers;
}

// The value of a colour's stone on a point whose cells around it along a direction are
// `neighbours` (LineCodes::Neighbourhood), under the rule setting.
class PatternMemo {
 public:
  PatternMemo() : answers_(&PatternAnswers()) {}

  PatternCode Classify(bool rules, int colour, uint32_t neighbours) const {
    const int side = colour == White ? 1 : 0;
    const int slot = colour == White ? 0 : rules ? 2 : 1;
    const int before = kSideTables.before[side][neighbours & 1023u];
    const int after = kSideTables.after[side][neighbours >> 10];
    return (*answers_)[slot][before * kSideStates + after];
  }

 private:
  const SideAnswers* answers_;
};

// A tally's eight counts as 16-bit lanes of two words, in PatternTally's field order, so that
// adding or taking away a stone's tally is two additions. A colour's sums stay far below 65536.
struct PackedTally {
  uint64_t low = 0;   // fives, openFours, fours, openThrees
  uint64_t high = 0;  // closedThrees, openTwos, closedTwos, overlines

  PackedTally& operator+=(const PackedTally& other) {
    low += other.low;
    high += other.high;
    return *this;
  }
  PackedTally& operator-=(const PackedTally& other) {
    low -= other.low;
    high -= other.high;
    return *this;
  }
  bool operator==(const PackedTally&) const = default;

  constexpr PatternTally Unpacked() const {
    auto lane = [](uint64_t word, int i) constexpr {
      return static_cast<int32_t>((word >> 16 * i) & 0xFFFF);
    };
    return {lane(low, 0),  lane(low, 1),  lane(low, 2),  lane(low, 3),
            lane(high, 0), lane(high, 1), lane(high, 2), lane(high, 3)};
  }
};

// The tally of one direction value, by its code.
constexpr std::array<PackedTally, 64> MakeCodeTallies() {
  std::array<PackedTally, 64> tallies{};
  constexpr std::array<PatternLevel, 8> kFieldLevels = {
      PatternLevel::Five,      PatternLevel::OpenFour,    PatternLevel::Four,
      PatternLevel::OpenThree, PatternLevel::ClosedThree, PatternLevel::OpenTwo,
      PatternLevel::ClosedTwo, PatternLevel::Overline};
  for (int field = 0; field < 8; ++field) {
    for (int count = 1; count <= 2; ++count) {
      PackedTally& tally = tallies[CodeOf(MakePatternValue(kFieldLevels[field], count))];
      (field < 4 ? tally.low : tally.high) = static_cast<uint64_t>(count) << 16 * (field % 4);
    }
  }
  return tallies;
}
constexpr std::array<PackedTally, 64> kCodeTallies = MakeCodeTallies();

// The four direction codes of a stone or point, direction d in byte d: one word, which a loop over
// the changed directions keeps in a register.
using DirectionCodes = uint32_t;

constexpr PatternCode CodeAt(DirectionCodes codes, int direction) {
  return static_cast<PatternCode>(codes >> 8 * direction);
}

// Pattern counts of a position for one side, from the summed stone tallies.
struct PatternCounts {
  int fives;
  int openFours;
  int fours;
  int openThrees;
  int closedThrees;
  int openTwos;
  int closedTwos;
  int doubleFour;
  int doubleThree;
  int fourThree;
};

PatternCounts CountPatterns(const PatternTally& totals) {
  PatternCounts counts{};
  counts.fives = totals.fives / 5;
  counts.openFours = totals.openFours / 4;
  counts.fours = totals.fours / 4;
  counts.openThrees = totals.openThrees / 3;
  counts.closedThrees = totals.closedThrees / 3;
  counts.openTwos = totals.openTwos / 2;
  counts.closedTwos = totals.closedTwos / 2;
  counts.doubleFour = counts.fours >= 2 ? 1 : 0;
  counts.doubleThree = counts.openThrees >= 2 ? 1 : 0;
  counts.fourThree = counts.fours >= 1 && counts.openThrees >= 1 ? 1 : 0;
  return counts;
}

// 7 * (own patterns) - 5 * (the opponent's threats), written out per count.
int WeighPatterns(const PatternCounts& c, bool own) {
  if (own)
    return 700000 * c.fives + 42000 * c.openFours + 84 * c.fours + 28000 * c.doubleFour +
           21000 * c.fourThree + 700 * c.doubleThree + 70 * c.openThrees + 28 * c.closedThrees +
           21 * c.openTwos + 7 * c.closedTwos;
  return -250000 * (c.fives + c.openFours + c.fours + c.doubleFour + c.fourThree) -
         7500 * c.doubleThree - 2500 * c.openThrees - 35 * c.closedThrees - 30 * c.openTwos -
         5 * c.closedTwos;
}

// ScoreStoneTotals on the packed sums, where it can be inlined.
int ScoreTotals(const PackedTally& own, const PackedTally& opponent) {
  return WeighPatterns(CountPatterns(own.Unpacked()), true) +
         WeighPatterns(CountPatterns(opponent.Unpacked()), false);
}

// What a point's value reads of a tally: the parts of Attack and Defence that add up over the
// directions, and the counts that their other terms test, a byte each (fives, fours with open
// fours, open threes, overlines). Summed over a point's four directions from one table entry per
// direction, instead of adding and weighing the eight counts of the whole tally.
struct PointTerms {
  int32_t attack = 0;
  int32_t defence = 0;
  uint32_t counts = 0;

  constexpr PointTerms& operator+=(const PointTerms& other) {
    attack += other.attack;
    defence += other.defence;
    counts += other.counts;
    return *this;
  }
  constexpr int Fives() const { return static_cast<int>(counts & 0xFF); }
  constexpr int Fours() const { return static_cast<int>(counts >> 8 & 0xFF); }
  constexpr int OpenThrees() const { return static_cast<int>(counts >> 16 & 0xFF); }
  constexpr int Overlines() const { return static_cast<int>(counts >> 24); }
};

constexpr PointTerms TermsOf(const PatternTally& t) {
  const int fours = t.fours + t.openFours;
  return {1000000 * t.fives + 6000 * t.openFours + 12 * fours + 10 * t.openThrees +
              6 * t.closedThrees + 5 * t.openTwos + t.closedTwos,
          50000 * t.fives + 3000 * t.openFours + 8 * fours + 7 * t.openThrees + 3 * t.closedThrees +
              2 * t.openTwos,
          static_cast<uint32_t>(t.fives | fours << 8 | t.openThrees << 16 | t.overlines << 24)};
}

int Attack(const PointTerms& t, int colour, bool forbiddenRulesOn) {
  const int fours = t.Fours();
  const int openThrees = t.OpenThrees();
  // The evaluation's own quick guess at a forbidden point; the exact test is ForbiddenKindAt.
  if (colour == Black && forbiddenRulesOn && t.Fives() == 0 &&
      (openThrees >= 2 || fours >= 2 || t.Overlines() >= 1))
    return -100000;
  return t.attack + (fours >= 2 ? 4000 : 0) + (fours >= 1 && openThrees >= 1 ? 3000 : 0) +
         (openThrees >= 2 ? 100 : 0);
}

int Defence(const PointTerms& t) {
  const int fours = t.Fours();
  const int openThrees = t.OpenThrees();
  return t.defence + (fours >= 2 ? 2000 : 0) + (fours >= 1 && openThrees >= 1 ? 1500 : 0) +
         (openThrees >= 2 ? 15 : 0);
}

// The terms of one direction value, by its code.
constexpr std::array<PointTerms, 64> MakeCodeTerms() {
  std::array<PointTerms, 64> terms{};
  for (size_t code = 0; code < terms.size(); ++code)
    terms[code] = TermsOf(kCodeTallies[code].Unpacked());
  return terms;
}
constexpr std::array<PointTerms, 64> kCodeTerms = MakeCodeTerms();

PointTerms TermsOfCodes(DirectionCodes codes) {
  PointTerms terms = kCodeTerms[CodeAt(codes, 0)];
  for (int d = 1; d < 4; ++d) terms += kCodeTerms[CodeAt(codes, d)];
  return terms;
}

using DirectionValues = std::array<PatternValue, 4>;

// PointValue for both colours from the terms of a Black and of a White stone on the point:
// each colour's attack plus the defence against the other.
struct PointValues {
  int black;
  int white;
};
PointValues ValuesOf(const PointTerms& black, const PointTerms& white, bool forbiddenRulesOn) {
  return {8 * Attack(black, Black, forbiddenRulesOn) + 5 * Defence(white),
          8 * Attack(white, White, forbiddenRulesOn) + 5 * Defence(black)};
}

// A point's direction codes for a White stone (byte d for direction d) and for a Black one
// (byte 4 + d): one word, which is also the value memo's key.
using PointCodes = uint64_t;

// The same in place, a byte store each.
inline void SetCodes(PointCodes& codes, int direction, uint8_t black, uint8_t white) {
  static_assert(std::endian::native == std::endian::little);
  auto* bytes = reinterpret_cast<uint8_t*>(&codes);
  bytes[direction] = white;
  bytes[direction + 4] = black;
}

constexpr PointCodes WithCodes(PointCodes codes, int direction, uint64_t black, uint64_t white) {
  const int shift = 8 * direction;
  return (codes & ~(uint64_t{0xFF} << shift | uint64_t{0xFF} << (shift + 32))) | white << shift |
         black << (shift + 32);
}

// The point values of a Black and a White stone's direction codes as last worked out: a search
// revalues the same points in the same few shapes again and again. Direct-mapped by a hash of
// the codes; no code is 0, nor uses its byte's top bit, which tells the rule setting.
class ValueMemo {
 public:
  PointValues Values(PointCodes codes, bool rules) {
    const uint64_t key = codes | (rules ? uint64_t{1} << 63 : 0);
    Entry& entry = entries_[(key * 0x9E3779B97F4A7C15ull) >> (64 - kBits)];
    if (entry.key != key) {
      entry.key = key;
      entry.values = ValuesOf(TermsOfCodes(static_cast<DirectionCodes>(codes >> 32)),
                              TermsOfCodes(static_cast<DirectionCodes>(codes)), rules);
    }
    return entry.values;
  }

 private:
  static constexpr int kBits = 12;
  struct Entry {
    uint64_t key = 0;
    PointValues values{};
  };
  std::array<Entry, 1 << kBits> entries_{};
};

// A set of lines, by their word's index.
using LineMask = std::array<uint64_t, 2>;
constexpr LineMask kAllLines = {~uint64_t{0}, (uint64_t{1} << (4 * kLineNumbers - 64)) - 1};

void AddLinesThrough(LineMask& lines, int cell) {
  for (const LineSpot spot : kLineSpots[cell])
    lines[spot.word >> 6] |= uint64_t{1} << (spot.word & 63);
}

// Calls visit(line) for every line of the set.
template <typename Visit>
void ForEachLine(const LineMask& lines, Visit visit) {
  for (int half = 0; half < 2; ++half)
    for (uint64_t bits = lines[half]; bits != 0; bits &= bits - 1)
      visit(half * 64 + std::countr_zero(bits));
}

// A memo of what a line's cells make, direct-mapped by its word: most lines take few shapes over
// a search. Count(word, rules) works an entry out.
template <typename Value, Value (*Count)(uint64_t, bool, const PatternMemo&), int kBits>
class LineMemo {
 public:
  const Value& Get(uint64_t word, bool rules, const PatternMemo& patterns) {
    // The top bit of a word lies off the board, always set: the rule setting flips it.
    const uint64_t key = rules ? word ^ uint64_t { 1 } << 63 : word;
    Entry& entry = entries_[(key * 0x9E3779B97F4A7C15ull) >> (64 - kBits)];
    if (entry.key != key) {
      entry.key = key;
      entry.value = Count(word, rules, patterns);
    }
    return entry.value;
  }

 private:
  struct Entry {
    uint64_t key = 0;  // no line's word is 0
    Value value{};
  };
  std::array<Entry, 1 << kBits> entries_{};
};

// EvaluatePosition's side. A colour's summed stone tallies add up, line by line, what the
// stones of each line form along it; that share depends on the line's cells alone, so a changed
// stone recounts its four lines only.
using LineShare = std::array<PackedTally, 2>;  // by Slot

LineShare CountShare(uint64_t word, bool rules, const PatternMemo& patterns) {
  LineShare share{};
  for (int q = 0; q < BoardSize; ++q) {
    const uint32_t cell = (word >> 2 * (q + kPatternReach)) & 3u;
    if (cell == 0 || cell == 3) continue;
    const int colour = cell == 1 ? Black : White;
    share[cell - 1] += kCodeTallies[patterns.Classify(rules, colour, NeighbourhoodIn(word, 2 * q))];
  }
  return share;
}

// Each of the two incremental sides keeps what it last saw: the stones, their line codes and the
// rule setting (none at first, so that the first call works out every line).
struct StoneTables {
  StoneTracker stones;
  LineCodes lines = kEmptyLineCodes;
  int rules = -1;
  std::array<LineShare, 4 * kLineNumbers> shares{};
  LineShare totals{};
  LineMemo<LineShare, CountShare, 14> memo;
};

// RefreshCandidates' side. The direction code of a Black and of a White stone on each empty
// point of a line, a byte by position (0 on a stone and past the line's end), also depends on
// the line's cells alone: a changed line hands its points the codes that changed.
struct LinePoints {
  std::array<uint64_t, 2> black{};
  std::array<uint64_t, 2> white{};
};

LinePoints CountPoints(uint64_t word, bool rules, const PatternMemo& patterns) {
  LinePoints points;
  for (int q = 0; q < BoardSize; ++q) {
    if (((word >> 2 * (q + kPatternReach)) & 3u) != 0) continue;
    const uint32_t around = NeighbourhoodIn(word, 2 * q);
    const int shift = 8 * (q & 7);
    points.black[q >> 3] |= uint64_t{patterns.Classify(rules, Black, around)} << shift;
    points.white[q >> 3] |= uint64_t{patterns.Classify(rules, White, around)} << shift;
  }
  return points;
}

// Bit q set where byte q of a differs from byte q of b, for the eight bytes of a word.
constexpr unsigned DifferingBytes(uint64_t a, uint64_t b) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t x = a ^ b;
  const uint64_t high = (((x & kLow7) + kLow7) | x) & ~kLow7;
  return static_cast<unsigned>(((high >> 7) * 0x0102040810204080ull) >> 56);
}

// The cell at each position of each line (word index), 255 past the line's end.
constexpr std::array<std::array<uint8_t, 16>, 4 * kLineNumbers> MakeLineCells() {
  std::array<std::array<uint8_t, 16>, 4 * kLineNumbers> cells{};
  for (auto& line : cells) line.fill(255);
  for (int cell = 0; cell < CellCount; ++cell)
    for (const LineSpot spot : kLineSpots[cell])
      cells[spot.word][spot.shift / 2] = static_cast<uint8_t>(cell);
  return cells;
}
constexpr std::array<std::array<uint8_t, 16>, 4 * kLineNumbers> kLineCells = MakeLineCells();

// The points whose codes changed, each once. A point is listed when its stamp is the list's:
// emptying the list takes a new stamp.
struct PointList {
  std::array<uint32_t, CellCount> stamps{};
  uint32_t stamp = 1;
  std::array<uint8_t, CellCount> list;
  int count = 0;

  // Lists p; false when it was listed already.
  bool Add(int p) {
    if (stamps[p] == stamp) return false;
    stamps[p] = stamp;
    list[count++] = static_cast<uint8_t>(p);
    return true;
  }
  void Clear() {
    count = 0;
    if (++stamp != 0) return;
    stamps.fill(0);
    stamp = 1;
  }
};

// A stack of the old values that each move changed, so that taking the move back restores them
// instead of recomputing its surroundings: the search asks about positions that differ from the
// last one by one move played, or by moves taken back and one played.
struct PointSaved {
  PointCodes codes;
  int32_t blackValue;
  int32_t whiteValue;
  int32_t point;
};
struct UndoStack {
  // One move changes at most its own point and the points its eight rays reach.
  std::array<PointSaved, CellCount*(8 * kPatternReach + 1)> saved;
  std::array<int32_t, CellCount> savedFrom{};  // by move: its first entry
  int loggedFrom = 0;                          // the moves from this one on have their entries
  int top = 0;

  void Forget(int moves) {
    loggedFrom = moves;
    top = 0;
  }
  // The next entry, to be filled field by field: an entry built aside and copied whole is read
  // back in one wide load right after its narrow stores, which stalls the processor.
  PointSaved& Push() { return saved[top++]; }
};

struct CandidateTables {
  StoneTracker stones;
  LineCodes lines = kEmptyLineCodes;
  int rules = -1;
  // The word each line's points last took their codes from, and the lines to recode.
  std::array<uint64_t, 4 * kLineNumbers> recoded = kEmptyLineCodes.words;
  LineMask stale{};
  std::array<PointCodes, CellCount> codes{};
  std::array<std::array<int32_t, CellCount>, 2> values{};
  PointList changed;
  UndoStack undo;
  LineMemo<LinePoints, CountPoints, 14> memo;
};

}  // namespace

PatternTally& PatternTally::operator+=(const PatternTally& other) {
  fives += other.fives;
  openFours += other.openFours;
  fours += other.fours;
  openThrees += other.openThrees;
  closedThrees += other.closedThrees;
  openTwos += other.openTwos;
  closedTwos += other.closedTwos;
  overlines += other.overlines;
  return *this;
}

PatternTally& PatternTally::operator-=(const PatternTally& other) {
  fives -= other.fives;
  openFours -= other.openFours;
  fours -= other.fours;
  openThrees -= other.openThrees;
  closedThrees -= other.closedThrees;
  openTwos -= other.openTwos;
  closedTwos -= other.closedTwos;
  overlines -= other.overlines;
  return *this;
}

PatternTally TallyPatterns(const std::array<PatternValue, 4>& values) {
  // Every level counts 1 per direction except Four, whose count says how many fours; so adding
  // the counts by level gives every field at once.
  std::array<int32_t, static_cast<int>(PatternLevel::Overline) + 1> byLevel{};
  for (const PatternValue value : values)
    byLevel[static_cast<int>(PatternLevelOf(value))] += PatternCountOf(value);
  auto at = [&](PatternLevel level) { return byLevel[static_cast<int>(level)]; };
  PatternTally tally;
  tally.fives = at(PatternLevel::Five);
  tally.openFours = at(PatternLevel::OpenFour);
  tally.fours = at(PatternLevel::Four);
  tally.openThrees = at(PatternLevel::OpenThree);
  tally.closedThrees = at(PatternLevel::ClosedThree);
  tally.openTwos = at(PatternLevel::OpenTwo);
  tally.closedTwos = at(PatternLevel::ClosedTwo);
  tally.overlines = at(PatternLevel::Overline);
  return tally;
}

int ScoreStoneTotals(const PatternTally& ownTotals, const PatternTally& opponentTotals) {
  return WeighPatterns(CountPatterns(ownTotals), true) +
         WeighPatterns(CountPatterns(opponentTotals), false);
}

struct EvalContext::Tables {
  StoneTables stones;
  CandidateTables candidates;
  PatternMemo patterns;
  ValueMemo values;
};

EvalContext::EvalContext() : tables_(new Tables) {}
EvalContext::~EvalContext() = default;
EvalContext::EvalContext(EvalContext&&) noexcept = default;
EvalContext& EvalContext::operator=(EvalContext&&) noexcept = default;

int EvalContext::Candidate(int colour, int cellIndex) const {
  return tables_->candidates.values[Slot(colour)][cellIndex];
}

const std::array<int32_t, CellCount>& EvalContext::Candidates(int colour) const {
  return tables_->candidates.values[Slot(colour)];
}

namespace {

// The shares of the changed lines into the totals.
void Recount(StoneTables& s, const LineMask& changed, const PatternMemo& patterns) {
  ForEachLine(changed, [&](int line) {
    LineShare& share = s.shares[line];
    const LineShare& now = s.memo.Get(s.lines.words[line], s.rules != 0, patterns);
    for (int slot = 0; slot < 2; ++slot) {
      s.totals[slot] -= share[slot];
      s.totals[slot] += now[slot];
    }
    share = now;
  });
}

}  // namespace

// The tables keep the position before the last move: the search asks about the positions after
// each reply of one position in turn, which then cost the last move's four lines only, looked at
// and left.
int EvaluatePosition(EvalContext& context, const GameState& state, int side) {
  EvalContext::Tables& t = *context.tables_;
  StoneTables& s = t.stones;
  LineMask changed{};
  if (state.forbiddenRulesOn != s.rules) {
    s.rules = state.forbiddenRulesOn;
    changed = kAllLines;
  }
  auto follow = [&](int p, int) {
    s.lines.Set(p, s.stones.cells()[p]);
    AddLinesThrough(changed, p);
  };
  if (state.moveCount == 0) {
    s.stones.Follow(state, follow);
    Recount(s, changed, t.patterns);
    return ScoreTotals(s.totals[Slot(side)], s.totals[Slot(-side)]);
  }
  s.stones.FollowBeforeLast(state, follow);
  Recount(s, changed, t.patterns);
  LineShare totals = s.totals;
  const int last = StoneTracker::LastCell(state);
  const uint64_t code = LineCodes::CellCode(state.cells[last]);
  for (const LineSpot spot : kLineSpots[last]) {
    const uint64_t word = s.lines.words[spot.word] | code << (spot.shift + 2 * kPatternReach);
    const LineShare& now = s.memo.Get(word, s.rules != 0, t.patterns);
    for (int slot = 0; slot < 2; ++slot) {
      totals[slot] += now[slot];
      totals[slot] -= s.shares[spot.word][slot];
    }
  }
  // The side to move's sums against the opponent's give the value.
  return ScoreTotals(totals[Slot(side)], totals[Slot(-side)]);
}

int PointValue(const GameState& state, int row, int col, int colour) {
  DirectionValues black;
  DirectionValues white;
  for (int d = 0; d < 4; ++d) {
    // The stone goes into the extracted line only, so the record is never touched.
    Line line = LineThrough(state.cells, d, row, col);
    const int pos = LinePosition(d, row, col);
    line[pos + 2] = Black;
    black[d] = ClassifyLinePoint(line, pos, state.forbiddenRulesOn);
    line[pos + 2] = White;
    white[d] = ClassifyLinePoint(line, pos, state.forbiddenRulesOn);
  }
  const PointValues values = ValuesOf(TermsOf(TallyPatterns(black)), TermsOf(TallyPatterns(white)),
                                      state.forbiddenRulesOn);
  return colour == Black ? values.black : values.white;
}

namespace {

void SavePoint(CandidateTables& c, int p) {
  PointSaved& entry = c.undo.Push();
  entry.codes = c.codes[p];
  entry.blackValue = c.values[Slot(Black)][p];
  entry.whiteValue = c.values[Slot(White)][p];
  entry.point = p;
}

// Takes the codes that changed on a line since its points last took theirs, and lists the
// points; with `saving`, a point's old codes and values are saved when it is first listed.
void RecodeLine(CandidateTables& c, const PatternMemo& patterns, int line, bool saving) {
  const bool rules = c.rules != 0;
  const uint64_t word = c.lines.words[line];
  // A copy: the second look-up may take the first one's entry.
  const LinePoints had = c.memo.Get(c.recoded[line], rules, patterns);
  const LinePoints& now = c.memo.Get(word, rules, patterns);
  c.recoded[line] = word;
  const int direction = line / kLineNumbers;
  for (int half = 0; half < 2; ++half) {
    unsigned moved = DifferingBytes(had.black[half], now.black[half]) |
                     DifferingBytes(had.white[half], now.white[half]);
    for (; moved != 0; moved &= moved - 1) {
      const int q = std::countr_zero(moved);
      const int p = kLineCells[line][half * 8 + q];
      if (c.changed.Add(p) && saving) SavePoint(c, p);
      SetCodes(c.codes[p], direction, static_cast<uint8_t>(now.black[half] >> 8 * q),
               static_cast<uint8_t>(now.white[half] >> 8 * q));
    }
  }
}

// Revalues the listed points, an occupied one to Occupied, and empties the list.
void RevalueListed(CandidateTables& c, ValueMemo& valueMemo) {
  const StoneTracker::Cells& cells = c.stones.cells();
  const bool rules = c.rules != 0;
  for (int i = 0; i < c.changed.count; ++i) {
    const int p = c.changed.list[i];
    PointValues values{EvalContext::Occupied, EvalContext::Occupied};
    if (cells[p] == Empty) values = valueMemo.Values(c.codes[p], rules);
    c.values[Slot(Black)][p] = values.black;
    c.values[Slot(White)][p] = values.white;
  }
  c.changed.Clear();
}

// Every point's codes and values afresh, as after a change of rules: a point's value can change
// with its codes the same.
void RecodeAll(CandidateTables& c, const PatternMemo& patterns, ValueMemo& valueMemo) {
  for (int line = 0; line < 4 * kLineNumbers; ++line) {
    const uint64_t word = c.lines.words[line];
    const LinePoints& now = c.memo.Get(word, c.rules != 0, patterns);
    c.recoded[line] = word;
    for (int q = 0; q < 16; ++q) {
      const int p = kLineCells[line][q];
      if (p == 255) continue;
      c.codes[p] =
          WithCodes(c.codes[p], line / kLineNumbers, (now.black[q >> 3] >> 8 * (q & 7)) & 0xFF,
                    (now.white[q >> 3] >> 8 * (q & 7)) & 0xFF);
    }
  }
  for (int p = 0; p < CellCount; ++p) c.changed.Add(p);
  RevalueListed(c, valueMemo);
  c.stale = {};
}

void RecodeStale(CandidateTables& c, const PatternMemo& patterns, ValueMemo& valueMemo) {
  if ((c.stale[0] | c.stale[1]) == 0) return;
  ForEachLine(c.stale, [&](int line) { RecodeLine(c, patterns, line, false); });
  c.stale = {};
  RevalueListed(c, valueMemo);
}

}  // namespace

// Brings the candidate side up to the record. A move taken back restores what playing it saved,
// where the stack holds that, and leaves its lines to recode otherwise; a move played recodes
// its lines at once, saving the old values. Stones set outside the moves leave their lines to
// recode.
void RefreshCandidates(EvalContext& context, const GameState& state) {
  EvalContext::Tables& t = *context.tables_;
  CandidateTables& c = t.candidates;
  auto stale = [&](int p) {
    c.lines.Set(p, c.stones.cells()[p]);
    AddLinesThrough(c.stale, p);
  };
  if (state.forbiddenRulesOn != c.rules) {
    c.rules = state.forbiddenRulesOn;
    c.stones.Follow(state, [&](int p, int) { stale(p); });
    c.undo.Forget(state.moveCount);
    return RecodeAll(c, t.patterns, t.values);
  }
  c.stones.TakeBack(state, [&](int i, int p, int) {
    if (i < c.undo.loggedFrom) {
      stale(p);
      return c.undo.Forget(i);
    }
    c.lines.Set(p, Empty);
    for (; c.undo.top > c.undo.savedFrom[i]; --c.undo.top) {
      const PointSaved& e = c.undo.saved[c.undo.top - 1];
      c.codes[e.point] = e.codes;
      c.values[Slot(Black)][e.point] = e.blackValue;
      c.values[Slot(White)][e.point] = e.whiteValue;
    }
    for (const LineSpot spot : kLineSpots[p]) c.recoded[spot.word] = c.lines.words[spot.word];
  });
  RecodeStale(c, t.patterns, t.values);
  c.stones.Play(state, [&](int i, int p, int before) {
    stale(p);
    // A move on a stone set outside the moves leaves nothing to restore below it.
    if (before != Empty) {
      RecodeStale(c, t.patterns, t.values);
      return c.undo.Forget(i + 1);
    }
    c.stale = {};
    c.undo.savedFrom[i] = c.undo.top;
    for (const LineSpot spot : kLineSpots[p]) RecodeLine(c, t.patterns, spot.word, true);
    RevalueListed(c, t.values);
  });
  c.stones.CatchUp(state, [&](int p, int) {
    stale(p);
    c.undo.Forget(state.moveCount);
  });
  RecodeStale(c, t.patterns, t.values);
}

}  // namespace tesmor
