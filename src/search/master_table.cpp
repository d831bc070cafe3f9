#include "search/master_table.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <memory>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tesmor {

// Every probe lands on a random bucket of a table of many megabytes, so with pages of a few
// kilobytes nearly each one also misses the address translation cache; the table asks for large
// pages where the system offers them, aligned so that they can be used.
void TranspositionTable::Resize(size_t megabytes) {
  const size_t bytes = (megabytes == 0 ? 1 : megabytes) << 20;
  const size_t count = std::bit_floor(bytes / sizeof(Bucket));
  const size_t size = count * sizeof(Bucket);  // a power of two of at least a megabyte
  constexpr size_t LargePage = size_t{2} << 20;
  // A manager may repeat its memory allowance every turn: the same size keeps what is stored.
  if (count == count_) return;
  buckets_.reset();
  count_ = 0;
  void* memory = std::aligned_alloc(std::min(size, LargePage), size);
  if (!memory) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
  madvise(memory, size, MADV_HUGEPAGE);
#endif
  buckets_.reset(static_cast<Bucket*>(memory));
  std::uninitialized_value_construct_n(buckets_.get(), count);
  count_ = count;
}

void TranspositionTable::Clear() {
  for (size_t i = 0; i < count_; ++i) {
    Empty(buckets_[i].deep);
    Empty(buckets_[i].recent);
  }
}

void TranspositionTable::Empty(Slot& slot) {
  slot.data.store(0, std::memory_order_relaxed);
  slot.lock.store(0, std::memory_order_relaxed);
}

uint64_t TranspositionTable::Pack(const TableEntry& entry) {
  return static_cast<uint64_t>(static_cast<uint16_t>(entry.score)) |
         static_cast<uint64_t>(static_cast<uint16_t>(entry.move)) << 16 |
         static_cast<uint64_t>(static_cast<uint8_t>(entry.depth)) << 32 |
         static_cast<uint64_t>(entry.bound) << 40 | static_cast<uint64_t>(entry.generation) << 48;
}

TableEntry TranspositionTable::Unpack(uint64_t data) {
  TableEntry entry;
  entry.score = static_cast<int16_t>(static_cast<uint16_t>(data));
  entry.move = static_cast<int16_t>(static_cast<uint16_t>(data >> 16));
  entry.depth = static_cast<int8_t>(static_cast<uint8_t>(data >> 32));
  entry.bound = static_cast<Bound>(static_cast<uint8_t>(data >> 40));
  entry.generation = static_cast<uint8_t>(data >> 48);
  return entry;
}

TableEntry TranspositionTable::Read(const Slot& slot, uint64_t key) {
  const uint64_t data = slot.data.load(std::memory_order_relaxed);
  const uint64_t lock = slot.lock.load(std::memory_order_relaxed);
  if (data == 0 || (data ^ lock) != key) return TableEntry{};
  return Unpack(data);
}

void TranspositionTable::Write(Slot& slot, uint64_t key, const TableEntry& entry) {
  const uint64_t data = Pack(entry);
  slot.data.store(data, std::memory_order_relaxed);
  slot.lock.store(data ^ key, std::memory_order_relaxed);
}

std::optional<TableEntry> TranspositionTable::Probe(uint64_t key) const {
  const Bucket& bucket = buckets_[static_cast<size_t>(key) & (count_ - 1)];
  for (const Slot* slot : {&bucket.deep, &bucket.recent}) {
    const TableEntry entry = Read(*slot, key);
    if (entry.bound != Bound::None) return entry;
  }
  return std::nullopt;
}

void TranspositionTable::Store(uint64_t key, int score, int move, int depth, Bound bound) {
  Bucket& bucket = buckets_[static_cast<size_t>(key) & (count_ - 1)];
  TableEntry entry{static_cast<int16_t>(score), static_cast<int16_t>(move),
                   static_cast<int8_t>(depth), bound, generation_};
  const uint64_t deepData = bucket.deep.data.load(std::memory_order_relaxed);
  const uint64_t deepKey = deepData ^ bucket.deep.lock.load(std::memory_order_relaxed);
  const TableEntry deep = Unpack(deepData);  // an empty slot unpacks with no bound
  const bool sameDeep = deep.bound != Bound::None && deepKey == key;
  const TableEntry sameRecent = Read(bucket.recent, key);
  // Keep the move of an earlier result of the same position when this one has none.
  if (move < 0) entry.move = sameDeep ? deep.move : sameRecent.move;
  // The deep slot takes the deeper result, a result of the same position, or one of a newer
  // search; the other slot takes everything else.
  if (deep.bound == Bound::None || sameDeep || depth >= deep.depth ||
      deep.generation != generation_) {
    if (sameRecent.bound != Bound::None) Empty(bucket.recent);
    if (deep.bound != Bound::None && !sameDeep) Write(bucket.recent, deepKey, deep);
    Write(bucket.deep, key, entry);
  } else {
    Write(bucket.recent, key, entry);
  }
}

}  // namespace tesmor
