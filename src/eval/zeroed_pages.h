#pragma once

#include <cstddef>

namespace tesmor {

// A block of zeroed memory for a large table that is read and written at random places. The
// system hands out its pages as they are first written, so the resident size grows with what is
// used; where the system allows, in pages of two megabytes, because a table of tens of megabytes
// read at random otherwise misses the processor's address cache on nearly every read and takes a
// page fault for every four kilobytes it first writes. Owns the block; movable, not copyable.
class ZeroedPages {
 public:
  ZeroedPages() = default;
  explicit ZeroedPages(size_t bytes, bool largePages = true);
  ~ZeroedPages();
  ZeroedPages(ZeroedPages&& other) noexcept;
  ZeroedPages& operator=(ZeroedPages&& other) noexcept;
  ZeroedPages(const ZeroedPages&) = delete;
  ZeroedPages& operator=(const ZeroedPages&) = delete;

  void* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void Release();

  void* data_ = nullptr;
  size_t size_ = 0;
  bool mapped_ = false;
};

}  // namespace tesmor
