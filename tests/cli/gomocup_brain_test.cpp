#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "brain_process.h"

// pbrain-tesmor driven through its standard input as a manager drives it.

namespace tesmor {
namespace {

// "x,y" of a point in the program's text form ("H8"): x the column, y the row from the top.
std::string Xy(const std::string& text) {
  const int col = text[0] - 'A';
  const int row = std::stoi(text.substr(1)) - 1;
  return std::to_string(col) + "," + std::to_string(14 - row);
}

// BOARD (or YXBOARD) for a move list, 1 for the side to move; as played or own stones first.
std::string BoardCommand(const std::string& moves, const char* keyword = "BOARD",
                         bool ownFirst = false) {
  std::istringstream words(moves);
  const std::vector<std::string> list{std::istream_iterator<std::string>(words), {}};
  std::string own;
  std::string opponent;
  for (size_t i = 0; i < list.size(); ++i) {
    const bool mine = i % 2 == list.size() % 2;
    (ownFirst && !mine ? opponent : own) += Xy(list[i]) + (mine ? ",1\r\n" : ",2\r\n");
  }
  return std::string(keyword) + "\r\n" + own + opponent + "DONE\r\n";
}

bool IsMove(const std::string& line) {
  return std::regex_match(line, std::regex("(1[0-4]|[0-9]),(1[0-4]|[0-9])"));
}

// A brain after START 15.
class Brain : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Ask("START 15\r\n"), "OK"); }
  // Sends the bytes, or the line with CR LF, and returns the next reply.
  std::string Ask(const std::string& text) {
    brain_.Send(text);
    return brain_.Reply().value_or("<no reply>");
  }
  std::string AskLine(const std::string& line) { return Ask(line + "\r\n"); }
  // INFO lines for the settings, "key value" separated by ";".
  void Info(const std::string& settings) {
    std::istringstream in(settings);
    for (std::string item; std::getline(in, item, ';');) brain_.SendLine("INFO " + item);
  }
  // The last search's message: whether it was stopped, and the depth it reached (-1 without one).
  bool LastSearchStopped() const {
    return !brain_.messages().empty() && brain_.messages().back().ends_with(", stopped");
  }
  int LastDepth() const {
    for (auto it = brain_.messages().rbegin(); it != brain_.messages().rend(); ++it)
      if (const size_t at = it->find(", depth "); at != std::string::npos)
        return std::stoi(it->substr(at + 8));
    return -1;
  }

  BrainProcess brain_{TESMOR_PBRAIN_BINARY};
};

// A quiet middle game that takes "9级" many seconds, with either rule: only a stop brings its
// answer within a second.
const char* kLongSearch = "H8 H9 I8 G8 I10 G9 I9 I11 G7 J10 H7 I7 J9 G6 K8 L7 K9 K10 L9 M9";

TEST_F(Brain, ScriptedGameOnAnAsymmetricBoard) {
  Info("rule 0;timeout_turn 2000;level 1");
  // The opponent has four in row 2 from the left edge, blocked at 0,2, and a three in column 9
  // blocked above at 9,4. The engine is Black (equal counts) and must answer 5,2: a swapped axis
  // answers 2,5, a flipped row 5,12 and a flipped column 9,2.
  const std::vector<std::string> opponent = {"1,2", "2,2", "3,2", "4,2", "9,5", "9,6", "9,7"};
  const std::vector<std::string> own = {"0,2", "9,4", "12,12", "5,12", "13,8", "2,9", "6,10"};
  std::string board = "BOARD\r\n";
  for (size_t i = 0; i < own.size(); ++i) board += own[i] + ",1\r\n" + opponent[i] + ",2\r\n";
  EXPECT_EQ(Ask(board + "DONE\r\n"), "5,2");
  // Four in column 9 from 9,5 down to 9,8: the only answer is below it.
  EXPECT_EQ(AskLine("TURN 9,8"), "9,9");
  EXPECT_EQ(AskLine("TAKEBACK 9,9"), "OK");
  EXPECT_EQ(AskLine("TAKEBACK 9,8"), "OK");
  EXPECT_TRUE(AskLine("TAKEBACK 9,7").starts_with("ERROR")) << "9,7 is not the newest stone";
  EXPECT_EQ(AskLine("TURN 9,8"), "9,9");

  // A new game where the engine opens, then answers as White.
  EXPECT_EQ(AskLine("RESTART"), "OK");
  EXPECT_EQ(AskLine("BEGIN"), "7,7");
  EXPECT_EQ(AskLine("RESTART"), "OK");
  const std::string reply = AskLine("TURN 7,7");
  EXPECT_TRUE(IsMove(reply) && reply != "7,7") << reply;
}

TEST_F(Brain, NeverPlaysAForbiddenPointUnderRenju) {
  // White threatens five on H8, which is a three-three for Black, the engine: under renju Black
  // loses anyway but must not play there; without forbidden moves H8 is the only block.
  for (const auto& [rule, playsH8] : {std::pair{"4", false}, {"2", false}, {"0", true}}) {
    SCOPED_TRACE(std::string("rule ") + rule);
    AskLine("RESTART");
    Info(std::string("rule ") + rule + ";timeout_turn 1000");
    const std::string answer = Ask(BoardCommand("G8 I9 I8 J10 H7 K11 H9 L12 M13 A1"));
    ASSERT_TRUE(IsMove(answer)) << answer;
    EXPECT_EQ(answer == "7,7", playsH8) << answer;
  }
}

// White to move; for Black E12 is an overline, H8 a three-three and L2 a four-four.
const char* kForbidPosition =
    "G8 A1 I8 A3 H7 A5 H9 A7 B12 A9 C12 A15 D12 C15 F12 E15 G12 G15 I2 I15 K2 K15 M2 M15 O2";

TEST_F(Brain, ShowsForbiddenPointsAndBadInputLeavesThePositionAsItWas) {
  // Black's forbidden points are found among the opponent's stones, in either order of the lines.
  for (const auto& [rule, ownFirst, forbid] : {std::tuple{"0", false, "FORBID ."},
                                               {"2", false, "FORBID 040307071113."},
                                               {"4", true, "FORBID 040307071113."}}) {
    SCOPED_TRACE(std::string("rule ") + rule);
    Info(std::string("rule ") + rule);
    brain_.Send(BoardCommand(kForbidPosition, "YXBOARD", ownFirst));
    EXPECT_EQ(AskLine("YXSHOWFORBID"), forbid);
  }
  const std::string forbid = "FORBID 040307071113.";
  // Off the board, a point twice, malformed, no such field, a continuous game, the engine not to
  // move, a line too long; TURN on an occupied point, off the board, malformed.
  const std::string bad[] = {"BOARD\r\n15,3,1\r\nDONE",
                             "BOARD\r\n-1,3,1\r\nDONE",
                             "BOARD\r\n3,3,1\r\n3,3,2\r\nDONE",
                             "BOARD\r\n3;3;1\r\nDONE",
                             "BOARD\r\n3,3,7\r\nDONE",
                             "BOARD\r\n3,3,3\r\nDONE",
                             "BOARD\r\n3,3,1\r\n4,4,1\r\nDONE",
                             "YXBOARD\r\n3,3,2\r\n4,4,2\r\n5,5,2\r\n6,6,1\r\nDONE",
                             "BOARD\r\n" + std::string(5000, '1') + "\r\nDONE",
                             "TURN " + Xy("H9"),
                             "TURN 15,0",
                             "TURN -1,-1",
                             "TURN 7",
                             "TURN"};
  for (const std::string& text : bad) {
    SCOPED_TRACE(text.substr(0, 40));
    EXPECT_TRUE(AskLine(text).starts_with("ERROR"));
    EXPECT_EQ(AskLine("YXSHOWFORBID"), forbid);
  }
  // A BOARD that never ends: the next command closes it with an error and still runs.
  EXPECT_TRUE(AskLine("BOARD\r\n3,3,1\r\nYXSHOWFORBID").starts_with("ERROR"));
  EXPECT_EQ(brain_.Reply(), forbid);
  // Without the last Black stone (O2) L2 is no longer a four-four; the position still plays.
  EXPECT_EQ(AskLine("TAKEBACK " + Xy("O2")), "OK");
  EXPECT_EQ(AskLine("YXSHOWFORBID"), "FORBID 04030707.");
  Info("timeout_turn 1000");
  EXPECT_TRUE(IsMove(AskLine("TURN 14,0")));
  EXPECT_EQ(AskLine("START 15\r\nYXSHOWFORBID"), "OK");
  EXPECT_EQ(brain_.Reply(), "FORBID .");
}

// STOP or YXSTOP right after DONE, or the turn's time limit, ends the search with a move.
TEST_F(Brain, StopEndsTheSearchWithAMove) {
  for (const auto& [stop, turnMs] :
       {std::pair{"STOP\r\n", "3600000"}, {"yxstop\r\n", "3600000"}, {"", "1000"}}) {
    SCOPED_TRACE(std::string(stop) + turnMs);
    AskLine("RESTART");
    Info(std::string("level 9;timeout_turn ") + turnMs);
    const std::string answer = Ask(BoardCommand(kLongSearch) + stop);
    EXPECT_TRUE(IsMove(answer)) << answer;
    EXPECT_TRUE(LastSearchStopped());
    EXPECT_GE(LastDepth(), 0);
    // Stopped at once, it cannot have reached the last iteration (depth 6); within a second the
    // faster builds may, so there the message's "stopped" says enough.
    if (*stop) {
      EXPECT_LT(LastDepth(), 6) << "the search ran all its iterations";
    }
  }
}

// The level each INFO leaves on one brain, named in the MESSAGE: the manager's (a refused one
// changes nothing), or level 0 when too little time is left. The master's MESSAGE has its figures
// and a principal variation that starts with the move played.
TEST_F(Brain, InfoLinesChooseTheLevel) {
  const std::regex master(
      "MESSAGE level master, depth [0-9]+, score -?[0-9]+, nodes [0-9]+, speed [0-9]+ nps, "
      "pv( [0-9]+,[0-9]+)+, (search|vcf|vct|five|forced|book|opening), [0-9]+ ms(, stopped)?");
  const std::pair<const char*, std::string> steps[] = {
      {"timeout_turn 300", "master"},
      {"level 9", "9"},
      {"level master", "master"},
      {"level 3", "3"},
      {"level 11", "3"},
      {"level 10", "master"},
      {"max_memory 20000000", "master"},
      {"timeout_turn 0", "0"},
      {"timeout_turn 1000;timeout_match 100000;time_left 200", "0"},
      {"timeout_match 600000;time_left 3000", "master"},
  };
  for (const auto& [infos, level] : steps) {
    SCOPED_TRACE(infos);
    Info(infos);
    const size_t messages = brain_.messages().size();
    std::string move = Ask(BoardCommand("H8 H9 J10 I9"));
    if (infos == std::string("level 11")) {
      EXPECT_TRUE(move.starts_with("ERROR")) << move;
      move = brain_.Reply().value_or("");
    }
    ASSERT_TRUE(IsMove(move)) << move;
    ASSERT_GT(brain_.messages().size(), messages);
    const std::string& message = brain_.messages().back();
    EXPECT_TRUE(message.starts_with("MESSAGE level " + level + ",")) << message;
    if (level == "master") {
      EXPECT_TRUE(std::regex_match(message, master)) << message;
      EXPECT_NE(message.find("pv " + move), std::string::npos) << message;
    }
  }
}

// Under renju the classic levels answer the openings from the book beside the program (no
// search, so no depth in their message), while "大师" searches its own.
TEST_F(Brain, OnlyTheClassicLevelsPlayTheBook) {
  Info("rule 4;timeout_turn 300;level 9");
  const std::string opening = BoardCommand("H8 H9 H10");
  ASSERT_TRUE(IsMove(Ask(opening)));
  ASSERT_FALSE(brain_.messages().empty());
  EXPECT_TRUE(std::regex_match(brain_.messages().back(), std::regex("MESSAGE level 9, [0-9]+ ms")))
      << brain_.messages().back();
  Info("level master");
  ASSERT_TRUE(IsMove(Ask(opening)));
  EXPECT_NE(brain_.messages().back().find(", search, "), std::string::npos)
      << brain_.messages().back();
}

// END while the search runs ends the program at once, without an answer, within the guard.
TEST_F(Brain, EndWhileThinkingExitsWithoutAnswering) {
  Info("level 9;timeout_turn 3600000");
  brain_.Send(BoardCommand(kLongSearch) + "END\r\n");
  for (const std::string& line : brain_.RestOfOutput()) EXPECT_FALSE(IsMove(line)) << line;
  EXPECT_TRUE(brain_.OutputEnded());
  EXPECT_EQ(brain_.WaitForExit(), "exit 0");
}

TEST_F(Brain, EndOfInputOrEndWhenIdleExits) {
  Info("timeout_turn 500");
  brain_.Send(BoardCommand("H8 H9 J10 I9") + "YXSHOWFORBID\r\n");
  brain_.CloseInput();
  const std::vector<std::string> rest = brain_.RestOfOutput();
  ASSERT_GE(rest.size(), 2u);
  EXPECT_TRUE(IsMove(rest[rest.size() - 2])) << rest[rest.size() - 2];
  EXPECT_EQ(rest.back(), "FORBID .");
  EXPECT_EQ(brain_.WaitForExit(), "exit 0");
  // END when idle: no output, and the program ends.
  BrainProcess idle(TESMOR_PBRAIN_BINARY);
  idle.SendLine("END");
  EXPECT_TRUE(idle.RestOfOutput().empty());
  EXPECT_EQ(idle.WaitForExit(), "exit 0");
}

}  // namespace
}  // namespace tesmor
