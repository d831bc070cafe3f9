// The game record as text: written, read back, and refused as a whole when anything is wrong.
#include "board/move_text.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace tesmor {
namespace {

using Strings = std::vector<std::string>;

// A screen with a clipboard.
struct ClipboardHost : test::FakeHost {
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  std::string ClipboardText() override { return clipboard; }
  std::string clipboard;
};

struct ClipboardFixture {
  ClipboardHost host;
  test::ScriptedComputer computer;
  SequenceRandom random{{1}};
  Controller controller{host, computer, random};
};

TEST(RecordText, CopyAndPasteRoundTrip) {
  ClipboardFixture f;
  f.controller.Start();
  f.controller.Command(CmdRulesFree);
  f.controller.Command(CmdTwoPlayers);
  for (const char* p : {"H8", "I9", "J10", "A15", "O1"})
    f.controller.BoardClick({PointRow(test::P(p)), PointCol(test::P(p))});
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
  EXPECT_EQ(f.controller.game().cell(PointRow(test::P("O1")), PointCol(test::P("O1"))), Empty);
}

TEST(RecordText, FaultyTextIsRefusedWithItsReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"H8 I9 Z3", "棋谱读取失败！\n无法识别的落点：Z3"},
      {"H8 I9 H16", "棋谱读取失败！\n无法识别的落点：H16"},
      {"H8 I9 h8", "棋谱读取失败！\n重复的落点：h8"},
      {" \n, ", "棋谱读取失败！\n剪贴板中没有棋谱"},
  };
  ClipboardFixture f;
  f.controller.Start();
  f.controller.BoardClick({7, 7});
  f.host.TakeTexts();
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
