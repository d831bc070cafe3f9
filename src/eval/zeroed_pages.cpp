#include "eval/zeroed_pages.h"

#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tesmor {

namespace {

// Below this a table fits in a few small pages and the heap serves it as well.
constexpr size_t kMappedFrom = size_t{1} << 21;

}  // namespace

ZeroedPages::ZeroedPages(size_t bytes, bool largePages) : size_(bytes) {
#if defined(__linux__)
  if (bytes >= kMappedFrom) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block != MAP_FAILED) {
      // Only advice: without large pages the block still works in small ones.
      if (largePages) madvise(block, bytes, MADV_HUGEPAGE);
      data_ = block;
      mapped_ = true;
      return;
    }
  }
#endif
  data_ = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (!data_) throw std::bad_alloc();
}

ZeroedPages::~ZeroedPages() {
  Release();
}

ZeroedPages::ZeroedPages(ZeroedPages&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

ZeroedPages& ZeroedPages::operator=(ZeroedPages&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

void ZeroedPages::Release() {
#if defined(__linux__)
  if (mapped_) {
    munmap(data_, size_);
    data_ = nullptr;
    mapped_ = false;
    return;
  }
#endif
  std::free(data_);
  data_ = nullptr;
}

}  // namespace tesmor
