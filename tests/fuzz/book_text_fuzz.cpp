// A book's text form, as tesmor-book compile reads it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/book_format.h"
#include "book/book_text.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tesmor::BookTextResult parsed = tesmor::ParseBookText(text);
  if (!parsed.ok) {
    FUZZ_CHECK(parsed.error.rfind("line ", 0) == 0);
    FUZZ_CHECK(parsed.error.find('\n') == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(parsed.error.empty());
  // Accepted text is a tree that prints as text reading back to it, and that the book file holds
  // whole.
  const std::string printed = tesmor::BookText(parsed.tree);
  const tesmor::BookTextResult reparsed = tesmor::ParseBookText(printed);
  FUZZ_CHECK(reparsed.ok && reparsed.tree == parsed.tree);
  FUZZ_CHECK(tesmor::BookText(reparsed.tree) == printed);
  const tesmor::BookReadResult read = tesmor::ReadBookTree(tesmor::WriteBookTree(parsed.tree));
  FUZZ_CHECK(read.tree == parsed.tree && !read.report.Damaged());
  return 0;
}
