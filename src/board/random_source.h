#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tesmor {

// The largest number a draw gives; draws are 0..RandMax.
constexpr int RandMax = 32767;

// Where the program's random choices come from (the coin toss, the computer's opening, the swap,
// the book's choice among equal moves, the level-0 moves). Each place that draws seeds the source
// first, then draws. The program uses ClockRandom; tests hand in a SequenceRandom.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Seed() = 0;
  virtual int Next() = 0;
};

// Seeds from the current time in seconds and draws from a linear congruential generator, so that
// draws have the classic 15-bit range.
class ClockRandom final : public RandomSource {
 public:
  void Seed() override;
  int Next() override;

 private:
  uint32_t state_ = 1;
};

// Draws the given numbers in order, over and over; seeding does nothing. For tests.
class SequenceRandom final : public RandomSource {
 public:
  explicit SequenceRandom(std::vector<int> values) : values_(std::move(values)) {}
  void Seed() override { ++seeds_; }
  int Next() override;
  int seeds() const { return seeds_; }
  int draws() const { return draws_; }

 private:
  std::vector<int> values_;
  std::size_t next_ = 0;
  int seeds_ = 0;
  int draws_ = 0;
};

}  // namespace tesmor
