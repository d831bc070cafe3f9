#include "search/keyed_table.h"

#include <iterator>

namespace tesmor {

namespace {

// A block whose stamps come near the end of their range is freed: its next table would soon
// have to zero it anyway.
constexpr uint32_t kLastKeptStamp = uint32_t{1} << 31;

}  // namespace

TableBlocks::Block TableBlocks::Take(TableBlocks* pool, size_t bytes) {
  if (pool != nullptr) {
    const std::lock_guard lock(pool->mutex_);
    // The last one given, whose pages are the likeliest still to be in the caches.
    std::vector<Block>& kept = pool->blocks_;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
      if (it->pages.size() != bytes) continue;
      Block block = std::move(*it);
      kept.erase(std::next(it).base());
      pool->bytes_ -= bytes;
      return block;
    }
  }
  return {ZeroedPages(bytes), 1};
}

void TableBlocks::Give(TableBlocks* pool, Block block) {
  const size_t bytes = block.pages.size();
  if (pool == nullptr || block.pages.data() == nullptr || block.stamps == 0 ||
      block.stamps > kLastKeptStamp)
    return;
  const std::lock_guard lock(pool->mutex_);
  if (pool->bytes_ + bytes > pool->limit_) return;
  pool->bytes_ += bytes;
  pool->blocks_.push_back(std::move(block));
}

}  // namespace tesmor
