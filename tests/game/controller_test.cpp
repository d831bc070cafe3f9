#include "game/controller.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "support/scratch_dir.h"

namespace tesmor {
namespace {

using test::ControllerFixture;
using test::P;
using Strings = std::vector<std::string>;

TEST(Controller, StartsAsBlackUnderRifAtLevelEightAndTheUnguardedCommands) {
  BookLoadReport missing, damaged{true, true, 1, {}, {}};
  for (const auto& [report, text] :
       {std::pair{missing, "棋谱读取失败！"}, {damaged, "棋谱文件已损坏，只读出 1 步！"}}) {
    ControllerFixture g;
    g.computer.bookReport = report;
    g.Start();
    ASSERT_EQ(g.host.boxes.size(), 1u);
    EXPECT_EQ(g.host.boxes[0].caption + " " + g.host.boxes[0].text,
              std::string("提示信息 ") + text);
    EXPECT_EQ(g.host.boxes[0].icon, MessageIcon::Exclamation);
  }
  ControllerFixture f;
  f.Start();
  EXPECT_TRUE(f.host.boxes.empty());
  EXPECT_EQ(f.controller.settings().playMode, HumanBlack);
  EXPECT_EQ(f.controller.settings().level, 8);
  EXPECT_TRUE(f.controller.game().forbiddenRulesOn);

  const int repaints = f.host.repaints;
  f.controller.Command(CmdShowNumbers);
  EXPECT_FALSE(f.controller.showNumbers() || f.host.checkedItems[CmdShowNumbers]);
  EXPECT_EQ(f.host.repaints, repaints + 1);
  f.controller.Command(CmdAbout);
  f.controller.Command(CmdExit);
  EXPECT_EQ(f.host.abouts, 1);
  EXPECT_TRUE(f.host.quit);
}

TEST(Controller, ComputerTurnBusyNoticeAndIgnoredClicks) {
  ControllerFixture f;
  f.Start(CmdRulesFree);
  f.controller.Command(CmdLevel3);
  f.controller.Command(CmdExactSearch);
  f.controller.Command(CmdStop);  // while idle: must not reach the next computation
  f.Click("H8");
  EXPECT_FALSE(f.controller.stopRequested());
  EXPECT_EQ(f.host.beeps, 1);
  ASSERT_EQ(f.host.workers, std::vector<WorkerKind>{WorkerKind::ComputerMove});

  // While the computer thinks: clicks are ignored, guarded commands refused, the rest works.
  f.Click("A1");
  f.controller.RightClick();
  EXPECT_EQ(f.Moves(), 1);
  for (int command : {CmdPlayBlack, CmdTakeBack, CmdRulesRif, CmdLevel2, CmdOpen, CmdSave, CmdHint,
                      CmdVcf, CmdFastSearch, CmdModeTwoPlayers})
    f.controller.Command(command);
  for (int button : {0, 1, 2, 3, 4, 5, 7}) f.controller.ToolbarButton(button);
  EXPECT_EQ(f.host.TakeTexts(), Strings(17, "计算中，暂时无法使用该功能！"));
  EXPECT_EQ(f.controller.settings().level, 3);
  f.controller.Command(CmdShowNumbers);
  f.controller.Command(CmdUseBook);
  EXPECT_FALSE(f.controller.showNumbers() || f.controller.settings().useBook);
  f.controller.ToolbarButton(StopButton);
  EXPECT_TRUE(f.controller.stopRequested());

  f.Answer(P("I9"));
  EXPECT_FALSE(f.controller.computing());
  EXPECT_EQ(f.Cell("I9"), White);
  ASSERT_EQ(f.computer.requests.size(), 1u);
  const MoveRequest& request = f.computer.requests[0];
  EXPECT_EQ(request.level, 3);
  EXPECT_EQ(request.mode, SearchMode::Exact);
  EXPECT_EQ(request.rules, RuleSet::Free);
  EXPECT_TRUE(request.useBook);  // as it was when the search started
  // The search's progress reached the panel and its line was redrawn.
  EXPECT_EQ(f.controller.panel().Get(5), "2");
  EXPECT_NE(std::find(f.host.panelLines.begin(), f.host.panelLines.end(), 5),
            f.host.panelLines.end());
  f.ExpectDisplayInSync();
}

TEST(Controller, ResultsByFiveForbiddenMovesAndResignation) {
  struct Case {
    int rules;
    std::initializer_list<const char*> moves;
    const char* result;
  };
  const Case cases[] = {
      {CmdRulesForbidden, {"H8", "A1", "I8", "A2", "J8", "A3", "K8", "A4", "L8"}, "黑方胜！"},
      {CmdRulesRif, {"H8", "A1", "I8", "A2", "J8", "A3", "K8", "A4", "B9", "A5"}, "白方胜！"},
      {CmdRulesForbidden,
       {"H8", "A1", "H9", "A3", "J10", "A5", "K10", "A7", "H10"},
       "白方胜！（黑方三·三禁手）"},
      {CmdRulesForbidden,
       {"H8", "A1", "H9", "A3", "H10", "A5", "J11", "A7", "K11", "A9", "L11", "A11", "H11"},
       "白方胜！（黑方四·四禁手）"},
      {CmdRulesForbidden,
       {"C3", "A1", "D3", "A3", "E3", "A5", "G3", "A7", "H3", "A9", "F3"},
       "白方胜！（黑方长连禁手）"},
      {CmdRulesFree,
       {"C3", "A1", "D3", "A3", "E3", "A5", "G3", "A7", "H3", "A9", "F3"},
       "黑方胜！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    ControllerFixture f;
    f.Start(c.rules, true);
    f.Clicks(c.moves);
    EXPECT_EQ(f.host.TakeTexts(), Strings{c.result});
    EXPECT_FALSE(f.controller.gameInProgress());
    // After a result clicks do nothing; a take-back reopens the game.
    const int count = f.Moves();
    f.Click("O15");
    EXPECT_EQ(f.Moves(), count);
    f.controller.Command(CmdTakeBack);
    EXPECT_TRUE(f.controller.gameInProgress());
    EXPECT_EQ(f.Moves(), count - 1);
    f.ExpectDisplayInSync();
  }

  ControllerFixture f;
  f.Start(CmdRulesFree);
  f.Click("H8");
  f.Answer(ComputerAnswer::Resignation());
  EXPECT_EQ(f.host.TakeTexts(), Strings{"黑方胜！（白方认输）"});
  EXPECT_FALSE(f.controller.gameInProgress());
}

TEST(Controller, TheTwoHundredTwentyFifthStoneIsADraw) {
  // Columns coloured in pairs, shifted by one every row: no five anywhere, 113 Black stones.
  std::vector<int> stones[2];
  for (int p = 0; p < CellCount; ++p)
    stones[((PointCol(p) + (2 * PointRow(p) + 1) % 4) / 2) % 2].push_back(p);
  ASSERT_EQ(stones[1].size(), 113u);
  ControllerFixture f;
  f.Start(CmdRulesFree, true);
  for (int i = 0; i < CellCount; ++i) f.ClickAt(stones[1 - i % 2][i / 2]);
  EXPECT_EQ(f.Moves(), 225);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"和棋！"});
}

TEST(Controller, TakeBackRules) {
  ControllerFixture f;
  f.Start(CmdRulesForbidden);
  f.controller.Command(CmdTakeBack);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"无法悔棋！"});
  f.Click("H8");
  f.Answer(P("I9"));
  f.host.invalidated.clear();
  f.controller.RightClick();  // takes the computer's stone back
  EXPECT_EQ(f.Cell("I9"), Empty);
  EXPECT_EQ(f.Moves(), 1);
  // I9's cell is erased and H8's redrawn as the newest stone.
  ASSERT_GE(f.host.invalidated.size(), 2u);
  EXPECT_TRUE(f.host.invalidated[0].erase && !f.host.invalidated[1].erase);
  EXPECT_EQ(f.host.invalidated[1].row, 7);
  EXPECT_EQ(f.controller.newestStone(), (MoveRecord{7, 7}));
  EXPECT_TRUE(f.host.workers.empty());  // the computer waits

  // The human now plays the computer's side: the stone is White and the computer answers.
  f.Click("G7");
  EXPECT_EQ(f.Cell("G7"), White);
  f.Answer(P("J10"));
  EXPECT_EQ(f.Cell("J10"), Black);
  f.ExpectDisplayInSync();
}

TEST(Controller, RulesModeAndLevelCommandsMidGame) {
  ControllerFixture f;
  f.Start(CmdRulesForbidden);
  f.controller.Command(CmdLevel0);
  f.controller.Command(CmdUseBook);
  EXPECT_EQ(f.controller.settings().level, 0);
  // RIF turns the book back on and moves "0级" to "1级", then greys both.
  f.controller.Command(CmdRulesRif);
  EXPECT_EQ(f.controller.settings().level, 1);
  EXPECT_TRUE(f.host.checkedItems[CmdLevel1] && !f.host.checkedItems[CmdLevel0]);
  EXPECT_TRUE(f.controller.settings().useBook);
  f.controller.Command(CmdLevel0);  // a grey item does nothing
  EXPECT_EQ(f.controller.settings().level, 1);

  // Two players in the middle of a game: stones stay, no computer, no RIF steps.
  f.controller.Command(CmdModeTwoPlayers);
  EXPECT_EQ(f.host.buttonImages[1], ImageTwoPlayers);
  f.Clicks({"A1", "A2", "A3", "A4", "A5"});
  EXPECT_EQ(f.Cell("A2"), White);
  EXPECT_TRUE(f.host.workers.empty() && f.host.boxes.empty());

  // Back against the computer: the human plays the side to move and the computer answers.
  f.controller.Command(CmdModeComputer);
  f.Click("O15");
  EXPECT_EQ(f.Cell("O15"), White);
  f.Answer(P("H8"));
  EXPECT_EQ(f.Cell("H8"), Black);
  f.controller.ToolbarButton(RulesButton);
  EXPECT_FALSE(f.controller.game().forbiddenRulesOn);
  f.controller.ToolbarButton(RulesButton);
  EXPECT_TRUE(f.controller.game().forbiddenRulesOn &&
              f.controller.settings().rules == RuleSet::Forbidden);
  f.controller.ToolbarButton(RulesButton);
  EXPECT_EQ(f.controller.settings().rules, RuleSet::Rif);
  EXPECT_EQ(f.Moves(), 7);  // no new game was started
}

// "大师" is asked like the other levels, with the thinking time ticked when its search started: a
// time chosen while the computer thinks is for the next request. The stop flag reaches the
// search, and the answer it then gives is played, at every level.
TEST(Controller, MasterLevelThinkingTimeAndStoppedSearches) {
  using std::chrono::seconds;
  ControllerFixture f;
  f.Start(CmdRulesFree);
  f.controller.Command(CmdLevelMaster);
  f.controller.Command(CmdMasterTime10);
  f.Click("H8");
  f.controller.Command(CmdMasterTime1);  // unguarded: no notice
  f.controller.Command(CmdLevel9);       // guarded
  EXPECT_EQ(f.host.TakeTexts(), Strings{"计算中，暂时无法使用该功能！"});
  f.controller.Command(CmdStop);
  f.Answer(P("I9"));
  EXPECT_EQ(f.Cell("I9"), White);
  f.controller.Command(CmdHint);
  f.host.answers = {MessageAnswer::Cancel};
  f.Answer(P("J10"));
  // Under RIF "大师" stays, and the fourth stone after a swap, computed on the window's thread,
  // is asked of it too, for at most a second: nothing could stop it there.
  f.controller.Command(CmdRulesRif);
  f.controller.Command(CmdMasterTime30);
  f.host.answers = {MessageAnswer::Yes};
  f.computer.moves = {ComputerAnswer::Play(P("G9"))};
  f.controller.Command(CmdPlayWhite);
  EXPECT_EQ(f.Moves(), 4);
  ASSERT_EQ(f.computer.requests.size(), 3u);
  for (const auto& [request, time] : {std::pair{f.computer.requests[0], seconds(10)},
                                      {f.computer.requests[1], seconds(1)},
                                      {f.computer.requests[2], seconds(1)}}) {
    EXPECT_EQ(request.level, MasterLevel);
    EXPECT_EQ(request.masterTime, time);
  }
  EXPECT_EQ(f.computer.stopSeen, (std::vector<bool>{true, false, false}));

  for (const CommandId level : LevelCommands) {
    ControllerFixture g;
    g.Start(CmdRulesFree);
    g.controller.Command(level);
    g.Click("H8");
    g.controller.ToolbarButton(StopButton);
    g.Answer(P("I9"));
    EXPECT_EQ(g.computer.stopSeen, std::vector<bool>{true}) << level;
    EXPECT_EQ(g.Cell("I9"), White) << level;
  }
}

TEST(Controller, NewGameButtonTossesACoin) {
  ControllerFixture f;
  f.Start(CmdRulesFree);
  f.random = SequenceRandom({2});
  f.computer.moves = {ComputerAnswer::Play(P("H8"))};
  f.controller.ToolbarButton(0);  // even: the human plays White, the computer opens at once
  EXPECT_EQ(f.controller.settings().playMode, HumanWhite);
  EXPECT_EQ(f.Cell("H8"), Black);
  EXPECT_FALSE(f.controller.computing());
  f.random = SequenceRandom({3});
  f.controller.ToolbarButton(0);
  EXPECT_EQ(f.controller.settings().playMode, HumanBlack);
  EXPECT_EQ(f.Moves(), 0);
}

TEST(Controller, HintAndVcfProposals) {
  ControllerFixture f;
  f.Start(CmdRulesForbidden);
  f.Click("H8");
  f.Answer(P("H9"));
  // A cancelled hint changes nothing; an accepted one is played and the computer answers it.
  f.controller.Command(CmdHint);
  f.host.answers = {MessageAnswer::Cancel};
  f.Answer(P("J10"));
  EXPECT_EQ(f.Moves(), 2);
  f.controller.ToolbarButton(5);
  f.Answer(P("J10"));
  EXPECT_EQ(f.Cell("J10"), Black);
  f.Answer(P("K11"));
  EXPECT_EQ(f.Cell("K11"), White);
  EXPECT_EQ(f.host.TakeTexts(), (Strings{"提示：J10", "提示：J10"}));

  f.controller.Command(CmdVcf);
  f.RunWorker();
  EXPECT_EQ(f.host.TakeTexts(), Strings{"没有找到VCF！"});
  EXPECT_EQ(f.computer.vcfLimits.back(), 113);
  // A stopped search has shown nothing and says nothing.
  f.controller.Command(CmdVcf);
  f.controller.Command(CmdStop);
  f.RunWorker();
  EXPECT_TRUE(f.host.TakeTexts().empty());
  EXPECT_FALSE(f.controller.computing());
  // A win found: its point and how many moves it takes.
  f.computer.vcfAnswer = VcfWin{P("G7"), 3};
  f.controller.ToolbarButton(7);
  f.RunWorker();
  EXPECT_EQ(f.host.TakeTexts(), Strings{"提示：G7\n连续冲四，第3手必胜"});
  EXPECT_EQ(f.Cell("G7"), Black);
}

TEST(Controller, PositionFilesThroughTheDialogs) {
  const test::ScratchDir dir("tesmor_controller_");
  ControllerFixture f;
  f.Start(CmdRulesFree, true);
  f.Clicks({"H8", "H9", "H10"});
  f.host.dialogAnswer = dir.Path("game.pos");
  f.controller.ToolbarButton(3);
  const GameState saved = f.controller.game();
  f.controller.Command(CmdTwoPlayers);
  f.Click("A1");
  f.controller.Command(CmdOpen);
  // The name is remembered from the save.
  EXPECT_EQ(f.host.dialogs, (Strings{"保存文件 ", "读取文件 " + dir.Path("game.pos")}));
  EXPECT_EQ(f.controller.game().cells, saved.cells);
  EXPECT_EQ(f.controller.panel().Get(1), "寒星");
  EXPECT_EQ(f.controller.panel().Get(3), "3手");
  f.ExpectDisplayInSync();
  f.controller.Command(CmdTakeBack);  // the last loaded stone is the newest
  EXPECT_EQ(f.Cell("H10"), Empty);

  // A bad file is refused as a whole, a cancel does nothing; the game stays as it was.
  const GameState before = f.controller.game();
  f.host.dialogAnswer = dir.WriteFile("bad.pos", std::string("\x05\x70\x71", 3));
  f.controller.Command(CmdOpen);
  f.host.dialogAnswer = std::nullopt;
  f.controller.Command(CmdOpen);
  EXPECT_EQ(f.controller.game(), before);
  f.host.dialogAnswer = dir.Path("no-such-dir/x.pos");
  f.controller.Command(CmdSave);
  EXPECT_EQ(f.host.TakeTexts(),
            (Strings{"文件读取失败！\nit counts 5 moves but holds 2", "文件保存失败！"}));
}

TEST(Controller, FaultyMoveValuesAreRefusedAndChangeNothing) {
  ControllerFixture f;
  f.Start(CmdRulesFree, true);
  f.Click("H8");
  const GameState before = f.controller.game();
  for (const ComputerAnswer& answer :
       {ComputerAnswer::Play(P("H8")), ComputerAnswer::Play(NoPoint), ComputerAnswer::Play(300),
        ComputerAnswer::Play(-2), ComputerAnswer::None(), ComputerAnswer::Pair(P("A2"), P("A1"))}) {
    for (int colour : {White, Black})
      f.controller.HandleWorkerMessage({WorkerEvent::ComputerMoved, 0, colour, answer});
  }
  EXPECT_EQ(f.controller.game(), before);
  EXPECT_TRUE(f.host.boxes.empty());
  f.ExpectDisplayInSync();
}

}  // namespace
}  // namespace tesmor
