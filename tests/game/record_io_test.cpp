// The game record as a position file and as text: written, read back, and refused as a whole
// when anything is wrong.
#include <gtest/gtest.h>

#include "board/move_text.h"
#include "fake_host.h"
#include "game/position_file.h"

namespace tesmor {
namespace {

using Strings = std::vector<std::string>;

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

TEST(RecordText, CopyAndPasteRoundTrip) {
  test::ControllerFixture f;
  f.Start(CmdRulesFree, true);
  f.Clicks({"H8", "I9", "J10", "A15", "O1"});
  f.controller.Command(CmdCopyRecord);
  EXPECT_EQ(f.host.clipboard, "H8 I9 J10 A15 O1");
  const GameState copied = f.controller.game();
  f.controller.Command(CmdTwoPlayers);
  f.host.clipboard = " h8,i9  J10\nA15 o1 ";  // as a person might write it
  f.controller.Command(CmdPasteRecord);
  EXPECT_EQ(f.controller.game().cells, copied.cells);
  EXPECT_EQ(f.controller.game().moveCount, 5);
  EXPECT_EQ(f.controller.displayCells(), copied.cells);
  f.controller.Command(CmdTakeBack);  // the last pasted stone is the newest
  EXPECT_EQ(f.Cell("O1"), Empty);
}

TEST(RecordText, FaultyTextIsRefusedWithItsReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"H8 I9 Z3", "棋谱读取失败！\n无法识别的落点：Z3"},
      {"H8 I9 H16", "棋谱读取失败！\n无法识别的落点：H16"},
      {"H8 I9 h8", "棋谱读取失败！\n重复的落点：h8"},
      {" \n, ", "棋谱读取失败！\n剪贴板中没有棋谱"},
  };
  test::ControllerFixture f;
  f.Start();
  f.Click("H8");
  const GameState before = f.controller.game();
  for (const auto& [text, box] : cases) {
    f.host.clipboard = text;
    f.controller.Command(CmdPasteRecord);
    EXPECT_EQ(f.host.TakeTexts(), Strings{box});
    EXPECT_EQ(f.controller.game(), before);
  }
  // More moves than points: every point once, then one again.
  GameState full;
  ClearGameState(full);
  std::string text;
  for (int p = 0; p < CellCount; ++p) text += PointText(p) + " ";
  MoveTextError error;
  ASSERT_TRUE(ReadMoveList(text, full, error));
  EXPECT_EQ(full.moveCount, CellCount);
  EXPECT_EQ(MoveListText(full) + " ", text);
  EXPECT_FALSE(ReadMoveList(text + "H8", full, error));
  EXPECT_EQ(error.fault, MoveTextFault::PlayedTwice);
}

}  // namespace
}  // namespace tesmor
