#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/forbidden.h"
#include "cli/gomocup_protocol.h"
#include "support/diagram.h"

namespace tesmor::gomocup {
namespace {

using test::P;

std::vector<std::string> Split(const std::vector<std::string>& chunks, bool finish = false) {
  LineSplitter splitter;
  for (const std::string& chunk : chunks) splitter.Feed(chunk);
  if (finish) splitter.Finish();
  std::vector<std::string> lines;
  while (auto line = splitter.Next()) lines.push_back(line->tooLong ? "<long>" : line->text);
  return lines;
}

TEST(LineSplitter, EveryLineEndAndChunking) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(Split({"A\r\nB\rC\nD"}), (Lines{"A", "B", "C"}));
  EXPECT_EQ(Split({"A\r\nB\rC\nD"}, true), (Lines{"A", "B", "C", "D"}));
  EXPECT_EQ(Split({"AB", "C\r", "\nD\n\n\r\r\n"}), (Lines{"ABC", "D"}));
  EXPECT_EQ(Split({"", "\r\n"}), Lines{});
  // A line without end is cut, flagged, and does not swallow the next one.
  EXPECT_EQ(Split({std::string(LineSplitter::MaxLineLength, 'x'), "yz\nOK\n"}),
            (Lines{"<long>", "OK"}));
  EXPECT_EQ(Split({std::string(LineSplitter::MaxLineLength, 'x') + "\n"}),
            Lines{std::string(LineSplitter::MaxLineLength, 'x')});
}

TEST(ProtocolText, Points) {
  // x is the column from the left, y the row from the top.
  EXPECT_EQ(MoveText(P("A15")) + " " + MoveText(P("O1")) + " " + MoveText(P("C2")),
            "0,0 14,14 2,13");
  EXPECT_EQ(PointFromProtocol({2, 13}), P("C2"));
  EXPECT_EQ(PointFromProtocol({13, 2}), P("N13"));

  // Moves and BOARD entries as read: "x,y" and "x,y,field", or "-" when refused.
  std::string moves;
  for (const char* text : {"7,8", " 7 , 8 ", "-1,-1", "+3,0", "7", "7,8,1", "7,", "a,b", "7.5,1",
                           "99999999999999,1", "-2,0"}) {
    const auto move = ParseMove(text);
    moves += move ? std::to_string(move->x) + "," + std::to_string(move->y) + " " : "- ";
  }
  EXPECT_EQ(moves, "7,8 7,8 -1,-1 3,0 - - - - - - - ");
  std::string entries;
  for (const char* text : {"14, 0 ,2", "1,2", "1,2,3,4", "1,2,x", "1,2,-1", ",,"}) {
    const auto entry = ParseBoardEntry(text);
    entries += entry ? std::to_string(entry->point.x) + "," + std::to_string(entry->point.y) + "," +
                           std::to_string(entry->field) + " "
                     : "- ";
  }
  EXPECT_EQ(entries, "14,0,2 - - - - - ");
}

TEST(TimeBudget, TurnAndMatchLimits) {
  const int64_t cases[][3] = {
      {1000, UnlimitedMs, 900}, {5000, UnlimitedMs, 4500}, {30000, UnlimitedMs, 29000},
      {300, UnlimitedMs, 250},  {40, UnlimitedMs, 0},      {0, UnlimitedMs, 0},
      {30000, 60000, 4000},     {2000, 600000, 1800},      {30000, 60, 4},
      {30000, -500, 0}};
  for (const auto& [turn, left, think] : cases)
    EXPECT_EQ(ThinkingTimeMs({turn, 0, left}), think) << turn << " " << left;
}

TEST(LegalAnswer, KeepsPlayablePointsAndReplacesTheRest) {
  // Black to move under renju; H8 is a three-three.
  GameState game = test::FromMoves({"G8", "A1", "I8", "A3", "H7", "A5", "H9", "A7"});
  ASSERT_EQ(ForbiddenKindAt(game, PointRow(P("H8")), PointCol(P("H8"))), ThreeThree);
  const GameState before = game;
  auto play = [](int point) { return ComputerAnswer::Play(point); };
  EXPECT_EQ(LegalAnswer(game, play(P("J9"))), P("J9"));
  int trace = 0;
  for (const ComputerAnswer& chosen :
       {play(P("H8")), play(P("G8")), ComputerAnswer::Resignation(), ComputerAnswer::None(),
        play(255), ComputerAnswer::Pair(1, 2)}) {
    SCOPED_TRACE(trace++);
    const int answer = LegalAnswer(game, chosen);
    EXPECT_TRUE(test::IsLegalMove(game, answer)) << answer;  // neither H8 nor G8
  }
  EXPECT_EQ(game, before);
  // White, or Black without forbidden moves, may play H8.
  game.forbiddenRulesOn = 0;
  EXPECT_EQ(LegalAnswer(game, play(P("H8"))), P("H8"));
  RecordMove(game, 0, 14);
  game.forbiddenRulesOn = 1;
  EXPECT_EQ(LegalAnswer(game, play(P("H8"))), P("H8"));
  // A full board has no answer.
  GameState full;
  for (int point = 0; point < CellCount; ++point)
    RecordMove(full, PointRow(point), PointCol(point));
  EXPECT_EQ(LegalAnswer(full, ComputerAnswer::Resignation()), NoPoint);
}

}  // namespace
}  // namespace tesmor::gomocup
