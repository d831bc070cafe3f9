#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "eval/zeroed_pages.h"

namespace tesmor {

// A fixed-size map from 64-bit keys to small values for the searches' caches. Open addressing; a
// lookup probes a few neighbouring slots. Clearing bumps a generation stamp instead of touching the
// memory, because the searches clear their caches far more often than they fill them. When every
// probed slot is taken, a store replaces the first of them and counts the replacement, so memory
// stays bounded however long a search runs.
//
// The array is a block of zeroed pages: the resident size grows with the entries actually stored,
// up to the table's size. Small pages: a short search stores few entries, but they fall all over
// the table, and each would cost a large page zeroed whole.
template <typename Value>
class KeyedTable {
 public:
  // The table takes as many entries as fit in `bytes`, but at least MinEntries.
  explicit KeyedTable(size_t bytes = 0) { Resize(bytes); }
  KeyedTable(const KeyedTable&) = delete;
  KeyedTable& operator=(const KeyedTable&) = delete;

  void Resize(size_t bytes) {
    const size_t count = std::clamp(bytes / sizeof(Entry), MinEntries, MaxEntries);
    pages_ = ZeroedPages();  // the old block goes before the new one is mapped
    pages_ = ZeroedPages((count + Probes) * sizeof(Entry), false);
    entries_ = static_cast<Entry*>(pages_.data());
    count_ = count;
    generation_ = 1;
    replacements_ = 0;
  }

  void Clear() {
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
    for (size_t i = 0; i < Probes; ++i) {
      Entry& entry = entries_[Home(key) + i];
      if (entry.generation == generation_ && entry.key == key) return entry.value;
      if (entry.generation != generation_) return Claim(entry, key);
    }
    ++replacements_;
    return Claim(entries_[Home(key)], key);
  }

  size_t bytes() const { return (count_ + Probes) * sizeof(Entry); }
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

  Value& Claim(Entry& entry, uint64_t key) {
    entry.key = key;
    entry.generation = generation_;
    entry.value = Value{};
    return entry.value;
  }
  static constexpr size_t MinEntries = 64;
  static constexpr size_t MaxEntries = size_t{1} << 32;
  static constexpr size_t Probes = 8;

  static_assert(std::is_trivially_copyable_v<Value>, "entries start as zero bytes");
  ZeroedPages pages_;
  Entry* entries_ = nullptr;
  size_t count_ = 0;
  uint32_t generation_ = 1;
  uint64_t replacements_ = 0;
};

}  // namespace tesmor
