#include "search/master_table.h"

#include <bit>

namespace tesmor {

void TranspositionTable::Resize(size_t megabytes) {
  const size_t bytes = (megabytes == 0 ? 1 : megabytes) << 20;
  const size_t count = std::bit_floor(bytes / sizeof(Bucket));
  buckets_.assign(count, Bucket{});
  buckets_.shrink_to_fit();
  mask_ = count - 1;
}

void TranspositionTable::Clear() {
  for (Bucket& bucket : buckets_) bucket = Bucket{};
}

const TableEntry* TranspositionTable::Probe(uint64_t key) const {
  const Bucket& bucket = buckets_[IndexOf(key)];
  const uint32_t check = CheckOf(key);
  if (bucket.deep.bound != Bound::None && bucket.deep.check == check) return &bucket.deep;
  if (bucket.recent.bound != Bound::None && bucket.recent.check == check) return &bucket.recent;
  return nullptr;
}

void TranspositionTable::Store(uint64_t key, int score, int move, int depth, Bound bound) {
  Bucket& bucket = buckets_[IndexOf(key)];
  const uint32_t check = CheckOf(key);
  TableEntry entry{check,
                   static_cast<int16_t>(score),
                   static_cast<int16_t>(move),
                   static_cast<int8_t>(depth),
                   bound,
                   generation_,
                   0};
  // Keep the move of an earlier result of the same position when this one has none.
  TableEntry* same = bucket.deep.check == check && bucket.deep.bound != Bound::None ? &bucket.deep
                     : bucket.recent.check == check && bucket.recent.bound != Bound::None
                         ? &bucket.recent
                         : nullptr;
  if (same && move < 0) entry.move = same->move;
  // The deep slot takes the deeper result, a result of the same position, or one of a newer
  // search; the other slot takes everything else.
  if (bucket.deep.bound == Bound::None || same == &bucket.deep || depth >= bucket.deep.depth ||
      bucket.deep.generation != generation_) {
    if (same == &bucket.recent) bucket.recent = TableEntry{};
    if (bucket.deep.bound != Bound::None && same != &bucket.deep) bucket.recent = bucket.deep;
    bucket.deep = entry;
  } else {
    bucket.recent = entry;
  }
}

}  // namespace tesmor
