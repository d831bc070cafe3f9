// The panel's notes: whose turn it is and whose side, what the RIF opening expects next; and the
// search's figures cleared where no search produced them.
#include <gtest/gtest.h>

#include "fake_host.h"

namespace tesmor {
namespace {

using test::ControllerFixture;
using test::P;

std::string Notes(ControllerFixture& f) {
  return f.controller.panel().Get(PanelTurnLine) + "|" + f.controller.panel().Get(PanelGuideLine);
}

TEST(PanelNotes, TurnSideAndRifGuidanceAsBlack) {
  ControllerFixture f;
  f.Start();
  f.random = SequenceRandom({0});  // the computer keeps White after the opening
  EXPECT_EQ(Notes(f), "轮到：黑方（您）|");
  f.Clicks({"H8", "H9", "H6"});
  EXPECT_EQ(Notes(f), "轮到：白方（电脑）|");
  f.Answer(P("H4"));
  EXPECT_EQ(Notes(f), "轮到：黑方（您）|");
  EXPECT_EQ(f.controller.panel().Get(ProgressLine(ProgressField::Depth)), "2");
  f.Click("G7");
  EXPECT_EQ(Notes(f), "轮到：黑方（您）|请下第二个五手打点");
  f.Click("J7");
  // A new computation starts without the figures of the last one.
  EXPECT_EQ(Notes(f), "轮到：白方（电脑）|");
  EXPECT_EQ(f.controller.panel().Get(ProgressLine(ProgressField::Depth)), "0");
  f.Answer(ComputerAnswer::Pair(P("K5"), P("J7")));
  EXPECT_EQ(Notes(f), "轮到：黑方（您）|");
  // One stone taken back: the human now plays White.
  f.controller.RightClick();
  EXPECT_EQ(Notes(f), "轮到：白方（您）|");
  f.controller.Command(CmdTwoPlayers);
  EXPECT_EQ(Notes(f), "轮到：黑方|");
  EXPECT_EQ(f.controller.panel().Get(ProgressLine(ProgressField::Depth)), "0");
  EXPECT_EQ(f.controller.panel().Get(ProgressLine(ProgressField::BestPoint)), "");
}

TEST(PanelNotes, WhiteChoosesAnOfferingAndTheGameEnds) {
  ControllerFixture f;
  f.Start();
  f.random = SequenceRandom({0});
  f.controller.Command(CmdPlayWhite);  // the swap question is answered No
  f.Click("G9");
  f.Answer(ComputerAnswer::Pair(P("G7"), P("J7")));
  EXPECT_EQ(Notes(f), "轮到：白方（您）|请选择去掉的五手");
  f.Click("J7");
  EXPECT_EQ(Notes(f), "轮到：白方（您）|");

  f.controller.Command(CmdRulesFree);
  f.controller.Command(CmdTwoPlayers);
  f.Clicks({"H8", "A1", "H9", "A2", "H10", "A3", "H11", "A4", "H12"});
  EXPECT_EQ(Notes(f), "对局结束|");
}

}  // namespace
}  // namespace tesmor
