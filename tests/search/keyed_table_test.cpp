#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "search/computer_move.h"
#include "search/keyed_table.h"
#include "search/path_keys.h"
#include "search/search_context.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

TEST(KeyedTable, StoresClearsAndReplaces) {
  KeyedTable<int32_t> table(64 * 1024);
  const size_t bytes = table.bytes();
  std::mt19937_64 rng(5);
  std::vector<uint64_t> keys(1000);
  for (uint64_t& key : keys) key = rng();
  for (size_t i = 0; i < keys.size(); ++i) table.Store(keys[i], static_cast<int32_t>(i));
  EXPECT_EQ(table.replacements(), 0u);
  for (size_t i = 0; i < keys.size(); ++i) {
    const int32_t* found = table.Find(keys[i]);
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(*found, static_cast<int32_t>(i));
  }
  table.Store(keys[7], -1);
  EXPECT_EQ(*table.Find(keys[7]), -1) << "a second store of a key overwrites it";

  table.Clear();
  for (uint64_t key : keys) EXPECT_EQ(table.Find(key), nullptr);

  for (int i = 0; i < 100000; ++i) {
    const uint64_t key = rng();
    table.Store(key, i);
    const int32_t* found = table.Find(key);
    ASSERT_TRUE(found && *found == i) << "the newest key is always kept";
  }
  EXPECT_GT(table.replacements(), 0u);
  EXPECT_EQ(table.bytes(), bytes);

  // A large table starts small and grows: the keys stored before a growth stay, those cleared
  // before it stay gone.
  KeyedTable<int32_t> growing(64 << 20);
  std::vector<uint64_t> cleared(1000);
  for (uint64_t& key : cleared) growing.Store(key = rng(), -1);
  growing.Clear();
  std::vector<uint64_t> many(300000);
  for (size_t i = 0; i < many.size(); ++i) growing.Store(many[i] = rng(), static_cast<int32_t>(i));
  EXPECT_EQ(growing.replacements(), 0u);
  int lost = 0;
  for (size_t i = 0; i < many.size(); ++i) {
    const int32_t* found = growing.Find(many[i]);
    lost += !found || *found != static_cast<int32_t>(i);
  }
  for (uint64_t key : cleared) lost += growing.Find(key) != nullptr;
  EXPECT_EQ(lost, 0);

  // Nine keys that share their first probed slot until the table is four times its first size:
  // it grows past that rather than replace one.
  KeyedTable<int32_t> crowded(1 << 20);
  for (uint64_t j = 0; j < 9; ++j) crowded.Store(j << 47 | j, static_cast<int32_t>(j));
  EXPECT_EQ(crowded.replacements(), 0u);
  for (uint64_t j = 0; j < 9; ++j) lost += crowded.Find(j << 47 | j) == nullptr;
  EXPECT_EQ(lost, 0);

  // A block given up, by a new size or by the end of its table, serves the next table of its
  // size unzeroed: nothing stored before shows in the new one.
  std::vector<uint64_t> given(1000);
  TableBlocks pool(size_t{1} << 20);
  {
    KeyedTable<int32_t> first(48000, &pool);
    for (uint64_t& key : given) first.Store(key = rng(), 1);
    first.Resize(48000);
    for (uint64_t key : given) lost += first.Find(key) != nullptr;
    for (uint64_t key : given) first.Store(key, 1);
  }
  KeyedTable<int32_t> second(48000, &pool);
  for (uint64_t key : given) lost += second.Find(key) != nullptr;
  EXPECT_EQ(second.Slot(given[0]), 0) << "a slot over a given-up entry starts empty";
  EXPECT_EQ(lost, 0);

  KeyedTable<PointSet> sets(4096);
  sets.Slot(1).Add(3);
  sets.Clear();
  EXPECT_FALSE(sets.Slot(1).Has(3)) << "a cleared key's slot starts empty";
}

TEST(PathKeys, SequencesKeepTheirOrder) {
  EXPECT_NE(ExtendPathKey(ExtendPathKey(0, 10), 20), ExtendPathKey(ExtendPathKey(0, 20), 10));
  EXPECT_NE(ExtendPathKey(0, 0), 0u);
}

// Overflowing caches still give a legal move; caches that hold everything, the same nodes.
TEST(KeyedTable, SearchesWithSmallAndLargeCaches) {
  const GameState start = test::FromMoves(
      {"H8", "H9", "J10", "I9", "G9", "I7", "I10", "H10", "G11", "K7", "G8", "G10"}, false);
  struct Outcome {
    int answer;
    int64_t nodes;
    uint64_t replaced;
  };
  auto search = [&](size_t megabytes) {
    SequenceRandom random({1});
    SearchContext context(random, nullptr, nullptr);
    context.SetTableMegabytes(megabytes);
    context.settings.rifRules = false;
    context.settings.useBook = false;
    GameState game = start;
    const int answer = ChooseComputerMove(context, game, 7 + 4);
    EXPECT_EQ(game, start) << megabytes << " MB";
    return Outcome{answer, context.nodeCount + context.vcfNodes, context.TableReplacements()};
  };
  const Outcome tiny = search(0);
  EXPECT_GT(tiny.replaced, 0u);
  EXPECT_TRUE(test::IsLegalMove(start, tiny.answer));

  const Outcome usual = search(SearchContext::DefaultTableMegabytes);
  const Outcome large = search(4 * SearchContext::DefaultTableMegabytes);
  ASSERT_EQ(usual.replaced, 0u);
  EXPECT_EQ(usual.nodes, large.nodes);
  EXPECT_EQ(usual.answer, large.answer);
}

}  // namespace
}  // namespace tesmor
