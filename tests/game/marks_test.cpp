// The board's marks: forbidden points, the stones that decided a game, and whole-turn take-backs.
#include "game/marks.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "game/position_file.h"
#include "support/scratch_dir.h"

namespace tesmor {
namespace {

using test::ControllerFixture;
using test::FromDiagram;
using Strings = std::vector<std::string>;

std::string Points(const std::vector<BoardPoint>& points) {
  std::string text;
  for (const BoardPoint p : points)
    text += (text.empty() ? "" : " ") + PointText(PointIndex(p.row, p.col));
  return text;
}

// The marked points in CellIndex order, each with a letter for its kind.
std::string Marks(const Controller& controller) {
  std::string text;
  for (int cell = 0; cell < CellCount; ++cell) {
    const CellMark mark = controller.marks()[cell];
    if (mark == CellMark::None) continue;
    text += text.empty() ? "" : " ";
    text += PointText(PointIndex(cell / BoardSize, cell % BoardSize));
    text += "FWXP"[static_cast<int>(mark) - 1];
  }
  return text;
}

TEST(Marks, ForbiddenPointsAndFiveStones) {
  struct Case {
    std::initializer_list<const char*> rows;
    bool forbiddenRules;
    const char* forbidden;  // every empty point forbidden to Black, row by row
  };
  const Case cases[] = {
      {{"......", "..XX..", "......", ".X....", ".X....", "......"}, true, "B5"},  // three-three
      {{"..X....", "..X....", "..X....", ".......", "XX.X...", ".......", "......."},
       true,
       "C3"},                                        // four-four; C4 and C8 make one four each
      {{"......", "XXX.XX", "......"}, true, "D2"},  // overline
      {{"......", "XXX.XX", "......"}, false, ""},
      {{"......", "..XX..", "......", ".X....", ".X....", "......"}, false, ""},
  };
  for (const Case& c : cases) {
    test::Diagram d = FromDiagram(c.rows, "A1", c.forbiddenRules);
    const GameState before = d.state;
    EXPECT_EQ(Points(ForbiddenPoints(d.state)), c.forbidden) << *c.rows.begin();
    EXPECT_EQ(d.state, before);
  }
  struct FiveCase {
    std::initializer_list<const char*> black;
    const char* at;
    bool forbiddenRules;
    const char* five;
  };
  const FiveCase fives[] = {
      {{"C3", "D3", "E3", "F3", "G3"}, "E3", true, "E3 C3 D3 F3 G3"},
      {{"C3", "D3", "E3", "F3", "G3", "H3"}, "E3", true, ""},  // Black's overline is no five
      {{"C3", "D3", "E3", "F3", "G3", "H3"}, "E3", false, "E3 C3 D3 F3 G3 H3"},
      {{"C3", "D3", "E3", "F3", "G3"}, "H4", true, ""},  // not a stone
      // Two fives crossing: the shared stone listed once.
      {{"C3", "D3", "E3", "F3", "G3", "E1", "E2", "E4", "E5"},
       "E3",
       true,
       "E3 C3 D3 F3 G3 E1 E2 E4 E5"},
  };
  for (const FiveCase& c : fives) {
    const int at = test::P(c.at);
    EXPECT_EQ(Points(FiveStones(test::FromStones(c.black, {}, c.forbiddenRules), PointRow(at),
                                PointCol(at))),
              c.five)
        << c.at;
  }
}

TEST(Marks, ForbiddenPointsFollowTheGame) {
  ControllerFixture f;
  f.Start(CmdRulesForbidden, true);
  f.Clicks({"F8", "A1", "G8", "A15", "H6", "O1", "H7"});
  EXPECT_EQ(Marks(f.controller), "");  // White to move
  f.Click("O15");
  EXPECT_EQ(Marks(f.controller), "H8F");
  const GameState position = f.controller.game();
  f.Click("H8");
  EXPECT_EQ(f.host.TakeTexts(), Strings{"白方胜！（黑方三·三禁手）"});
  EXPECT_EQ(Marks(f.controller), "H8X");
  f.controller.RightClick();
  EXPECT_EQ(Marks(f.controller), "H8F");
  f.controller.Command(CmdMarkForbidden);
  EXPECT_EQ(Marks(f.controller), "");
  EXPECT_FALSE(f.controller.MenuChecked(CmdMarkForbidden));
  f.controller.Command(CmdMarkForbidden);
  f.controller.Command(CmdRulesFree);
  EXPECT_EQ(Marks(f.controller), "");
  f.controller.Command(CmdRulesForbidden);
  EXPECT_EQ(Marks(f.controller), "H8F");
  f.controller.Command(CmdTwoPlayers);
  EXPECT_EQ(Marks(f.controller), "");

  const test::ScratchDir dir("tesmor_marks_");
  ASSERT_TRUE(WritePositionFile(dir.Path("game.pos"), position, nullptr));
  f.host.dialogAnswer = dir.Path("game.pos");
  f.controller.Command(CmdOpen);
  EXPECT_EQ(Marks(f.controller), "H8F");
}

TEST(Marks, WinningFiveStaysUntilTakeBackOrNewGame) {
  ControllerFixture f;
  f.Start(CmdRulesFree, true);
  f.Clicks({"H8", "A1", "H9", "A2", "H10", "A3", "H12", "A4"});
  f.Click("H11");
  EXPECT_EQ(f.host.TakeTexts(), Strings{"黑方胜！"});
  EXPECT_EQ(f.controller.panel().Get(PanelTurnLine), "对局结束");
  EXPECT_EQ(Marks(f.controller), "H8W H9W H10W H11W H12W");
  f.controller.Command(CmdTakeBack);
  EXPECT_EQ(Marks(f.controller), "");
  f.Click("H11");
  f.controller.Command(CmdTwoPlayers);
  EXPECT_EQ(Marks(f.controller), "");
}

// "悔一回合": two stones, or one after the human's winning stone; refused when too few.
TEST(Marks, TakeBackTurnKeepsTheHumansColour) {
  ControllerFixture f;
  f.Start(CmdRulesFree);
  f.Click("H8");
  f.Answer(test::P("I9"));
  f.Click("H9");
  f.Answer(test::P("I10"));
  f.controller.Command(CmdTakeBackTurn);
  EXPECT_EQ(f.Moves(), 2);
  EXPECT_EQ(f.Cell("H9"), Empty);
  EXPECT_EQ(f.Cell("I10"), Empty);
  f.controller.Command(CmdTakeBackTurn);
  f.controller.Command(CmdTakeBackTurn);
  EXPECT_EQ(f.Moves(), 0);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"无法悔棋！"});
  const char* human[] = {"H8", "H9", "H10", "H11"};
  const char* computer[] = {"A1", "A2", "A3", "A4"};
  for (int i = 0; i < 4; ++i) {
    f.Click(human[i]);
    f.Answer(test::P(computer[i]));
  }
  EXPECT_EQ(f.Cell("H8"), Black);
  f.Click("H12");
  EXPECT_EQ(f.host.TakeTexts(), Strings{"黑方胜！"});
  f.controller.Command(CmdTakeBackTurn);  // the human's winning stone alone
  EXPECT_EQ(f.Moves(), 8);
  EXPECT_EQ(f.Cell("A4"), White);

  // Playing White, the computer's first stone is no whole turn.
  f.computer.moves = {ComputerAnswer::Play(test::P("H8"))};
  f.controller.Command(CmdPlayWhite);
  f.controller.Command(CmdTakeBackTurn);
  EXPECT_EQ(f.Moves(), 1);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"无法悔棋！"});
  // Between two humans, one move of each.
  f.controller.Command(CmdTwoPlayers);
  f.Clicks({"H8", "H9", "H10"});
  f.controller.Command(CmdTakeBackTurn);
  EXPECT_EQ(f.Moves(), 1);
}

}  // namespace
}  // namespace tesmor
