// The game record as text: written, read back, and refused as a whole when anything is wrong.
#include "board/move_text.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace tesmor {
namespace {

using Strings = std::vector<std::string>;

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
