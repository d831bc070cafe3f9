#include "search/search_context.h"

namespace tesmor {

SearchContext::SearchContext(RandomSource& random, const OpeningBook* book, std::ostream* console)
    : random_(random), book_(book), console_(console) {}

}  // namespace tesmor
