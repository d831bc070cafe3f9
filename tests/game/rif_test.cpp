#include <gtest/gtest.h>

#include <algorithm>

#include "fake_host.h"
#include "game/controller.h"

namespace tesmor {
namespace {

using test::ControllerFixture;
using test::P;
using Strings = std::vector<std::string>;

MoveRecord At(const char* point) {
  return {PointRow(P(point)), PointCol(P(point))};
}

TEST(RifHumanBlack, IllegalOpeningsStartAFreshGame) {
  for (auto moves : {std::initializer_list<const char*>{"G8", "H9", "H10"},
                     std::initializer_list<const char*>{"H8", "H9", "H12"},
                     std::initializer_list<const char*>{"H8", "H10", "H9"}}) {
    ControllerFixture f;
    f.Start();
    f.Clicks(moves);
    EXPECT_EQ(f.host.TakeTexts(), Strings{"非法开局！"});
    EXPECT_EQ(f.controller.game().moveCount, 0);
    EXPECT_EQ(f.controller.playMode(), HumanBlack);
    EXPECT_TRUE(f.host.workers.empty());
    f.ExpectDisplayInSync();
  }
}

TEST(RifHumanBlack, TheSwapTableDecidesOnTheOpeningInAnyOrientation) {
  struct Case {
    std::initializer_list<const char*> opening;
    int draw;
    bool swaps;
  };
  const Case cases[] = {
      {{"H8", "H9", "H10"}, 0, true},   // 寒星: always
      {{"H8", "G8", "F8"}, 0, true},    // 寒星 turned a quarter
      {{"H8", "H9", "J10"}, 1, true},   // 疏星: random, odd swaps
      {{"H8", "H9", "J10"}, 0, false},  // 疏星: random, even does not
      {{"H8", "H9", "J6"}, 1, false},   // 游星: never
      {{"H8", "I9", "F6"}, 1, false},   // 彗星: never
      {{"H8", "G9", "J6"}, 1, false},   // 彗星 mirrored
  };
  for (const Case& c : cases) {
    ControllerFixture f;
    f.Start();
    f.random = SequenceRandom({c.draw});
    f.Clicks(c.opening);
    if (c.swaps) {
      EXPECT_EQ(f.host.TakeTexts(), Strings{"电脑交换！"});
      EXPECT_TRUE(f.host.workers.empty());
      // The human goes on as White; the computer then plays Black with four stones.
      f.Click("A1");
      EXPECT_EQ(f.Cell("A1"), White);
    } else {
      EXPECT_TRUE(f.host.TakeTexts().empty());
    }
    ASSERT_EQ(f.host.workers.size(), 1u);
    EXPECT_TRUE(f.controller.computing());
  }
}

// Human Black under RIF: 瑞星 without a swap, the computer's fourth stone H4 (all four stones on
// the H column), the human's first offering G7.
void UpToFirstOffering(ControllerFixture& f) {
  f.Start();
  f.random = SequenceRandom({0});
  f.Clicks({"H8", "H9", "H6"});
  f.computer.moves = {P("H4")};
  f.RunWorker();
  ASSERT_EQ(f.Cell("H4"), White);
  f.Click("G7");
  ASSERT_EQ(f.controller.rifFifthState(), 1);
}

TEST(RifHumanBlack, SecondOfferingIsCheckedForEquivalence) {
  ControllerFixture f;
  UpToFirstOffering(f);
  EXPECT_TRUE(f.host.workers.empty());
  f.controller.Command(CmdTakeBack);
  f.controller.Command(CmdHint);
  EXPECT_EQ(f.host.TakeTexts(), Strings{"无法悔棋！"});
  EXPECT_TRUE(f.host.workers.empty());

  f.Click("I7");  // the mirror image of G7 across the H column
  EXPECT_EQ(f.host.TakeTexts(), Strings{"已存在同型打点！"});
  EXPECT_EQ(f.controller.rifFifthState(), 1);
  f.Click("H8");  // occupied: ignored
  EXPECT_EQ(f.controller.rifFifthState(), 1);

  const int beeps = f.host.beeps;
  f.Click("J7");
  EXPECT_EQ(f.controller.rifFifthState(), 2);
  EXPECT_EQ(f.controller.secondOffer(), At("J7"));
  EXPECT_EQ(f.Cell("J7"), Empty);  // not a stone of the game
  EXPECT_EQ(f.controller.game().moveCount, 5);
  EXPECT_EQ(f.host.beeps, beeps + 1);
  ASSERT_EQ(f.host.workers.size(), 1u);
  const MoveRequest& request = f.controller.CurrentJob().request;
  EXPECT_EQ(request.settings.rifFifthState, 2);
  EXPECT_EQ(request.settings.secondOffer, At("J7"));
}

TEST(RifHumanBlack, TheComputerTakesAnOfferingAwayAndReplies) {
  struct Case {
    const char* what;
    int answer;
    const char* fifth;    // the Black stone that stays
    const char* removed;  // empty afterwards
    const char* reply;
  };
  const Case cases[] = {
      {"second withdrawn", MakePointPair(P("J7"), P("K5")), "G7", "J7", "K5"},
      {"first taken away", MakePointPair(P("G7"), P("K5")), "J7", "G7", "K5"},
      {"plain answer keeps the first", P("K5"), "G7", "J7", "K5"},
      {"reply on the removed first offering", MakePointPair(P("G7"), P("G7")), "J7", "A1", "G7"},
  };
  for (const Case& c : cases) {
    ControllerFixture f;
    UpToFirstOffering(f);
    f.Click("J7");
    f.computer.moves = {c.answer};
    f.host.invalidated.clear();
    f.RunWorker();
    EXPECT_EQ(f.controller.game().moveCount, 6) << c.what;
    EXPECT_EQ(f.Cell(c.fifth), Black) << c.what;
    EXPECT_EQ(f.controller.game().history[4], At(c.fifth)) << c.what;
    EXPECT_EQ(f.Cell(c.removed), Empty) << c.what;
    EXPECT_EQ(f.Cell(c.reply), White) << c.what;
    EXPECT_EQ(f.controller.game().history[5], At(c.reply)) << c.what;
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    EXPECT_EQ(f.controller.secondOffer(), (MoveRecord{-1, -1}));
    EXPECT_FALSE(f.controller.computing());
    const auto& cells = f.controller.game().cells;
    EXPECT_EQ(std::count(cells.begin(), cells.end(), Black), 3) << c.what;
    EXPECT_EQ(std::count(cells.begin(), cells.end(), White), 3) << c.what;
    f.ExpectDisplayInSync();
    EXPECT_EQ(f.controller.panel().Get(3), "6手");
    // The withdrawn mark's cell is erased.
    const MoveRecord j7 = At("J7");
    bool erased = false;
    for (const auto& cell : f.host.invalidated)
      erased |= cell.row == j7.row && cell.col == j7.col && cell.erase;
    EXPECT_EQ(erased, std::string(c.fifth) == "G7") << c.what;
    EXPECT_TRUE(f.host.TakeTexts().empty());
  }

  // A reply on an occupied point is refused and the offerings stay as they were.
  ControllerFixture f;
  UpToFirstOffering(f);
  f.Click("J7");
  const GameState before = f.controller.game();
  f.computer.moves = {MakePointPair(P("J7"), P("H8"))};
  f.RunWorker();
  EXPECT_EQ(f.controller.game(), before);
  EXPECT_EQ(f.controller.rifFifthState(), 2);
}

TEST(RifHumanWhite, TheComputerOpensFromTheDrawTable) {
  struct Case {
    int draw;
    const char* name;
    std::array<const char*, 3> stones;
  };
  const Case cases[] = {{0, "残月", {"H8", "H9", "J9"}},
                        {7, "丘月", {"H8", "H9", "I7"}},
                        {14, "疏星", {"H8", "H9", "J10"}},
                        {21, "瑞星", {"H8", "H9", "H6"}},
                        {22 + 4, "银月", {"H8", "I9", "H7"}}};
  for (const Case& c : cases) {
    ControllerFixture f;
    f.Start();
    f.random = SequenceRandom({c.draw});
    f.controller.Command(CmdPlayWhite);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(f.controller.game().history[i], At(c.stones[i])) << c.name;
    EXPECT_EQ(f.Cell(c.stones[1]), White);
    EXPECT_EQ(f.controller.panel().Get(1), c.name);
    EXPECT_EQ(f.controller.newestStone(), At(c.stones[2]));
    f.ExpectDisplayInSync();
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, "是否交换？");
    EXPECT_EQ(f.host.boxes[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(f.host.boxes[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(f.host.workers.empty());
  }
}

TEST(RifHumanWhite, NoSwapTheComputerOffersTwoAndTheHumanChooses) {
  for (bool takeFirst : {true, false}) {
    ControllerFixture f;
    f.Start();
    f.random = SequenceRandom({0});
    f.controller.Command(CmdPlayWhite);  // 残月, answered No
    f.Click("K10");
    EXPECT_EQ(f.Cell("K10"), White);
    ASSERT_EQ(f.host.workers.size(), 1u);
    f.computer.moves = {MakePointPair(P("J7"), P("G7"))};
    const int beeps = f.host.beeps;
    f.RunWorker();
    EXPECT_EQ(f.Cell("G7"), Black);
    EXPECT_EQ(f.controller.game().moveCount, 5);
    EXPECT_EQ(f.controller.secondOffer(), At("J7"));
    EXPECT_EQ(f.controller.rifFifthState(), 2);
    EXPECT_EQ(f.host.beeps, beeps + 2);

    f.Click("A1");  // neither offering: ignored
    EXPECT_EQ(f.controller.rifFifthState(), 2);
    f.controller.Command(CmdTakeBack);
    EXPECT_EQ(f.host.TakeTexts(), (Strings{"是否交换？", "无法悔棋！"}));

    f.Click(takeFirst ? "G7" : "J7");
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    EXPECT_EQ(f.controller.game().moveCount, 5);
    EXPECT_EQ(f.Cell(takeFirst ? "G7" : "J7"), Empty);
    EXPECT_EQ(f.Cell(takeFirst ? "J7" : "G7"), Black);
    EXPECT_EQ(f.controller.game().history[4], At(takeFirst ? "J7" : "G7"));
    EXPECT_TRUE(f.host.workers.empty());
    f.ExpectDisplayInSync();

    f.Click("I10");  // White's sixth stone, then the computer's turn
    EXPECT_EQ(f.Cell("I10"), White);
    EXPECT_EQ(f.host.workers.size(), 1u);
  }
}

TEST(RifHumanWhite, SwapHandsTheHumanBlackAndThePlainFifthNeedsNoChoice) {
  ControllerFixture f;
  f.Start();
  f.random = SequenceRandom({0});
  f.host.answers = {MessageAnswer::Yes};
  f.computer.moves = {P("G9")};
  f.controller.Command(CmdPlayWhite);
  EXPECT_EQ(f.Cell("G9"), White);  // computed on the window's thread
  EXPECT_FALSE(f.controller.computing());
  EXPECT_EQ(f.computer.requests.back().settings.rifFifthState, 0);
  f.Click("G7");  // the human, now Black, lays the first offering
  EXPECT_EQ(f.Cell("G7"), Black);
  EXPECT_EQ(f.controller.rifFifthState(), 1);

  // Without a swap, a plain fifth stone from the computer is an ordinary move.
  ControllerFixture g;
  g.Start();
  g.random = SequenceRandom({0});
  g.controller.Command(CmdPlayWhite);
  g.Click("K10");
  g.computer.moves = {P("G7")};
  g.RunWorker();
  EXPECT_EQ(g.Cell("G7"), Black);
  EXPECT_EQ(g.controller.rifFifthState(), 0);
  g.Click("I10");
  EXPECT_EQ(g.Cell("I10"), White);
  EXPECT_EQ(g.host.workers.size(), 1u);
}

TEST(RifOtherRules, NoOpeningStepsUnderForbiddenRulesOrForTwoPlayers) {
  ControllerFixture f;
  f.Start();
  f.controller.Command(CmdRulesForbidden);
  f.Click("H8");
  f.computer.moves = {P("H9")};
  f.RunWorker();
  f.Click("H10");
  EXPECT_TRUE(f.host.TakeTexts().empty());
  EXPECT_EQ(f.host.workers.size(), 1u);

  ControllerFixture g;
  g.Start();
  g.controller.Command(CmdTwoPlayers);
  g.Clicks({"A1", "H9", "H10", "K4", "G7", "J7"});
  EXPECT_TRUE(g.host.TakeTexts().empty());
  EXPECT_TRUE(g.host.workers.empty());
  EXPECT_EQ(g.controller.game().moveCount, 6);
  EXPECT_EQ(g.controller.rifFifthState(), 0);
}

}  // namespace
}  // namespace tesmor
