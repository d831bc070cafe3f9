#include "book_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "board/board.h"

namespace tesmor::test {

namespace {

void Grow(std::mt19937& rng, std::vector<BookNode>& level, std::vector<int>& path, int& budget) {
  constexpr std::string_view Marks = "ABCDEFGabcdefgh!?#$@*0123456789";
  const int width = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < width && budget > 0; ++i) {
    int point = 0;
    do {
      point = PointIndex(3 + static_cast<int>(rng() % 9), 3 + static_cast<int>(rng() % 9));
    } while (std::find(path.begin(), path.end(), point) != path.end());
    if (!level.empty() && rng() % 10 == 0) point = level.back().point;
    uint8_t mark = 0;
    if (rng() % 2 == 0) mark = static_cast<uint8_t>(Marks[rng() % Marks.size()]);
    if (rng() % 10 == 0) mark = static_cast<uint8_t>(1 + rng() % 255);
    level.push_back(BookNode{point, mark, {}});
    --budget;
    if (rng() % 3 == 0 || path.size() >= 40) continue;
    path.push_back(point);
    Grow(rng, level.back().children, path, budget);
    path.pop_back();
  }
}

}  // namespace

std::vector<uint8_t> BookBytes(std::initializer_list<uint8_t> records) {
  std::vector<uint8_t> bytes(BookHeader.begin(), BookHeader.end());
  for (const uint8_t byte : records) bytes.push_back(byte);
  return bytes;
}

BookTree TreeOf(const char* text) {
  BookTextResult parsed = ParseBookText(text);
  EXPECT_TRUE(parsed.ok) << parsed.error;
  return parsed.tree;
}

BookTree RandomBookTree(std::mt19937& rng, int nodeCount) {
  BookTree tree;
  std::vector<int> path;
  while (nodeCount > 0) Grow(rng, tree, path, nodeCount);
  return tree;
}

}  // namespace tesmor::test
