#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace tesmor {

// How a stored score bounds the true one.
enum class Bound : uint8_t { None = 0, Upper = 1, Lower = 2, Exact = 3 };

// One remembered search result.
struct TableEntry {
  int16_t score = 0;
  int16_t move = -1;  // padded board index, -1 for none
  int8_t depth = -1;
  Bound bound = Bound::None;
  uint8_t generation = 0;
};

// The master search's transposition table: buckets of two entries, the first kept for the
// deeper search (or a newer one) and the second always replaced. Its memory is allocated once,
// when it is sized; probing and storing never allocate.
//
// Several search threads may probe and store at once. Each slot is two atomic words, the entry
// and the entry xor the full key, so an entry half-written by another thread fails the key test
// and reads as a miss; a store may be lost to a concurrent one, which costs only work.
class TranspositionTable {
 public:
  explicit TranspositionTable(size_t megabytes = 16) { Resize(megabytes); }

  // Not while a search runs. A new size starts empty; the present size keeps the entries.
  void Resize(size_t megabytes);
  void Clear();
  // A new search: entries of earlier ones may be replaced first.
  void NewSearch() { ++generation_; }

  // The entry of this key, if one is stored.
  std::optional<TableEntry> Probe(uint64_t key) const;
  // Starts loading the key's bucket, so that a probe a little later finds it in the cache.
  void Prefetch(uint64_t key) const { __builtin_prefetch(&buckets_[key & (count_ - 1)]); }
  void Store(uint64_t key, int score, int move, int depth, Bound bound);

  size_t BucketCount() const { return count_; }

 private:
  struct Slot {
    std::atomic<uint64_t> data{0};
    std::atomic<uint64_t> lock{0};  // data ^ key
  };
  struct Bucket {
    Slot deep;
    Slot recent;
  };
  static uint64_t Pack(const TableEntry& entry);
  static TableEntry Unpack(uint64_t data);
  // The slot's entry when it holds this key's, else an empty entry.
  static TableEntry Read(const Slot& slot, uint64_t key);
  static void Write(Slot& slot, uint64_t key, const TableEntry& entry);
  static void Empty(Slot& slot);

  struct Free {
    void operator()(Bucket* buckets) const { std::free(buckets); }
  };
  std::unique_ptr<Bucket[], Free> buckets_;
  size_t count_ = 0;
  uint8_t generation_ = 0;
};

}  // namespace tesmor
