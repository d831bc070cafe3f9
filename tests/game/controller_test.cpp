#include "game/controller.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_host.h"
#include "game/position_file.h"

namespace tesmor {
namespace {

using test::ControllerFixture;
using test::P;
using Strings = std::vector<std::string>;

TEST(Controller, StartsAsBlackUnderRifAtLevelEightWithTheInitialMenu) {
  ControllerFixture f;
  f.computer.bookLoads = false;
  f.Start();
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "棋谱读取失败！");
  EXPECT_EQ(f.host.boxes[0].caption, "提示信息");
  EXPECT_EQ(f.host.boxes[0].icon, MessageIcon::Exclamation);

  for (int command :
       {CmdModeComputer, CmdRulesRif, CmdLevel8, CmdFastSearch, CmdShowNumbers, CmdUseBook})
    EXPECT_TRUE(f.host.checkedItems[command]) << command;
  for (int command :
       {CmdModeTwoPlayers, CmdRulesFree, CmdRulesForbidden, CmdLevel9, CmdExactSearch})
    EXPECT_FALSE(f.controller.MenuChecked(command)) << command;
  EXPECT_FALSE(f.host.enabledItems[CmdLevel0]);
  EXPECT_FALSE(f.host.enabledItems[CmdUseBook]);
  EXPECT_TRUE(f.controller.MenuEnabled(CmdLevel1));
  EXPECT_EQ(f.host.buttonImages[1], ImageComputer);
  EXPECT_EQ(f.host.buttonImages[2], ImageRif);
  EXPECT_EQ(f.host.buttonImages[6], ImageStop);

  EXPECT_TRUE(f.controller.gameInProgress());
  EXPECT_EQ(f.controller.playMode(), HumanBlack);
  EXPECT_EQ(f.controller.level(), 9);
  EXPECT_TRUE(f.controller.game().forbiddenRulesOn);
  EXPECT_EQ(f.controller.panel().Get(3), "0手");
  EXPECT_EQ(f.controller.panel().Get(0), "开局：");
}

TEST(Controller, ComputerTurnBusyNoticeAndIgnoredClicks) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesFree);
  EXPECT_EQ(f.host.buttonImages[2], ImageFree);
  EXPECT_FALSE(f.controller.game().forbiddenRulesOn);
  EXPECT_TRUE(f.controller.MenuEnabled(CmdLevel0));
  f.controller.Command(CmdLevel3);
  f.controller.Command(CmdExactSearch);

  f.controller.Command(CmdStop);  // while idle: must not reach the next computation
  f.Click("H8");
  EXPECT_FALSE(f.controller.stopRequested());
  EXPECT_EQ(f.Cell("H8"), Black);
  EXPECT_EQ(f.host.beeps, 1);
  EXPECT_TRUE(f.controller.computing());
  ASSERT_EQ(f.host.workers, std::vector<WorkerKind>{WorkerKind::ComputerMove});

  // While the computer thinks: clicks are ignored, guarded commands refused, the rest works.
  f.Click("A1");
  f.controller.RightClick();
  EXPECT_EQ(f.controller.game().moveCount, 1);
  for (int command : {CmdPlayBlack, CmdTakeBack, CmdRulesRif, CmdLevel2, CmdOpen, CmdSave, CmdHint,
                      CmdVcf, CmdFastSearch, CmdModeTwoPlayers})
    f.controller.Command(command);
  for (int button : {0, 1, 2, 3, 4, 5, 7}) f.controller.ToolbarButton(button);
  const Strings busy = f.host.TakeTexts();
  EXPECT_EQ(busy.size(), 17u);
  for (const std::string& text : busy) EXPECT_EQ(text, "计算中，暂时无法使用该功能！");
  EXPECT_EQ(f.controller.level(), 4);
  f.controller.Command(CmdShowNumbers);
  EXPECT_FALSE(f.controller.showNumbers());
  f.controller.Command(CmdUseBook);
  EXPECT_FALSE(f.controller.useBook());
  f.controller.ToolbarButton(StopButton);
  EXPECT_TRUE(f.controller.stopRequested());

  f.computer.moves = {P("I9")};
  f.RunWorker();
  EXPECT_FALSE(f.controller.computing());
  EXPECT_EQ(f.Cell("I9"), White);
  ASSERT_EQ(f.computer.requests.size(), 1u);
  EXPECT_EQ(f.computer.requests[0].levelArg, 10);
  EXPECT_EQ(f.computer.requests[0].settings.searchMode, CmdExactSearch);
  EXPECT_FALSE(f.computer.requests[0].settings.rifRules);
  EXPECT_TRUE(f.computer.requests[0].settings.useBook);  // as it was when the search started
  EXPECT_EQ(f.computer.positions[0].moveCount, 1);
  // The search's progress reached the panel and its line was redrawn.
  EXPECT_EQ(f.controller.panel().Get(5), "2");
  EXPECT_NE(std::find(f.host.panelLines.begin(), f.host.panelLines.end(), 5),
            f.host.panelLines.end());
  EXPECT_EQ(f.controller.panel().Get(3), "2手");
  f.ExpectDisplayInSync();
}

// Two players under the given rules command; the moves are played in turn.
void PlayTwoPlayerGame(ControllerFixture& f, int rules, std::initializer_list<const char*> moves) {
  f.Start();
  f.controller.Command(rules);
  f.controller.Command(CmdTwoPlayers);
  f.host.TakeTexts();
  f.Clicks(moves);
}

TEST(Controller, ResultsByFiveForbiddenMovesAndResignation) {
  struct Case {
    const char* what;
    int rules;
    std::initializer_list<const char*> moves;
    const char* result;
  };
  const Case cases[] = {
      {"Black five",
       CmdRulesForbidden,
       {"H8", "A1", "I8", "A2", "J8", "A3", "K8", "A4", "L8"},
       "黑方胜！"},
      {"White five",
       CmdRulesRif,
       {"H8", "A1", "I8", "A2", "J8", "A3", "K8", "A4", "B9", "A5"},
       "白方胜！"},
      {"three-three",
       CmdRulesForbidden,
       {"H8", "A1", "H9", "A3", "J10", "A5", "K10", "A7", "H10"},
       "白方胜！（黑方三·三禁手）"},
      {"four-four",
       CmdRulesForbidden,
       {"H8", "A1", "H9", "A3", "H10", "A5", "J11", "A7", "K11", "A9", "L11", "A11", "H11"},
       "白方胜！（黑方四·四禁手）"},
      {"overline",
       CmdRulesForbidden,
       {"C3", "A1", "D3", "A3", "E3", "A5", "G3", "A7", "H3", "A9", "F3"},
       "白方胜！（黑方长连禁手）"},
      {"overline without forbidden moves wins",
       CmdRulesFree,
       {"C3", "A1", "D3", "A3", "E3", "A5", "G3", "A7", "H3", "A9", "F3"},
       "黑方胜！"},
      {"exact five with a four-four",
       CmdRulesForbidden,
       {"H7",  "A1",  "H8",  "A3",  "H9",  "A5",  "H10", "A7",  "J11", "A9", "K11",
        "A11", "L11", "A13", "I12", "A15", "J13", "O1",  "K14", "O3",  "H11"},
       "黑方胜！"},
  };
  for (const Case& c : cases) {
    ControllerFixture f;
    PlayTwoPlayerGame(f, c.rules, c.moves);
    ASSERT_EQ(f.host.boxes.size(), 1u) << c.what;
    EXPECT_EQ(f.host.boxes[0].text, c.result) << c.what;
    EXPECT_EQ(f.host.boxes[0].caption, "游戏结束");
    EXPECT_EQ(f.host.boxes[0].icon, MessageIcon::Information);
    EXPECT_FALSE(f.controller.gameInProgress()) << c.what;
    // After a result clicks do nothing; a take-back reopens the game.
    const int count = f.controller.game().moveCount;
    f.Click("O15");
    EXPECT_EQ(f.controller.game().moveCount, count);
    f.controller.Command(CmdTakeBack);
    EXPECT_TRUE(f.controller.gameInProgress());
    EXPECT_EQ(f.controller.game().moveCount, count - 1);
    f.ExpectDisplayInSync();
  }

  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesFree);
  f.Click("H8");
  f.computer.moves = {Resign};
  f.host.TakeTexts();
  f.RunWorker();
  EXPECT_EQ(f.host.TakeTexts(), Strings{"黑方胜！（白方认输）"});
  EXPECT_FALSE(f.controller.gameInProgress());
}

TEST(Controller, TheTwoHundredTwentyFifthStoneIsADraw) {
  // Columns coloured in pairs, shifted by one every row: no five anywhere, 113 Black stones.
  std::vector<int> black;
  std::vector<int> white;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      (((col + (2 * row + 1) % 4) / 2) % 2 ? black : white).push_back(PointIndex(row, col));
  ASSERT_EQ(black.size(), 113u);
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesFree);
  f.controller.Command(CmdTwoPlayers);
  for (size_t i = 0; i < 225; ++i) {
    const int p = i % 2 == 0 ? black[i / 2] : white[i / 2];
    f.controller.LeftClick(PointX(PointCol(p)), PointY(PointRow(p)));
  }
  EXPECT_EQ(f.controller.game().moveCount, 225);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"和棋！"});
}

TEST(Controller, TakeBackRules) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdTakeBack);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"无法悔棋！"});

  f.controller.Command(CmdRulesForbidden);
  f.Click("H8");
  f.computer.moves = {P("I9")};
  f.RunWorker();
  f.host.invalidated.clear();
  f.controller.RightClick();  // takes the computer's stone back
  EXPECT_EQ(f.Cell("I9"), Empty);
  EXPECT_EQ(f.controller.game().moveCount, 1);
  ASSERT_GE(f.host.invalidated.size(), 2u);
  EXPECT_TRUE(f.host.invalidated[0].erase);
  EXPECT_EQ(f.host.invalidated[1].row, 7);
  EXPECT_FALSE(f.host.invalidated[1].erase);
  EXPECT_EQ(f.controller.newestStone(), (MoveRecord{7, 7}));
  EXPECT_TRUE(f.host.workers.empty());  // the computer waits

  // The human now plays the computer's side: the stone is White and the computer answers.
  f.Click("G7");
  EXPECT_EQ(f.Cell("G7"), White);
  EXPECT_EQ(f.host.workers.size(), 1u);
  f.computer.moves = {P("J10")};
  f.RunWorker();
  EXPECT_EQ(f.Cell("J10"), Black);
  f.ExpectDisplayInSync();
}

TEST(Controller, RulesModeAndLevelCommandsMidGame) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesForbidden);
  f.controller.Command(CmdLevel0);
  EXPECT_EQ(f.controller.level(), 1);
  f.controller.Command(CmdUseBook);
  EXPECT_FALSE(f.controller.useBook());

  // RIF turns the book back on and moves "0级" to "1级", then greys both.
  f.controller.Command(CmdRulesRif);
  EXPECT_EQ(f.controller.level(), 2);
  EXPECT_TRUE(f.host.checkedItems[CmdLevel1]);
  EXPECT_FALSE(f.host.checkedItems[CmdLevel0]);
  EXPECT_TRUE(f.controller.useBook());
  EXPECT_FALSE(f.controller.MenuEnabled(CmdLevel0));
  EXPECT_FALSE(f.controller.MenuEnabled(CmdUseBook));
  f.controller.Command(CmdLevel0);  // a grey item does nothing
  EXPECT_EQ(f.controller.level(), 2);
  EXPECT_EQ(f.host.buttonImages[2], ImageRif);

  // Two players in the middle of a game: stones stay, no computer, no RIF steps.
  f.controller.Command(CmdModeTwoPlayers);
  EXPECT_EQ(f.host.buttonImages[1], ImageTwoPlayers);
  EXPECT_TRUE(f.host.checkedItems[CmdModeTwoPlayers]);
  EXPECT_FALSE(f.host.checkedItems[CmdModeComputer]);
  f.Clicks({"A1", "A2", "A3", "A4", "A5"});
  EXPECT_EQ(f.Cell("A2"), White);
  EXPECT_TRUE(f.host.workers.empty());
  EXPECT_TRUE(f.host.boxes.empty());

  // Back against the computer: the human plays the side to move and the computer answers.
  f.controller.Command(CmdModeComputer);
  EXPECT_EQ(f.host.buttonImages[1], ImageComputer);
  f.Click("O15");
  EXPECT_EQ(f.Cell("O15"), White);
  EXPECT_EQ(f.host.workers.size(), 1u);
  f.computer.moves = {P("H8")};
  f.RunWorker();

  // The rules button cycles RIF -> free -> forbidden -> RIF.
  f.controller.ToolbarButton(RulesButton);
  EXPECT_EQ(f.host.buttonImages[2], ImageFree);
  EXPECT_FALSE(f.controller.game().forbiddenRulesOn);
  f.controller.ToolbarButton(RulesButton);
  EXPECT_EQ(f.host.buttonImages[2], ImageForbidden);
  EXPECT_TRUE(f.controller.game().forbiddenRulesOn);
  EXPECT_FALSE(f.controller.rifRules());
  f.controller.ToolbarButton(RulesButton);
  EXPECT_TRUE(f.controller.rifRules());
  EXPECT_EQ(f.controller.game().moveCount, 7);  // no new game was started
}

TEST(Controller, NewGameButtonTossesACoin) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesFree);
  f.random = SequenceRandom({2});
  f.computer.moves = {P("H8")};
  f.controller.ToolbarButton(0);  // even: the human plays White, the computer opens at once
  EXPECT_EQ(f.controller.playMode(), HumanWhite);
  EXPECT_EQ(f.Cell("H8"), Black);
  EXPECT_FALSE(f.controller.computing());
  f.random = SequenceRandom({3});
  f.controller.ToolbarButton(0);
  EXPECT_EQ(f.controller.playMode(), HumanBlack);
  EXPECT_EQ(f.controller.game().moveCount, 0);
  f.controller.Command(CmdModeTwoPlayers);
  f.controller.ToolbarButton(0);
  EXPECT_EQ(f.controller.playMode(), TwoHumans);
  EXPECT_TRUE(f.host.checkedItems[CmdModeTwoPlayers]);
  f.controller.ToolbarButton(StopButton);  // idle: nothing
  EXPECT_FALSE(f.controller.stopRequested());
}

TEST(Controller, HintAndVcfProposals) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesForbidden);
  f.Click("H8");
  f.computer.moves = {P("H9")};
  f.RunWorker();

  // A cancelled hint changes nothing.
  f.controller.Command(CmdHint);
  f.computer.moves = {P("J10")};
  f.host.answers = {MessageAnswer::Cancel};
  f.RunWorker();
  EXPECT_EQ(f.host.TakeTexts(), Strings{"提示：J10"});
  EXPECT_FALSE(f.controller.computing());
  EXPECT_EQ(f.controller.game().moveCount, 2);

  // An accepted hint is played as the human's click, and the computer answers it.
  f.controller.ToolbarButton(5);
  f.computer.moves = {P("J10")};
  f.RunWorker();
  EXPECT_EQ(f.Cell("J10"), Black);
  EXPECT_TRUE(f.controller.computing());
  f.computer.moves = {P("K11")};
  f.RunWorker();
  EXPECT_EQ(f.Cell("K11"), White);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"提示：J10"});

  f.controller.Command(CmdVcf);
  f.RunWorker();
  EXPECT_EQ(f.host.TakeTexts(), Strings{"没有找到VCF！"});
  EXPECT_EQ(f.computer.vcfLimits.back(), 113);
  EXPECT_FALSE(f.controller.computing());
  f.computer.vcfAnswer = P("G7");
  f.controller.ToolbarButton(7);
  f.RunWorker();
  EXPECT_EQ(f.host.TakeTexts(), Strings{"提示：G7"});
  EXPECT_EQ(f.Cell("G7"), Black);
}

TEST(Controller, PositionFilesThroughTheDialogs) {
  const std::string dir =
      std::filesystem::temp_directory_path() / ("tesmor_controller_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesFree);
  f.controller.Command(CmdTwoPlayers);
  f.Clicks({"H8", "H9", "H10"});

  f.host.dialogAnswer = dir + "/game.pos";
  f.controller.ToolbarButton(3);
  EXPECT_EQ(f.host.dialogTitles.back(), "保存文件");
  const GameState saved = f.controller.game();

  f.controller.Command(CmdTwoPlayers);
  f.Click("A1");
  f.controller.Command(CmdOpen);
  EXPECT_EQ(f.host.dialogTitles.back(), "读取文件");
  EXPECT_EQ(f.host.dialogLastNames.back(), dir + "/game.pos");  // remembered from the save
  EXPECT_EQ(f.controller.game().cells, saved.cells);
  EXPECT_EQ(f.controller.panel().Get(1), "寒星");
  EXPECT_EQ(f.controller.panel().Get(3), "3手");
  f.ExpectDisplayInSync();
  f.controller.Command(CmdTakeBack);  // the last loaded stone is the newest
  EXPECT_EQ(f.Cell("H10"), Empty);
  EXPECT_EQ(f.controller.panel().Get(1), "");

  // A bad file is refused as a whole and the game stays as it was.
  const GameState before = f.controller.game();
  const std::string bad = dir + "/bad.pos";
  std::ofstream(bad, std::ios::binary) << std::string("\x05\x70\x71", 3);
  f.host.dialogAnswer = bad;
  f.host.TakeTexts();
  f.controller.Command(CmdOpen);
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "文件读取失败！");
  EXPECT_EQ(f.host.boxes[0].caption, "提示信息");
  EXPECT_EQ(f.controller.game(), before);

  f.host.dialogAnswer = std::nullopt;  // cancel
  f.controller.Command(CmdOpen);
  EXPECT_EQ(f.controller.game(), before);
  f.host.dialogAnswer = dir + "/no-such-dir/x.pos";
  f.host.TakeTexts();
  f.controller.Command(CmdSave);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"文件保存失败！"});
  std::filesystem::remove_all(dir);
}

TEST(Controller, FaultyMoveValuesAreRefusedAndChangeNothing) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesFree);
  f.controller.Command(CmdTwoPlayers);
  f.Click("H8");
  const GameState before = f.controller.game();
  for (int value : {P("H8"), 225, 300, 65535, -2, MakePointPair(P("A1"), P("A2"))}) {
    f.controller.HandleMessage(UM_PLACE_WHITE, value);
    f.controller.HandleMessage(UM_PLACE_BLACK, value);
  }
  EXPECT_EQ(f.controller.game(), before);
  EXPECT_TRUE(f.host.boxes.empty());
  f.ExpectDisplayInSync();
}

TEST(Controller, UnguardedCommands) {
  ControllerFixture f;
  f.Start();
  const int repaints = f.host.repaints;
  f.controller.Command(CmdShowNumbers);
  EXPECT_FALSE(f.controller.showNumbers());
  EXPECT_FALSE(f.host.checkedItems[CmdShowNumbers]);
  EXPECT_EQ(f.host.repaints, repaints + 1);
  f.controller.Command(CmdShowNumbers);
  EXPECT_TRUE(f.controller.showNumbers());
  f.controller.Command(CmdStop);  // harmless while idle
  EXPECT_TRUE(f.controller.stopRequested());
  f.controller.Command(CmdAbout);
  EXPECT_EQ(f.host.abouts, 1);
  f.controller.Command(CmdExit);
  EXPECT_TRUE(f.host.quit);
}

}  // namespace
}  // namespace tesmor
