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

// The panel's notes: whose turn and whose side, and what the opening waits for.
std::string Notes(ControllerFixture& f) {
  return f.controller.panel().Get(PanelTurnLine) + "|" + f.controller.panel().Get(PanelGuideLine);
}

std::string Depth(ControllerFixture& f) {
  return f.controller.panel().Get(ProgressLine(ProgressField::Depth));
}

// The box names the openings the third stone could still make: direct or diagonal ones.
TEST(RifHumanBlack, IllegalOpeningsStartAFreshGame) {
  struct Case {
    std::initializer_list<const char*> moves;
    const char* named;
    const char* notNamed;
  };
  const Case cases[] = {{{"G8", "H9", "H10"}, "天元", "寒星"},
                        {{"H8", "H9", "H12"}, "寒星", "长星"},
                        {{"H8", "H10", "H9"}, "天元", "寒星"},
                        {{"H8", "I9", "H13"}, "长星", "寒星"}};
  for (const Case& c : cases) {
    ControllerFixture f;
    f.Start();
    f.Clicks(c.moves);
    const Strings texts = f.host.TakeTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("非法开局！\n", 0), 0u);
    EXPECT_NE(texts[0].find(c.named), std::string::npos) << texts[0];
    EXPECT_EQ(texts[0].find(c.notNamed), std::string::npos) << texts[0];
    EXPECT_EQ(f.Moves(), 0);
    EXPECT_EQ(f.controller.settings().playMode, HumanBlack);
    EXPECT_TRUE(f.host.workers.empty());
    f.ExpectDisplayInSync();
  }
}

TEST(RifHumanBlack, TheSwapTableDecidesOnTheOpeningInAnyOrientation) {
  struct Case {
    std::initializer_list<const char*> opening;
    int draw;
    const char* notice;
  };
  const Case cases[] = {
      {{"H8", "H9", "H10"}, 0, "电脑交换！"},  // 寒星: always
      {{"H8", "G8", "F8"}, 0, "电脑交换！"},   // 寒星 turned a quarter
      {{"H8", "H9", "J10"}, 1, "电脑交换！"},  // 疏星: random, odd swaps
      {{"H8", "H9", "J10"}, 0, ""},            // 疏星: random, even does not
      {{"H8", "H9", "J6"}, 1, ""},             // 游星: never
      {{"H8", "G9", "J6"}, 1, ""},             // 彗星 mirrored: never
  };
  for (const Case& c : cases) {
    ControllerFixture f;
    f.Start();
    f.random = SequenceRandom({c.draw});
    f.Clicks(c.opening);
    const std::string notice = c.notice;
    EXPECT_EQ(f.host.TakeTexts(), notice.empty() ? Strings{} : Strings{notice});
    // After a swap the human goes on as White; the computer then plays Black with four stones.
    if (!notice.empty()) f.Click("A1");
    EXPECT_EQ(f.Cell("A1"), notice.empty() ? Empty : White);
    EXPECT_EQ(f.host.workers.size(), 1u);
  }
}

// 瑞星 unswapped, the computer's H4 (four stones on one column), offerings G7, I7 refused, J7.
void UpToSecondOffering(ControllerFixture& f) {
  f.Start();
  f.random = SequenceRandom({0});
  EXPECT_EQ(Notes(f), "轮到：黑方（您）|");
  f.Clicks({"H8", "H9", "H6"});
  EXPECT_EQ(Notes(f), "轮到：白方（电脑）|");
  f.Answer(P("H4"));
  EXPECT_EQ(Depth(f), "2");
  f.Click("G7");
  f.controller.Command(CmdTakeBack);
  f.controller.Command(CmdHint);
  f.Clicks({"I7", "H8"});  // the mirror image of G7 across the H column; occupied: ignored
  EXPECT_EQ(f.host.TakeTexts(), (Strings{"无法悔棋！", "已存在同型打点！"}));
  EXPECT_EQ(Notes(f), "轮到：黑方（您）|请下第二个五手打点");
  EXPECT_TRUE(f.host.workers.empty());
  const int beeps = f.host.beeps;
  f.Click("J7");
  EXPECT_EQ(f.controller.rifFifthState(), 2);
  EXPECT_EQ(f.controller.secondOffer(), At("J7"));
  EXPECT_EQ(f.Cell("J7"), Empty);  // not a stone of the game
  EXPECT_EQ(f.Moves(), 5);
  EXPECT_EQ(f.host.beeps, beeps + 1);
  ASSERT_EQ(f.host.workers.size(), 1u);
  EXPECT_EQ(f.controller.CurrentJob().request.secondOffer, At("J7"));
  // A new computation starts without the figures of the last one.
  EXPECT_EQ(Notes(f), "轮到：白方（电脑）|");
  EXPECT_EQ(Depth(f), "0");
}

TEST(RifHumanBlack, TwoOfferingsAndTheComputerTakingOneAway) {
  struct Case {
    ComputerAnswer answer;
    const char* fifth;    // the Black stone that stays
    const char* removed;  // empty afterwards
    const char* reply;
  };
  const Case cases[] = {
      {ComputerAnswer::Pair(P("K5"), P("J7")), "G7", "J7", "K5"},  // the second withdrawn
      {ComputerAnswer::Pair(P("K5"), P("G7")), "J7", "G7", "K5"},  // the first taken away
      {ComputerAnswer::Play(P("K5")), "G7", "J7", "K5"},           // a plain answer keeps the first
      {ComputerAnswer::Pair(P("G7"), P("G7")), "J7", "A1", "G7"},  // reply on the removed first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fifth + std::string(" ") + c.reply);
    ControllerFixture f;
    UpToSecondOffering(f);
    f.host.invalidated.clear();
    f.Answer(c.answer);
    const GameState& game = f.controller.game();
    EXPECT_EQ(game.moveCount, 6);
    EXPECT_EQ(f.Cell(c.fifth), Black);
    EXPECT_EQ(game.history[4], At(c.fifth));
    EXPECT_EQ(f.Cell(c.removed), Empty);
    EXPECT_EQ(f.Cell(c.reply), White);
    EXPECT_EQ(game.history[5], At(c.reply));
    EXPECT_EQ(std::count(game.cells.begin(), game.cells.end(), Black), 3);
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    EXPECT_EQ(f.controller.secondOffer(), (MoveRecord{-1, -1}));
    f.ExpectDisplayInSync();
    // The withdrawn mark's cell is erased.
    const bool erased =
        std::any_of(f.host.invalidated.begin(), f.host.invalidated.end(), [](const auto& cell) {
          return cell.erase && At("J7") == MoveRecord{cell.row, cell.col};
        });
    EXPECT_EQ(erased, std::string(c.fifth) == "G7");
    EXPECT_TRUE(f.host.TakeTexts().empty());
    EXPECT_EQ(Notes(f), "轮到：黑方（您）|");
    f.controller.RightClick();  // one stone taken back: the human now plays White
    EXPECT_EQ(Notes(f), "轮到：白方（您）|");
    f.controller.Command(CmdTwoPlayers);
    EXPECT_EQ(Notes(f), "轮到：黑方|");
    EXPECT_EQ(Depth(f), "0");
  }

  // A reply on an occupied point is refused and the offerings stay as they were.
  ControllerFixture f;
  UpToSecondOffering(f);
  const GameState before = f.controller.game();
  f.Answer(ComputerAnswer::Pair(P("H8"), P("J7")));
  EXPECT_EQ(f.controller.game(), before);
  EXPECT_EQ(f.controller.rifFifthState(), 2);
}

// Without a swap the computer, Black, offers two fifth moves and the human takes one away, or it
// plays one fifth stone, an ordinary move; then White's sixth stone hands the turn back.
TEST(RifHumanWhite, NoSwapTheComputerOffersTwoOrPlaysOne) {
  struct Case {
    int draw;  // the draw wraps round the 22 openings
    ComputerAnswer fifth;
    const char* taken;  // the offering the human takes away; none for a plain fifth stone
  };
  const Case cases[] = {
      {0, ComputerAnswer::Pair(P("G7"), P("J7")), "G7"},
      {22, ComputerAnswer::Pair(P("G7"), P("J7")), "J7"},
      {0, ComputerAnswer::Play(P("G7")), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.taken ? c.taken : "plain");
    ControllerFixture f;
    f.Start();
    f.random = SequenceRandom({c.draw});
    f.controller.Command(CmdPlayWhite);  // 残月, answered No
    EXPECT_EQ(f.controller.panel().Get(1), "残月");
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(f.host.workers.empty());
    f.Click("K10");
    EXPECT_EQ(f.Cell("K10"), White);
    const int beeps = f.host.beeps;
    f.Answer(c.fifth);
    EXPECT_EQ(f.Cell("G7"), Black);
    EXPECT_EQ(f.Moves(), 5);
    if (c.taken) {
      EXPECT_EQ(f.controller.secondOffer(), At("J7"));
      EXPECT_EQ(Notes(f), "轮到：白方（您）|请选择去掉的五手");
      EXPECT_EQ(f.host.beeps, beeps + 2);
      f.Click("A1");  // neither offering: ignored
      EXPECT_EQ(f.controller.rifFifthState(), 2);
      f.controller.Command(CmdTakeBack);
      EXPECT_EQ(f.host.TakeTexts(), (Strings{"是否交换？", "无法悔棋！"}));

      const char* kept = std::string(c.taken) == "G7" ? "J7" : "G7";
      f.Click(c.taken);
      EXPECT_EQ(Notes(f), "轮到：白方（您）|");
      EXPECT_EQ(f.Moves(), 5);
      EXPECT_EQ(f.Cell(c.taken), Empty);
      EXPECT_EQ(f.Cell(kept), Black);
      EXPECT_EQ(f.controller.game().history[4], At(kept));
      EXPECT_TRUE(f.host.workers.empty());
      f.ExpectDisplayInSync();
    }
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    f.Click("I10");  // White's sixth stone, then the computer's turn
    EXPECT_EQ(f.Cell("I10"), White);
    EXPECT_EQ(f.host.workers.size(), 1u);
  }
}

TEST(RifHumanWhite, SwapHandsTheHumanBlack) {
  ControllerFixture f;
  f.Start();
  f.random = SequenceRandom({0});
  f.host.answers = {MessageAnswer::Yes};
  f.computer.moves = {ComputerAnswer::Play(P("G9"))};
  f.controller.Command(CmdPlayWhite);
  EXPECT_EQ(f.Cell("G9"), White);  // computed on the window's thread
  EXPECT_FALSE(f.controller.computing());
  f.Click("G7");  // the human, now Black, lays the first offering
  EXPECT_EQ(f.Cell("G7"), Black);
  EXPECT_EQ(f.controller.rifFifthState(), 1);
}

}  // namespace
}  // namespace tesmor
