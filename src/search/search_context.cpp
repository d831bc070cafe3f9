#include "search/search_context.h"

namespace tesmor {

SearchContext::SearchContext(RandomSource& random, const OpeningBook* book, std::ostream* console,
                             TableBlocks* tablePool)
    : vcfCache(0, tablePool),
      pathScores(0, tablePool),
      searchedReplies(0, tablePool),
      random_(random),
      book_(book),
      console_(console) {
  SetTableMegabytes(DefaultTableMegabytes);
}

void SearchContext::SetTableMegabytes(size_t megabytes) {
  const size_t bytes = megabytes << 20;
  pathScores.Resize(bytes / 8 * 3);
  searchedReplies.Resize(bytes / 8 * 3);
  vcfCache.Resize(bytes / 4);
}

MasterSearch& SearchContext::master() {
  if (!master_) master_ = std::make_unique<MasterSearch>(masterMegabytes_);
  return *master_;
}

void SearchContext::SetMasterTableMegabytes(size_t megabytes) {
  masterMegabytes_ = megabytes == 0 ? 1 : megabytes;
  if (master_) master_->SetTableMegabytes(masterMegabytes_);
}

}  // namespace tesmor
