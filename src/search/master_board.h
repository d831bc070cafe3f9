#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "search/master_weights.h"

namespace tesmor {

// What one line through an empty point offers the side that would play there, from nothing to a
// five. "Open" shapes have two ways to grow, blocked ones one. OverlineLine marks a line where a
// Black stone would make six or more under renju: no five for Black there.
enum LinePattern : uint8_t {
  DeadLine = 0,
  OneLine,
  OpenOneLine,
  TwoLine,
  OpenTwoLine,
  ThreeLine,
  OpenThreeLine,
  FourLine,
  OpenFourLine,
  FiveLine,
  OverlineLine,
  LinePatternCount
};

// The pattern of a line read as ten neighbours (five on each side of the centre, nearest first on
// each side), each 0 empty, 1 own stone, 2 blocked. exactFive: only exactly five wins (Black
// under renju).
LinePattern ClassifyLine(int code, bool exactFive);

// Threat bits of an empty point for one colour.
enum ThreatBit : uint8_t {
  MakesFive = 1,        // a stone there completes a five
  MakesOpenFour = 2,    // a stone there makes a straight four (or two fours on one line)
  MakesFour = 4,        // a stone there makes a four
  MakesOpenThree = 8,   // a stone there makes an open three
  MaybeForbidden = 16,  // Black under renju: the exact rule must judge this point
};

// The master search's board: the stones on a padded grid, and for every empty point and colour
// the four line patterns, the point's value and its threat bits, all kept up to date by Play and
// Undo (only the points within five of the stone are looked at again). The sums of the values
// make the evaluation without a scan of the board. A GameState rides along so that the exact
// renju rule and the Zobrist key are those of the rest of the engine.
class MasterBoard {
 public:
  static constexpr int Pad = 5;
  static constexpr int Width = BoardSize + 2 * Pad;
  static constexpr int Size = Width * Width;
  static constexpr std::array<int, 4> Step = {1, Width, Width + 1, Width - 1};

  MasterBoard(const GameState& game, const MasterWeights& weights);
  MasterBoard(const MasterBoard&) = delete;
  MasterBoard& operator=(const MasterBoard&) = delete;

  // The padded index of a point and back.
  static constexpr int Index(int point) {
    return (PointRow(point) + Pad) * Width + PointCol(point) + Pad;
  }
  static constexpr int PointOf(int index) { return PointIndex(RowOf(index), ColOf(index)); }
  // The row and column of a padded index, by unsigned division (no rounding fix for negatives).
  static constexpr int RowOf(int index) {
    return static_cast<int>(static_cast<unsigned>(index) / Width) - Pad;
  }
  static constexpr int ColOf(int index) {
    return static_cast<int>(static_cast<unsigned>(index) % Width) - Pad;
  }

  void Play(int index);
  // Takes back the newest move played on this board (not one of the position it was built from).
  void Undo();

  const GameState& game() const { return game_; }
  GameState& game() { return game_; }
  int SideToMove() const { return game_.SideToMove(); }
  uint64_t Key() const { return game_.Key(); }
  // The key the position will have once the side to move plays at index.
  uint64_t KeyAfter(int index) const { return game_.KeyAfter(RowOf(index), ColOf(index)); }
  int MoveCount() const { return game_.moveCount; }
  bool Renju() const { return game_.forbiddenRulesOn != 0; }

  // 0 empty, 1 Black, 2 White, 3 beyond the edge.
  int Cell(int index) const { return cells_[index]; }
  bool IsEmpty(int index) const { return cells_[index] == 0; }
  // Colour index: 0 for Black, 1 for White.
  static int Side(int colour) { return colour == Black ? 0 : 1; }
  uint8_t Threats(int side, int index) const { return DataThreats(data_[Slot(side, index)]); }
  int Value(int side, int index) const { return DataValue(data_[Slot(side, index)]); }
  int Count(int side, ThreatBit bit) const { return totals_->counts[side][BitNumber(bit)]; }
  // The points with a threat bit as a set of padded indices: word w, bit b is index 64 w + b.
  static constexpr int SetWords = (Size + 63) / 64;
  using PointSet = std::array<uint64_t, SetWords>;
  // The words that can hold a point of the board: the others cover the padding alone.
  static constexpr int FirstSetWord = (Pad * Width + Pad) / 64;
  static constexpr int EndSetWord = ((BoardSize + Pad - 1) * Width + BoardSize + Pad - 1) / 64 + 1;
  const PointSet& Points(int side, ThreatBit bit) const {
    return totals_->sets[side][BitNumber(bit)];
  }
  LinePattern Pattern(int side, int index, int dir) const {
    int combo = combo_[Slot(side, index)] - side * ComboCount;
    for (int d = 0; d < dir; ++d) combo /= LinePatternCount;
    return static_cast<LinePattern>(combo % LinePatternCount);
  }
  // Stones within two points (a 5 x 5 square): where candidates are looked for.
  int Near(int index) const { return near_[index]; }
  // The empty points with a stone within two: the candidates of a quiet node.
  const PointSet& Candidates() const { return totals_->candidates; }

  // The exact renju verdict on a Black stone at an empty point; false off renju or for White.
  // Asked of every candidate, so the answer without the rule is inline.
  bool ForbiddenFor(int colour, int index) {
    if (colour != Black || !Renju() || !(Threats(0, index) & MaybeForbidden)) return false;
    return JudgeForbidden(index);
  }

  // The static evaluation for the side to move.
  int Evaluate() const;

  const MasterWeights& weights() const { return weights_; }

 private:
  static constexpr int BitNumber(ThreatBit bit) {
    return bit == MakesFive ? 0 : bit == MakesOpenFour ? 1 : bit == MakesFour ? 2 : 3;
  }
  // A point's value and threat bits for one colour, which depend on its four patterns alone,
  // packed in one word (value * 32 + threats) so that the table of all pattern combinations is
  // half the size it would be as a struct and one comparison tells whether anything changed.
  // Values stay far within the 27 bits left: weights are at most a million, a point ten of them.
  using PointData = int32_t;
  static constexpr int ThreatBits = 5;
  static constexpr PointData MakeData(int value, uint8_t threats) {
    return static_cast<PointData>(static_cast<uint32_t>(value) << ThreatBits | threats);
  }
  static constexpr int DataValue(PointData data) { return data >> ThreatBits; }
  static constexpr uint8_t DataThreats(PointData data) {
    return static_cast<uint8_t>(data & ((1 << ThreatBits) - 1));
  }
  static constexpr int ComboCount =
      LinePatternCount * LinePatternCount * LinePatternCount * LinePatternCount;
  // A point's four patterns as one number, dir 0 the lowest digit.
  static constexpr std::array<int, 4> ComboDigit = {
      1, LinePatternCount, LinePatternCount* LinePatternCount,
      LinePatternCount* LinePatternCount* LinePatternCount};
  static int ComboIndex(const std::array<LinePattern, 4>& p) {
    return ((p[3] * LinePatternCount + p[2]) * LinePatternCount + p[1]) * LinePatternCount + p[0];
  }
  // The per-colour arrays of points are one array, Black's half first.
  static constexpr int Slot(int side, int index) { return side * Size + index; }
  // What Play gathers while it brings the lines up to date, written to the board when it is
  // done: kept apart from the board's arrays, the sums and the place of the next change record
  // can stay in registers.
  struct Pending {
    std::array<int64_t, 2> sum{};
    uint32_t* next = nullptr;
  };
  // A change record, for a take-back to restore: the slot (low 16 bits) and the pattern
  // combination before, which gives the point data before.
  static uint32_t ChangeRecord(int slot, int combo) {
    return static_cast<uint32_t>(slot) | static_cast<uint32_t>(combo) << 16;
  }
  bool JudgeForbidden(int index);
  uint32_t LineCodes(int index, int dir) const;
  void Refresh(int index, Pending& pending);
  void PlayLines(int index, int colour, Pending& pending);
  void UndoLines(int index, int colour);
  // Called for every point on the lines through each stone played: inlined, with the rare change
  // of threat bits kept out of line.
  template <int Dir>
  [[gnu::always_inline]] inline void PlayHalfLine(int index, int step, const uint32_t* deltas,
                                                  Pending& pending);
  template <int Side>
  [[gnu::always_inline]] inline void ChangeCombo(int index, int digits, Pending& pending);
  [[gnu::always_inline]] inline void SetPointData(int side, int index, PointData data,
                                                  Pending& pending);
  [[gnu::noinline]] void ChangeThreats(int side, int index, uint8_t old, uint8_t threats);
  int PointValue(int side, const std::array<LinePattern, 4>& patterns, uint8_t& threats) const;
  void NearStone(int index);
  void SetCandidate(int index, bool on) {
    const uint64_t bit = uint64_t{1} << (index % 64);
    uint64_t& word = totals_->candidates[static_cast<size_t>(index / 64)];
    word = on ? word | bit : word & ~bit;
  }

  const MasterWeights& weights_;
  GameState game_;
  std::array<int, LinePatternCount> patternValue_{};
  const LinePattern* blackTable_;
  const LinePattern* whiteTable_;
  // The neighbour codes of every point and direction, Black's in the low 16 bits and White's in
  // the high ones, so that one addition moves both; kept for occupied points too, so that a point
  // taken back needs no rescan. Four to a point (index * 4 + dir), one array, so that the lines
  // through a point are reached by offsets from it.
  std::array<uint32_t, Size * 4> codes_{};
  static uint16_t BlackCode(uint32_t codes) { return static_cast<uint16_t>(codes); }
  static uint16_t WhiteCode(uint32_t codes) { return static_cast<uint16_t>(codes >> 16); }
  std::array<uint8_t, Size> cells_{};
  std::array<uint8_t, Size> near_{};
  // By Slot: each empty point's patterns as a ComboIndex (plus side * ComboCount, so that it
  // indexes combined_ directly; an occupied point has all lines dead), and its data, which is
  // combined_ at that place.
  std::array<uint16_t, 2 * Size> combo_{};
  std::array<PointData, 2 * Size> data_{};
  // The sums of the point values, the threat points and the candidates.
  struct Totals {
    std::array<int64_t, 2> valueSum{};
    std::array<std::array<int, 4>, 2> counts{};
    std::array<std::array<PointSet, 4>, 2> sets{};
    PointSet candidates{};
  };
  // Copied set by set, the words that can hold a point only: copied whole, the compiler makes it
  // a string instruction that takes longer to start than the copy to run.
  static void CopySet(PointSet& to, const PointSet& from) {
    for (int word = FirstSetWord; word < EndSetWord; ++word)
      to[static_cast<size_t>(word)] = from[static_cast<size_t>(word)];
  }
  static void CopyTotals(Totals& to, const Totals& from) {
    to.valueSum = from.valueSum;
    to.counts = from.counts;
    for (int side = 0; side < 2; ++side)
      for (int bit = 0; bit < 4; ++bit) CopySet(to.sets[side][bit], from.sets[side][bit]);
    CopySet(to.candidates, from.candidates);
  }
  // The totals of the position on the board, on top of a stack of those of the positions before
  // each move played on it: a move copies them up, a take-back steps down.
  std::vector<Totals> totalsStack_;
  Totals* totals_ = nullptr;
  // PointData by ComboIndex of the four patterns, Black's then White's.
  std::vector<PointData> combined_;
  // The changes of the moves played on this board, newest last, and for each move where its
  // changes begin.
  std::vector<uint32_t> changes_;
  int changeCount_ = 0;
  std::array<int, CellCount + 1> moveChanges_{};
  std::array<uint64_t, 4096> verdicts_{};
  int played_ = 0;
};

}  // namespace tesmor
