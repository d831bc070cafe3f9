#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/forbidden.h"
#include "engine/gomocup_protocol.h"
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
  EXPECT_EQ(MoveText(P("A15")), "0,0");
  EXPECT_EQ(MoveText(P("O1")), "14,14");
  EXPECT_EQ(MoveText(P("C2")), "2,13");
  EXPECT_EQ(PointFromProtocol({2, 13}), P("C2"));
  EXPECT_EQ(PointFromProtocol({13, 2}), P("N13"));

  struct MoveCase {
    const char* text;
    bool ok;
    int x = 0;
    int y = 0;
  };
  for (const MoveCase& c :
       {MoveCase{"7,8", true, 7, 8}, MoveCase{" 7 , 8 ", true, 7, 8},
        MoveCase{"-1,-1", true, -1, -1}, MoveCase{"+3,0", true, 3, 0}, MoveCase{"7", false},
        MoveCase{"7,8,1", false}, MoveCase{"7,", false}, MoveCase{"a,b", false},
        MoveCase{"7.5,1", false}, MoveCase{"99999999999999,1", false}, MoveCase{"-2,0", false}}) {
    SCOPED_TRACE(c.text);
    const auto move = ParseMove(c.text);
    ASSERT_EQ(move.has_value(), c.ok);
    if (c.ok) {
      EXPECT_EQ(move->x * 100 + move->y, c.x * 100 + c.y);
    }
  }
  const auto entry = ParseBoardEntry("14, 0 ,2");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->point.x * 100 + entry->point.y, 1400);
  EXPECT_EQ(entry->field, 2);
  for (const char* bad : {"1,2", "1,2,3,4", "1,2,x", "1,2,-1", ",,"})
    EXPECT_FALSE(ParseBoardEntry(bad)) << bad;
}

TEST(TimeBudget, TurnAndMatchLimits) {
  struct Case {
    int64_t turn;
    int64_t left;
    int64_t think;
  };
  for (const Case& c : {
           Case{1000, UnlimitedMs, 900},     // a tenth kept back
           Case{5000, UnlimitedMs, 4500},    //
           Case{30000, UnlimitedMs, 29000},  // never more than a second
           Case{300, UnlimitedMs, 250},      // never less than 50 ms
           Case{40, UnlimitedMs, 0},         // nothing left to think with
           Case{0, UnlimitedMs, 0},          // as fast as possible
           Case{30000, 60000, 4000},         // a share of the match
           Case{2000, 600000, 1800},         // the turn limit is the tighter one
           Case{30000, 60, 4},               // the match is nearly over
           Case{30000, -500, 0},             // and past its time
       }) {
    SCOPED_TRACE(std::to_string(c.turn) + " " + std::to_string(c.left));
    EXPECT_EQ(ThinkingTimeMs({c.turn, 0, c.left}), c.think);
  }
}

TEST(LegalAnswer, KeepsPlayablePointsAndReplacesTheRest) {
  // Black to move under renju; H8 is a three-three.
  GameState game = test::FromMoves({"G8", "A1", "I8", "A3", "H7", "A5", "H9", "A7"});
  ASSERT_EQ(ForbiddenKindAt(game, PointRow(P("H8")), PointCol(P("H8"))), ThreeThree);
  const GameState before = game;
  EXPECT_EQ(LegalAnswer(game, P("J9")), P("J9"));
  for (const int chosen : {P("H8"), P("G8"), Resign, NoPoint, 255, MakePointPair(1, 2)}) {
    SCOPED_TRACE(chosen);
    const int answer = LegalAnswer(game, chosen);
    ASSERT_TRUE(answer >= 0 && answer < CellCount);
    EXPECT_EQ(game.cell(PointRow(answer), PointCol(answer)), Empty);
    EXPECT_EQ(ForbiddenKindAt(game, PointRow(answer), PointCol(answer)), None);
    EXPECT_NE(answer, P("H8"));
  }
  EXPECT_EQ(game, before);
  // White, or Black without forbidden moves, may play H8.
  game.forbiddenRulesOn = 0;
  EXPECT_EQ(LegalAnswer(game, P("H8")), P("H8"));
  RecordMove(game, 0, 14);
  game.forbiddenRulesOn = 1;
  EXPECT_EQ(LegalAnswer(game, P("H8")), P("H8"));
  // A full board has no answer.
  GameState full;
  for (int point = 0; point < CellCount; ++point)
    RecordMove(full, PointRow(point), PointCol(point));
  EXPECT_EQ(LegalAnswer(full, Resign), NoPoint);
}

}  // namespace
}  // namespace tesmor::gomocup
