#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesmor {

// How a stored score bounds the true one.
enum class Bound : uint8_t { None = 0, Upper = 1, Lower = 2, Exact = 3 };

// One remembered search result. The key's upper 32 bits check that an entry belongs to the
// position; the index comes from the lower bits.
struct TableEntry {
  uint32_t check = 0;
  int16_t score = 0;
  int16_t move = -1;  // padded board index, -1 for none
  int8_t depth = -1;
  Bound bound = Bound::None;
  uint8_t generation = 0;
  uint8_t unused = 0;
};

// The master search's transposition table: buckets of two entries, the first kept for the
// deeper search (or a newer one) and the second always replaced. Its memory is allocated once,
// when it is sized; probing and storing never allocate.
class TranspositionTable {
 public:
  explicit TranspositionTable(size_t megabytes = 16) { Resize(megabytes); }

  void Resize(size_t megabytes);
  void Clear();
  // A new search: entries of earlier ones may be replaced first.
  void NewSearch() { ++generation_; }

  // The entry of this key, or nullptr.
  const TableEntry* Probe(uint64_t key) const;
  void Store(uint64_t key, int score, int move, int depth, Bound bound);

  size_t BucketCount() const { return buckets_.size(); }

 private:
  struct Bucket {
    TableEntry deep;
    TableEntry recent;
  };
  size_t IndexOf(uint64_t key) const { return static_cast<size_t>(key) & mask_; }
  static uint32_t CheckOf(uint64_t key) { return static_cast<uint32_t>(key >> 32); }

  std::vector<Bucket> buckets_;
  size_t mask_ = 0;
  uint8_t generation_ = 0;
};

}  // namespace tesmor
