#include "board/random_source.h"

#include <ctime>

namespace tesmor {

void ClockRandom::Seed() {
  state_ = static_cast<uint32_t>(std::time(nullptr));
}

int ClockRandom::Next() {
  state_ = state_ * 214013u + 2531011u;
  return static_cast<int>((state_ >> 16) & RandMax);
}

int SequenceRandom::Next() {
  ++draws_;
  if (values_.empty()) return 0;
  const int value = values_[next_];
  next_ = (next_ + 1) % values_.size();
  return value;
}

}  // namespace tesmor
