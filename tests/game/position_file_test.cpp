#include "game/position_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("tesmor_") + std::to_string(::getpid()) + "_" + name))
      .string();
}

TEST(PositionFile, ByteLayoutAndRoundTrip) {
  GameState empty;
  ClearGameState(empty);
  EXPECT_EQ(PositionBytes(empty), std::vector<uint8_t>{0});

  const GameState game =
      test::FromMoves({"H8", "H9", "J10", "A1", "O15", "B2", "C3", "D4", "E5", "F6", "G7", "K2"});
  const std::vector<uint8_t> bytes = PositionBytes(game);
  ASSERT_EQ(bytes.size(), 13u);
  EXPECT_EQ(bytes[0], 12);
  EXPECT_EQ(bytes[1], 112);  // H8 as a CellIndex
  EXPECT_EQ(bytes[2], CellIndex(8, 7));
  EXPECT_EQ(bytes[5], CellIndex(14, 14));

  const std::string path = TempPath("round.pos");
  std::string error;
  ASSERT_TRUE(WritePositionFile(path, game, &error)) << error;
  const PositionFileResult read = ReadPositionFile(path);
  ASSERT_TRUE(read.ok) << read.error;
  GameState loaded;
  ClearGameState(loaded);
  loaded.focusRow = 3;
  loaded.history[20] = {1, 1};
  ApplyPositionFile(loaded, read.file);
  EXPECT_EQ(loaded.cells, game.cells);
  EXPECT_EQ(loaded.moveCount, 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(loaded.history[i], game.history[i]);
  EXPECT_EQ(loaded.focusRow, 3);                      // untouched by the loader
  EXPECT_EQ(loaded.history[20], (MoveRecord{1, 1}));  // later entries too
  std::remove(path.c_str());
}

TEST(PositionFile, MalformedFilesAreRefusedAsAWhole) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty file", {}},
      {"shorter than its count", {3, 112, 113}},
      {"count above 225", {226}},
      {"count 255 with bytes", std::vector<uint8_t>(256, 0)},
      {"move byte 225", {2, 112, 225}},
      {"move byte 255", {1, 255}},
      {"repeated point", {3, 112, 113, 112}},
      {"trailing bytes", {1, 112, 0}},
  };
  for (const Case& c : cases) {
    const PositionFileResult result = ParsePositionBytes(c.bytes);
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_FALSE(result.error.empty()) << c.what;
  }
  EXPECT_TRUE(ParsePositionBytes({0}).ok);
  std::vector<uint8_t> full{225};
  for (int i = 0; i < 225; ++i) full.push_back(static_cast<uint8_t>(i));
  EXPECT_TRUE(ParsePositionBytes(full).ok);

  EXPECT_FALSE(ReadPositionFile(TempPath("does-not-exist.pos")).ok);
}

TEST(PositionFile, RandomCorruptionNeverGetsPastTheChecks) {
  std::mt19937 rng(42);
  int accepted = 0;
  for (int round = 0; round < 5000; ++round) {
    GameState game = test::RandomPosition(rng, static_cast<int>(rng() % 80), false);
    std::vector<uint8_t> bytes = PositionBytes(game);
    const int edits = 1 + static_cast<int>(rng() % 3);
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 3) {
        case 0:
          bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
          break;
        case 1:
          bytes.resize(rng() % (bytes.size() + 1));
          break;
        default:
          bytes.push_back(static_cast<uint8_t>(rng()));
          break;
      }
      if (bytes.empty()) break;
    }
    const PositionFileResult result = ParsePositionBytes(bytes);
    if (!result.ok) continue;
    ++accepted;
    // Whatever is accepted is a position on this board with no point twice.
    ASSERT_EQ(result.file.moves.size() + 1, bytes.size());
    GameState applied;
    ClearGameState(applied);
    ApplyPositionFile(applied, result.file);
    int stones = 0;
    for (int32_t cell : applied.cells) stones += cell != Empty;
    ASSERT_EQ(stones, applied.moveCount);
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace tesmor
