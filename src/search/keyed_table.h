#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

#include "eval/zeroed_pages.h"

namespace tesmor {

// Blocks that tables gave up, kept for the next table that asks for a block of the same size. A
// new block costs a page fault and a zeroed page for every page first written; one player's
// searches share one context whose tables keep their pages, but a program that makes a context
// per position (the bench) would pay that again for every position and every growth. A kept block
// is not zeroed: its entries carry the stamps its last table wrote, all below `stamps`, and its
// next table stamps above that, so it reads them all as free. Tables take and give blocks from
// one pool on any thread.
class TableBlocks {
 public:
  struct Block {
    ZeroedPages pages;
    uint32_t stamps = 1;  // every entry's stamp is below this; a new block holds zeros
  };
  // Keeps at most `limitBytes` of blocks together.
  explicit TableBlocks(size_t limitBytes) : limit_(limitBytes) {}
  TableBlocks(const TableBlocks&) = delete;
  TableBlocks& operator=(const TableBlocks&) = delete;

  // A kept block of exactly `bytes`, else a new one; `pool` may be null (always a new one).
  static Block Take(TableBlocks* pool, size_t bytes);
  // Keeps the block while the kept ones stay within the limit, else frees it.
  static void Give(TableBlocks* pool, Block block);

 private:
  std::mutex mutex_;
  std::vector<Block> blocks_;
  size_t bytes_ = 0;
  size_t limit_;
};

// A bounded map from 64-bit keys to small values for the searches' caches. Open addressing; a
// lookup probes a few neighbouring slots. Clearing bumps a generation stamp instead of touching the
// memory, because the searches clear their caches far more often than they fill them. When every
// probed slot is taken in a table at its full size, a store replaces the first of them and counts
// the replacement, so memory stays bounded however long a search runs.
//
// The table starts small and doubles, moving its current entries, whenever half its slots are
// taken, up to its full size. A short search thus touches a few pages, and a long one works in a
// table no larger than it needs, in pages of two megabytes: read at random, a table of tens of
// megabytes in small pages misses the processor's address cache on nearly every read.
template <typename Value>
class KeyedTable {
 public:
  // The table takes as many entries as fit in `bytes`, but at least MinEntries; its blocks come
  // from and go back to `pool` when one is given, which must outlive the table.
  explicit KeyedTable(size_t bytes = 0, TableBlocks* pool = nullptr) : pool_(pool) {
    Resize(bytes);
  }
  ~KeyedTable() { Release(); }
  KeyedTable(const KeyedTable&) = delete;
  KeyedTable& operator=(const KeyedTable&) = delete;

  void Resize(size_t bytes) {
    maxCount_ = std::clamp(bytes / sizeof(Entry), MinEntries, MaxEntries);
    Allocate(std::min(maxCount_, InitialEntries));
    replacements_ = 0;
  }

  void Clear() {
    live_ = 0;
    if (++generation_ == 0) {  // the stamps wrapped: old entries might look current again
      std::fill_n(reinterpret_cast<unsigned char*>(entries_), (count_ + Probes) * sizeof(Entry), 0);
      generation_ = 1;
    }
  }

  const Value* Find(uint64_t key) const {
    for (size_t i = 0; i < Probes; ++i) {
      const Entry& entry = entries_[Home(key) + i];
      if (entry.generation != generation_) return nullptr;
      if (entry.key == key) return &entry.value;
    }
    return nullptr;
  }

  void Store(uint64_t key, const Value& value) { Slot(key) = value; }

  // Starts loading the first slot a key probes, so that a Find or Store of the key after other
  // work finds it in the cache: the tables are far larger than the cache, and a search asks them
  // in no order the processor could foresee.
  void Prefetch(uint64_t key) const { __builtin_prefetch(&entries_[Home(key)]); }

  // The key's value, made (value-initialised) when the key is not in the table.
  Value& Slot(uint64_t key) {
    Entry* entry = Probe(key);
    if (entry != nullptr && entry->generation == generation_) return entry->value;
    while (count_ < maxCount_ && (entry == nullptr || 2 * (live_ + 1) > count_)) {
      Grow();
      entry = Probe(key);
    }
    return Claim(entry, key);
  }

  // The most the table takes, whatever it holds now.
  size_t bytes() const { return (maxCount_ + Probes) * sizeof(Entry); }
  // Stores that had to overwrite another key since the table was last sized.
  uint64_t replacements() const { return replacements_; }

 private:
  struct Entry {
    uint64_t key;
    uint32_t generation;
    Value value;
  };
  // The first slot a key probes: its high bits scaled to the table, so that any size serves. The
  // probes run on past the last home slot into Probes spare entries rather than wrapping.
  size_t Home(uint64_t key) const { return static_cast<size_t>(((key >> 32) * count_) >> 32); }

  // The key's entry, else the first free slot of its probes, else nullptr.
  Entry* Probe(uint64_t key) {
    for (size_t i = 0; i < Probes; ++i) {
      Entry& entry = entries_[Home(key) + i];
      if (entry.generation != generation_ || entry.key == key) return &entry;
    }
    return nullptr;
  }

  // Takes a free slot for the key, or its first probe when none is free.
  Value& Claim(Entry* entry, uint64_t key) {
    if (entry == nullptr) {
      ++replacements_;
      entry = &entries_[Home(key)];
    } else {
      ++live_;
    }
    entry->key = key;
    entry->generation = generation_;
    entry->value = Value{};
    return entry->value;
  }

  // Takes a block for `count` home slots and a stamp above every stamp in it.
  void Allocate(size_t count) {
    Release();  // the old block goes before the new one is taken
    block_ = TableBlocks::Take(pool_, (count + Probes) * sizeof(Entry));
    entries_ = static_cast<Entry*>(block_.pages.data());
    generation_ = std::max(generation_ + 1, block_.stamps);
    count_ = count;
    live_ = 0;
  }
  void Release() {
    if (block_.pages.data() == nullptr) return;
    block_.stamps = generation_ + 1;
    TableBlocks::Give(pool_, std::move(block_));
    block_ = {};
  }

  // Doubles the table (up to its full size) and moves the current entries over; again, while a
  // table short of its full size cannot take them all without replacing one.
  void Grow() {
    TableBlocks::Block old = std::move(block_);
    block_ = {};
    const Entry* const oldEntries = entries_;
    const size_t oldSlots = count_ + Probes;
    const uint32_t oldGeneration = generation_;
    do {
      Allocate(std::min(count_ * 2, maxCount_));
    } while (!MoveEntries(oldEntries, oldSlots, oldGeneration) && count_ < maxCount_);
    old.stamps = std::max(old.stamps, oldGeneration + 1);
    TableBlocks::Give(pool_, std::move(old));
  }

  // Stores the entries of stamp `generation` among `count` old ones; false when one finds every
  // probed slot taken in a table short of its full size. (Not `slots`: Qt defines that word as a
  // macro.)
  bool MoveEntries(const Entry* from, size_t count, uint32_t generation) {
    for (size_t i = 0; i < count; ++i) {
      if (from[i].generation != generation) continue;
      Entry* const entry = Probe(from[i].key);
      if (entry == nullptr && count_ < maxCount_) return false;
      Claim(entry, from[i].key) = from[i].value;
    }
    return true;
  }

  static constexpr size_t MinEntries = 64;
  static constexpr size_t MaxEntries = size_t{1} << 32;
  // Where a table starts: small enough that a short search touches little memory.
  static constexpr size_t InitialEntries = size_t{1} << 12;
  static constexpr size_t Probes = 8;

  static_assert(std::is_trivially_copyable_v<Value>, "entries start as zero bytes");
  TableBlocks* pool_;
  TableBlocks::Block block_;
  Entry* entries_ = nullptr;
  size_t count_ = 0;     // home slots now
  size_t maxCount_ = 0;  // home slots at the full size
  size_t live_ = 0;      // entries stored since the last Clear or growth
  uint32_t generation_ = 1;
  uint64_t replacements_ = 0;
};

}  // namespace tesmor
