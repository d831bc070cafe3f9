#include "search/keyed_table.h"

#include <iterator>
#include <mutex>
#include <vector>

namespace tesmor {

namespace {

// What the kept blocks may hold together: the caches of a whole search at the default size.
constexpr size_t kKeptBytes = size_t{160} << 20;
// A block whose stamps come near the end of their range is freed: its next table would soon
// have to zero it anyway.
constexpr uint32_t kLastKeptStamp = uint32_t{1} << 31;

struct KeptBlocks {
  std::mutex mutex;
  std::vector<TableBlocks::Block> blocks;
  size_t bytes = 0;
};

KeptBlocks& Kept() {
  static KeptBlocks kept;
  return kept;
}

}  // namespace

TableBlocks::Block TableBlocks::Take(size_t bytes) {
  KeptBlocks& kept = Kept();
  {
    const std::lock_guard lock(kept.mutex);
    // The last one given, whose pages are the likeliest still to be in the caches.
    for (auto it = kept.blocks.rbegin(); it != kept.blocks.rend(); ++it) {
      if (it->pages.size() != bytes) continue;
      Block block = std::move(*it);
      kept.blocks.erase(std::next(it).base());
      kept.bytes -= bytes;
      return block;
    }
  }
  return {ZeroedPages(bytes), 1};
}

void TableBlocks::Give(Block block) {
  const size_t bytes = block.pages.size();
  if (block.pages.data() == nullptr || block.stamps == 0 || block.stamps > kLastKeptStamp) return;
  KeptBlocks& kept = Kept();
  const std::lock_guard lock(kept.mutex);
  if (kept.bytes + bytes > kKeptBytes) return;
  kept.bytes += bytes;
  kept.blocks.push_back(std::move(block));
}

}  // namespace tesmor
