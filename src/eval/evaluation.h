#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "board/board.h"
#include "eval/patterns.h"

namespace tesmor {

// Pattern counts over the four directions of one stone or one probed point. A stone's tally
// ignores overlines; a point's tally uses them for the quick forbidden test. fours holds the
// counts of Four directions only; an OpenFour is counted once, in openFours.
struct PatternTally {
  int32_t fives = 0;
  int32_t openFours = 0;
  int32_t fours = 0;
  int32_t openThrees = 0;
  int32_t closedThrees = 0;
  int32_t openTwos = 0;
  int32_t closedTwos = 0;
  int32_t overlines = 0;

  PatternTally& operator+=(const PatternTally& other);
  PatternTally& operator-=(const PatternTally& other);
  bool operator==(const PatternTally&) const = default;
};

// Tally of the four direction values of a stone or point, in direction order 0..3.
PatternTally TallyPatterns(const std::array<PatternValue, 4>& values);

// Scores summed stone tallies: every pattern is seen once by each of its stones, so the sums are
// divided by the pattern's length before weighting.
int ScoreStoneTotals(const PatternTally& ownTotals, const PatternTally& opponentTotals);

// The caches that make the evaluation and the candidate values incremental: what the board and
// the rule setting looked like at the last call, and what was computed from them. A fresh
// context knows no rule setting, so its first call computes everything, as a changed rule
// setting does. One context serves the consecutive calls of one
// search; it is large and owns its tables on the heap, and copying is refused because two
// searches must never share or fork one silently. A moved-from context may only be destroyed or
// assigned to.
class EvalContext {
 public:
  EvalContext();
  ~EvalContext();
  EvalContext(const EvalContext&) = delete;
  EvalContext& operator=(const EvalContext&) = delete;
  EvalContext(EvalContext&&) noexcept;
  EvalContext& operator=(EvalContext&&) noexcept;

  // Below the value of any empty point: what an occupied point reads, so that a scan for the
  // points above a floor need not look at the stones.
  static constexpr int32_t Occupied = -(1 << 30);

  // The value of an empty point for colour (Black or White) as of the last RefreshCandidates;
  // an occupied point's is Occupied.
  int Candidate(int colour, int cellIndex) const;
  // All of colour's candidate values at once, by CellIndex, for loops over the board.
  const std::array<int32_t, CellCount>& Candidates(int colour) const;

 private:
  struct Tables;
  std::unique_ptr<Tables> tables_;

  friend int EvaluatePosition(EvalContext& context, const GameState& state, int side);
  friend void RefreshCandidates(EvalContext& context, const GameState& state);
};

// The static score of the position from side's view (Black or White). Recounts only the lines
// whose cells changed since the context's last call.
int EvaluatePosition(EvalContext& context, const GameState& state, int side);

// What a stone of colour on the empty point (row, col) builds for colour plus what it would take
// from the other: 8 * Attack + 5 * Defence. Black's points that look forbidden attack at -100000.
int PointValue(const GameState& state, int row, int col, int colour);

// Brings the context's candidate values up to date: afterwards Candidate(c, p) equals
// PointValue for every empty point and both colours. Revalues only the points whose direction
// values changed.
void RefreshCandidates(EvalContext& context, const GameState& state);

}  // namespace tesmor
