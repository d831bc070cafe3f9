#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

namespace tesmor {

// Keys of the deepening search's caches: values are remembered by the exact sequence of moves
// that led to a node.

// The key of a move sequence followed by one more move; the empty sequence has key 0.
constexpr uint64_t ExtendPathKey(uint64_t path, int point) {
  return MixBits(path + static_cast<uint64_t>(point + 1) * 0x9E3779B97F4A7C15ull);
}

// A set of board points as a bit set, by PointIndex.
struct PointSet {
  std::array<uint64_t, 4> words{};
  bool Has(int point) const { return (words[point >> 6] >> (point & 63)) & 1; }
  void Add(int point) { words[point >> 6] |= uint64_t{1} << (point & 63); }
};

}  // namespace tesmor
