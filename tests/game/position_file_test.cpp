#include "game/position_file.h"

#include <gtest/gtest.h>

#include "support/diagram.h"

namespace tesmor {
namespace {

// Writing and reading files is played through the controller's dialogs.
TEST(PositionFile, ByteLayoutAndRoundTrip) {
  EXPECT_EQ(PositionBytes(test::FromMoves({})), std::vector<uint8_t>{0});
  const GameState game = test::FromMoves({"H8", "H9", "J10", "A1", "O15", "B2", "C3", "D4"});
  const std::vector<uint8_t> bytes = PositionBytes(game);
  // The count, then each move's CellIndex: H8 is 112, H9 127, J10 144.
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6),
            (std::vector<uint8_t>{8, 112, 127, 144, 0, 224}));
  const PositionFileResult read = ParsePositionBytes(bytes);
  ASSERT_TRUE(read.ok) << read.error;
  GameState loaded;
  ClearGameState(loaded);
  RecordMove(loaded, 0, 0);  // a record with a stone and a focus of its own
  loaded.focusRow = 3;
  ApplyPositionFile(loaded, read.file);
  EXPECT_EQ(loaded.cells, game.cells);
  EXPECT_EQ(loaded.moveCount, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(loaded.history[i], game.history[i]);
  EXPECT_EQ(loaded.Key(), game.Key());
  // The loader leaves the focus alone.
  EXPECT_EQ(loaded.focusRow, 3);
}

TEST(PositionFile, MalformedFilesAreRefusedAsAWhole) {
  const std::vector<uint8_t> cases[] = {
      {},                            // empty file
      {3, 112, 113},                 // shorter than its count
      {226},                         // count above 225
      std::vector<uint8_t>(256, 0),  // count 255 with bytes
      {2, 112, 225},                 // move byte 225
      {1, 255},                      // move byte 255
      {3, 112, 113, 112},            // a point twice
      {1, 112, 0},                   // trailing bytes
  };
  for (const std::vector<uint8_t>& bytes : cases) {
    const PositionFileResult result = ParsePositionBytes(bytes);
    EXPECT_FALSE(result.ok) << bytes.size();
    EXPECT_FALSE(result.error.empty());
  }
  std::vector<uint8_t> full{225};
  for (int i = 0; i < 225; ++i) full.push_back(static_cast<uint8_t>(i));
  EXPECT_TRUE(ParsePositionBytes(full).ok);
  const PositionFileResult missing = ReadPositionFile("/nonexistent/tesmor/none.pos");
  EXPECT_FALSE(missing.ok || missing.error.empty());
}

}  // namespace
}  // namespace tesmor
