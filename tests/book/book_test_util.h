#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

#include "book/book_format.h"
#include "book/book_text.h"

namespace tesmor::test {

// The book file of the given records, after the usual header.
std::vector<uint8_t> BookBytes(std::initializer_list<uint8_t> records);

// The tree of a text that must parse.
BookTree TreeOf(const char* text);

// A valid tree of about nodeCount nodes near the centre, with marks of every kind and now and
// then a repeated sibling.
BookTree RandomBookTree(std::mt19937& rng, int nodeCount);

}  // namespace tesmor::test
