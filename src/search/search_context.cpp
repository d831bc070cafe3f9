#include "search/search_context.h"

namespace tesmor {

SearchContext::SearchContext(RandomSource& random, const OpeningBook* book, std::ostream* console)
    : random_(random), book_(book), console_(console) {
  SetTableMegabytes(DefaultTableMegabytes);
}

void SearchContext::SetTableMegabytes(size_t megabytes) {
  const size_t bytes = megabytes << 20;
  pathScores.Resize(bytes / 8 * 3);
  searchedReplies.Resize(bytes / 8 * 3);
  vcfCache.Resize(bytes / 4);
}

}  // namespace tesmor
