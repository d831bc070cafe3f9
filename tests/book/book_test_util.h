#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "book/book_format.h"
#include "book/book_text.h"

namespace tesmor::test {

// The book file of the given records after the header; copied, as GCC 12 -O3 warns on an insert.
inline std::vector<uint8_t> BookBytes(std::initializer_list<uint8_t> records) {
  std::vector<uint8_t> bytes(BookHeader.size() + records.size());
  const auto afterHeader = std::copy(BookHeader.begin(), BookHeader.end(), bytes.begin());
  std::copy(records.begin(), records.end(), afterHeader);
  return bytes;
}

// The tree of a text that must parse.
inline BookTree TreeOf(const char* text) {
  BookTextResult parsed = ParseBookText(text);
  EXPECT_TRUE(parsed.ok) << parsed.error;
  return parsed.tree;
}

// Grows a level of a random tree below the moves of path, within the budget of nodes.
inline void GrowBookLevel(std::mt19937& rng, BookTree& level, std::vector<int>& path, int& budget) {
  constexpr std::string_view Marks = "ABCDEFGabcdefgh!?#$@*0123456789";
  for (int i = 1 + static_cast<int>(rng() % 3); i > 0 && budget > 0; --i) {
    int point = 0;
    do {
      point = PointIndex(3 + static_cast<int>(rng() % 9), 3 + static_cast<int>(rng() % 9));
    } while (std::find(path.begin(), path.end(), point) != path.end());
    if (!level.empty() && rng() % 10 == 0) point = level.back().point;  // a repeated sibling
    uint8_t mark = rng() % 2 == 0 ? static_cast<uint8_t>(Marks[rng() % Marks.size()]) : 0;
    if (rng() % 10 == 0) mark = static_cast<uint8_t>(1 + rng() % 255);
    level.push_back(BookNode{point, mark, {}});
    --budget;
    if (rng() % 3 == 0 || path.size() >= 40) continue;
    path.push_back(point);
    GrowBookLevel(rng, level.back().children, path, budget);
    path.pop_back();
  }
}

// A valid tree of about nodeCount nodes, marks of every kind, now and then a repeated sibling.
inline BookTree RandomBookTree(std::mt19937& rng, int nodeCount) {
  BookTree tree;
  std::vector<int> path;
  while (nodeCount > 0) GrowBookLevel(rng, tree, path, nodeCount);
  return tree;
}

}  // namespace tesmor::test
