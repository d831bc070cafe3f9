#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "brain_process.h"
#include "engine/position_arg.h"

// pbrain-tesmor driven through its standard input as a manager drives it.

namespace tesmor {
namespace {

// "x,y" of a point written as in the program's own text form ("H8"): x the column from the
// left, y the row from the top. Written out here rather than taken from the program.
std::string Xy(const std::string& text) {
  const int col = text[0] - 'A';
  const int row = std::stoi(text.substr(1)) - 1;
  return std::to_string(col) + "," + std::to_string(14 - row);
}

// BOARD (or YXBOARD) for a move list, 1 for the stones of the side to move; in the order played,
// or with the engine's own stones first.
std::string BoardCommand(const std::string& moves, const char* keyword = "BOARD",
                         bool ownFirst = false) {
  std::istringstream words(moves);
  std::vector<std::string> list;
  for (std::string word; words >> word;) list.push_back(word);
  const size_t engineParity = list.size() % 2;
  std::string own;
  std::string opponent;
  for (size_t i = 0; i < list.size(); ++i) {
    const bool mine = i % 2 == engineParity;
    const std::string line = Xy(list[i]) + (mine ? ",1\r\n" : ",2\r\n");
    if (!ownFirst || mine)
      own += line;
    else
      opponent += line;
  }
  return std::string(keyword) + "\r\n" + own + opponent + "DONE\r\n";
}

bool IsMove(const std::string& line) {
  int x = -1;
  int y = -1;
  char comma = 0;
  std::istringstream in(line);
  return (in >> x >> comma >> y) && comma == ',' && in.peek() == EOF && x >= 0 && x < 15 &&
         y >= 0 && y < 15;
}

// A brain after START 15.
class Brain : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(brain_.SendLine("START 15"));
    ASSERT_EQ(brain_.Reply(), "OK");
  }
  std::string Ask(const std::string& text) {
    brain_.Send(text);
    return brain_.Reply().value_or("<no reply>");
  }
  std::string AskLine(const std::string& line) { return Ask(line + "\r\n"); }
  // The depth the last search reached, from its message; -1 without one.
  int LastDepth() const {
    for (auto it = brain_.messages().rbegin(); it != brain_.messages().rend(); ++it)
      if (const size_t at = it->find(", depth "); at != std::string::npos)
        return std::stoi(it->substr(at + 8));
    return -1;
  }
  bool LastMessageHas(const std::string& text) const {
    return !brain_.messages().empty() && brain_.messages().back().find(text) != std::string::npos;
  }

  BrainProcess brain_{TESMOR_PBRAIN_BINARY};
};

// A quiet middle game that "9级" needs long to search (tens of seconds optimised): only a stop
// brings its answer in time.
const char* kLongSearch = "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4";

TEST_F(Brain, ScriptedGameOnAnAsymmetricBoard) {
  ASSERT_TRUE(brain_.SendLine("INFO rule 0"));
  brain_.SendLine("INFO timeout_turn 2000");
  brain_.SendLine("INFO level 1");
  // The opponent has four in row 2 from the left edge, blocked at 0,2, and a three in column 9
  // blocked above at 9,4. The engine is Black (equal counts) and must answer 5,2: a swapped axis
  // answers 2,5, a flipped row 5,12 and a flipped column 9,2.
  const std::vector<std::string> opponent = {"1,2", "2,2", "3,2", "4,2", "9,5", "9,6", "9,7"};
  const std::vector<std::string> own = {"0,2", "9,4", "12,12", "5,12", "13,8", "2,9", "6,10"};
  std::string board = "BOARD\r\n";
  for (size_t i = 0; i < own.size(); ++i) board += own[i] + ",1\r\n" + opponent[i] + ",2\r\n";
  std::set<std::string> occupied(own.begin(), own.end());
  occupied.insert(opponent.begin(), opponent.end());

  EXPECT_EQ(Ask(board + "DONE\r\n"), "5,2");
  // Four in column 9 from 9,5 down to 9,8: the only answer is below it.
  EXPECT_EQ(AskLine("TURN 9,8"), "9,9");
  EXPECT_EQ(AskLine("TAKEBACK 9,9"), "OK");
  EXPECT_EQ(AskLine("TAKEBACK 9,8"), "OK");
  EXPECT_EQ(AskLine("TAKEBACK 9,7").rfind("ERROR", 0), 0u) << "9,7 is not the newest stone";
  EXPECT_EQ(AskLine("TURN 9,8"), "9,9");
  occupied.insert({"5,2", "9,8", "9,9"});

  // A few more moves: every answer is an empty point on the board.
  const char* corners[] = {"14,0", "0,14", "14,14", "0,0", "13,0", "0,13"};
  for (int move = 0; move < 3; ++move) {
    std::string turn;
    for (const char* corner : corners)
      if (turn.empty() && !occupied.count(corner)) turn = corner;
    occupied.insert(turn);
    const std::string answer = AskLine("TURN " + turn);
    ASSERT_TRUE(IsMove(answer)) << answer;
    EXPECT_TRUE(occupied.insert(answer).second) << answer << " was occupied";
  }
}

TEST_F(Brain, OpensAndAnswersAsWhite) {
  brain_.SendLine("INFO timeout_turn 1000");
  EXPECT_EQ(AskLine("BEGIN"), "7,7");
  EXPECT_EQ(AskLine("RESTART"), "OK");
  const std::string reply = AskLine("TURN 7,7");
  EXPECT_TRUE(IsMove(reply) && reply != "7,7") << reply;
}

// Black G8 I8 H7 H9 make H8 a three-three; Black's four C13..F13 (White B13) must be blocked on
// G13. White, the engine, is to move.
const char* kRenjuGame = "G8 B13 I8 N2 H7 L4 H9 O7 C13 B3 D13 D1 E13 A6 F13";

TEST_F(Brain, RenjuBoardInMoveOrder) {
  for (const bool ownFirst : {false, true}) {
    SCOPED_TRACE(ownFirst ? "own stones first" : "in the order played");
    AskLine("RESTART");
    brain_.SendLine("INFO rule 4");
    brain_.SendLine("INFO timeout_turn 2000");
    brain_.SendLine("INFO level 1");
    EXPECT_EQ(Ask(BoardCommand(kRenjuGame, "BOARD", ownFirst)), Xy("G13"));
    // Black's forbidden point is found among the opponent's stones: the colours are right.
    EXPECT_EQ(AskLine("YXSHOWFORBID"), "FORBID 0707.");
  }
}

TEST_F(Brain, NeverPlaysAForbiddenPointUnderRenju) {
  // White threatens five on H8, which is a three-three for Black, the engine: under renju Black
  // loses anyway but must not play there; without forbidden moves H8 is the only block.
  const char* game = "G8 I9 I8 J10 H7 K11 H9 L12 M13 A1";
  struct Case {
    const char* rule;
    bool playsH8;
  };
  for (const Case& c : {Case{"4", false}, Case{"2", false}, Case{"0", true}}) {
    SCOPED_TRACE(std::string("rule ") + c.rule);
    AskLine("RESTART");
    brain_.SendLine(std::string("INFO rule ") + c.rule);
    brain_.SendLine("INFO timeout_turn 1000");
    const std::string answer = Ask(BoardCommand(game));
    ASSERT_TRUE(IsMove(answer)) << answer;
    EXPECT_EQ(answer == "7,7", c.playsH8) << answer;
  }
}

// White to move; for Black E12 is an overline, H8 a three-three and L2 a four-four.
const char* kForbidPosition =
    "G8 A1 I8 A3 H7 A5 H9 A7 B12 A9 C12 A15 D12 C15 F12 E15 G12 G15 I2 I15 K2 K15 M2 M15 O2";

TEST_F(Brain, ShowsForbiddenPoints) {
  struct Case {
    const char* rule;
    const char* forbid;
  };
  for (const Case& c : {Case{"4", "FORBID 040307071113."}, Case{"2", "FORBID 040307071113."},
                        Case{"0", "FORBID ."}}) {
    SCOPED_TRACE(std::string("rule ") + c.rule);
    brain_.SendLine(std::string("INFO rule ") + c.rule);
    brain_.Send(BoardCommand(kForbidPosition, "YXBOARD"));
    EXPECT_EQ(AskLine("YXSHOWFORBID"), c.forbid);
  }
  // Without the last Black stone (O2) L2 is no longer a four-four.
  EXPECT_EQ(AskLine("INFO rule 4\r\nTAKEBACK " + Xy("O2")), "OK");
  EXPECT_EQ(AskLine("YXSHOWFORBID"), "FORBID 04030707.");
  EXPECT_EQ(AskLine("START 15\r\nYXSHOWFORBID"), "OK");
  EXPECT_EQ(brain_.Reply(), "FORBID .");
}

TEST_F(Brain, LineEndsAndCase) {
  // CR LF, lone CR and lone LF in one write, keywords in any case.
  EXPECT_EQ(Ask("info rule 0\rInfo Timeout_Turn 500\r\nrestart\n"), "OK");
  EXPECT_EQ(Ask("begin\r"), "7,7");
  // A CR LF split over two writes is one line end, not an empty command.
  brain_.Send("about\r");
  const std::string about = brain_.Reply().value_or("");
  EXPECT_NE(about.find("name=\"Tesmor\""), std::string::npos) << about;
  EXPECT_EQ(Ask("\nyxboard\n7,7,2\r\n8,7,1\rdone\r\nyxshowforbid\n"), "FORBID .");
}

TEST_F(Brain, UnknownCommandsAndRefusals) {
  struct Case {
    std::string line;
    const char* replyStart;
  };
  const Case cases[] = {
      {"FOO", "UNKNOWN"},        {"SWAP2BOARD", "UNKNOWN"},
      {"DONE", "UNKNOWN"},       {"PLAY 7,7", "UNKNOWN"},
      {"\x01\xff", "UNKNOWN"},   {"START 20", "ERROR"},
      {"START", "ERROR"},        {"RECTSTART 20,15", "ERROR"},
      {"TAKEBACK 3,3", "ERROR"}, {std::string(5000, 'A'), "ERROR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 20));
    const std::string reply = AskLine(c.line);
    EXPECT_EQ(reply.rfind(c.replyStart, 0), 0u) << reply;
    EXPECT_EQ(reply.find_first_of("\r\x01\xff"), std::string::npos);
  }
  EXPECT_EQ(AskLine("RECTSTART 15,15"), "OK");

  // INFO never answers; its errors come before the next command's reply, each once.
  brain_.SendLine("INFO level 12");
  brain_.SendLine("INFO rule 1");
  brain_.SendLine("INFO timeout_turn soon");
  brain_.SendLine("INFO unheard_of 5");
  brain_.SendLine("ABOUT");
  for (const char* part : {"level 12", "rule 1", "timeout_turn soon"}) {
    const std::string reply = brain_.Reply().value_or("");
    EXPECT_EQ(reply.rfind("ERROR", 0), 0u) << reply;
    EXPECT_NE(reply.find(part), std::string::npos) << reply;
  }
  EXPECT_EQ(brain_.Reply().value_or("").rfind("name=", 0), 0u);
  EXPECT_EQ(AskLine("ABOUT").rfind("name=", 0), 0u);
}

TEST_F(Brain, BadInputLeavesThePositionAsItWas) {
  brain_.SendLine("INFO rule 4");
  brain_.Send(BoardCommand(kForbidPosition, "YXBOARD"));
  const std::string forbid = AskLine("YXSHOWFORBID");
  ASSERT_EQ(forbid, "FORBID 040307071113.");
  const std::vector<std::string> bad = {
      "BOARD\r\n15,3,1\r\nDONE",                              // off the board
      "BOARD\r\n-1,3,1\r\nDONE",                              // off the board
      "BOARD\r\n3,3,1\r\n3,3,2\r\nDONE",                      // one point twice
      "BOARD\r\n3;3;1\r\nDONE",                               // malformed
      "BOARD\r\n3,3\r\nDONE",                                 // malformed
      "BOARD\r\n3,3,7\r\nDONE",                               // no such field
      "BOARD\r\n3,3,3\r\nDONE",                               // continuous game
      "BOARD\r\n3,3,1\r\n4,4,1\r\nDONE",                      // the engine would not be to move
      "YXBOARD\r\n3,3,2\r\n4,4,2\r\n5,5,2\r\n6,6,1\r\nDONE",  // nor here
      "BOARD\r\n" + std::string(5000, '1') + "\r\nDONE",
      "TURN " + Xy("H9"),  // occupied
      "TURN 15,0",
      "TURN 7",
      "TURN a,b",
      "TURN -1,-1",
      "TURN",
  };
  for (const std::string& text : bad) {
    SCOPED_TRACE(text.substr(0, 40));
    EXPECT_EQ(AskLine(text).rfind("ERROR", 0), 0u);
    EXPECT_EQ(AskLine("YXSHOWFORBID"), forbid);
  }
  // A BOARD that never ends: the next command closes it with an error and still runs.
  EXPECT_EQ(AskLine("BOARD\r\n3,3,1\r\nYXSHOWFORBID").rfind("ERROR", 0), 0u);
  EXPECT_EQ(brain_.Reply(), forbid);
  // The position still plays.
  brain_.SendLine("INFO timeout_turn 1000");
  EXPECT_TRUE(IsMove(AskLine("TURN 14,0")));
}

TEST_F(Brain, StopEndsTheSearchWithAMove) {
  for (const char* stop : {"STOP", "yxstop"}) {
    SCOPED_TRACE(stop);
    AskLine("RESTART");
    brain_.SendLine("INFO level 9");
    brain_.SendLine("INFO timeout_turn 3600000");
    // STOP arrives while the search runs: it is the next line after DONE.
    const std::string answer = Ask(BoardCommand(kLongSearch) + stop + "\r\n");
    EXPECT_TRUE(IsMove(answer)) << answer;
    EXPECT_TRUE(LastMessageHas("stopped"));
    EXPECT_GE(LastDepth(), 0);
    EXPECT_LT(LastDepth(), 6) << "the search ran all its iterations";
  }
}

TEST_F(Brain, TurnLimitStopsTheSearch) {
  brain_.SendLine("INFO level 9");
  brain_.SendLine("INFO timeout_turn 1000");
  EXPECT_TRUE(IsMove(Ask(BoardCommand(kLongSearch))));
  EXPECT_TRUE(LastMessageHas("stopped"));
  EXPECT_LT(LastDepth(), 6);
}

TEST(BrainTime, TimeLimitsChooseTheLevel) {
  // Too little time for a search gives the immediate level-0 move.
  struct Case {
    const char* infos;
    const char* level;
  };
  for (const Case& c : {
           Case{"INFO timeout_turn 0", "level 0,"},
           Case{"INFO timeout_match 100000\r\nINFO time_left 200", "level 0,"},
           Case{"INFO timeout_match 100000\r\nINFO time_left -5", "level 0,"},
           Case{"INFO timeout_turn 1000\r\nINFO level 3", "level 3,"},
           Case{"INFO timeout_turn 1000", "level 8,"},
       }) {
    SCOPED_TRACE(c.infos);
    BrainProcess brain(TESMOR_PBRAIN_BINARY);
    brain.SendLine(c.infos);
    brain.Send(BoardCommand("H8 H9 J10 I9"));
    EXPECT_TRUE(IsMove(brain.Reply().value_or("")));
    ASSERT_FALSE(brain.messages().empty());
    EXPECT_EQ(brain.messages().back().rfind(std::string("MESSAGE ") + c.level, 0), 0u)
        << brain.messages().back();
  }
}

TEST_F(Brain, EndWhileThinkingExitsWithoutAnswering) {
  brain_.SendLine("INFO level 9");
  brain_.SendLine("INFO timeout_turn 3600000");
  brain_.Send(BoardCommand(kLongSearch) + "END\r\n");
  for (const std::string& line : brain_.RestOfOutput()) EXPECT_FALSE(IsMove(line)) << line;
  EXPECT_EQ(brain_.WaitForExit(), 0);
}

TEST_F(Brain, EndOfInputAnswersWhatWasAskedThenExits) {
  brain_.SendLine("INFO timeout_turn 500");
  brain_.Send(BoardCommand("H8 H9 J10 I9") + "YXSHOWFORBID\r\n");
  brain_.CloseInput();
  const std::vector<std::string> rest = brain_.RestOfOutput();
  ASSERT_GE(rest.size(), 2u);
  EXPECT_TRUE(IsMove(rest[rest.size() - 2])) << rest[rest.size() - 2];
  EXPECT_EQ(rest.back(), "FORBID .");
  EXPECT_EQ(brain_.WaitForExit(), 0);
}

TEST_F(Brain, EndWhenIdle) {
  brain_.SendLine("END");
  EXPECT_TRUE(brain_.RestOfOutput().empty());
  EXPECT_EQ(brain_.WaitForExit(), 0);
}

}  // namespace
}  // namespace tesmor
