#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/commands.h"

namespace tesmor {
namespace {

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun Engine(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunEngineCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(EvalCommand, OneStoneAndTiesInPointIndexOrder) {
  // A lone Black stone: no pattern for either side. White's best points are those where a Black
  // stone would make an open two with H8 (defence 2, times 5), up to three points away; the
  // points four away make only X___X, which defence does not count.
  const CommandRun run = Engine({"eval", "H8"});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "black 0\nwhite 0\n"
            "E5 10\nE8 10\nE11 10\nF6 10\nF8 10\nF10 10\nG7 10\nG8 10\nG9 10\nH5 10\n");
}

TEST(EvalCommand, ScoresBothSidesAndRanksTheBlock) {
  // Black's split three G8 H8 _ J8 against White's open two G9 H9: Black 70 - 30, White
  // 21 - 2500. White's best point is I8: Black there would have an open four (5 * 3008), and a
  // White stone makes an open two on the diagonal with H9 (8 * 5).
  const std::vector<std::string> lines = Lines(Engine({"eval", "H8 H9 G8 G9 J8"}).out);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "black 40");
  EXPECT_EQ(lines[1], "white -2479");
  EXPECT_EQ(lines[2], "I8 15080");
  EXPECT_EQ(lines[3], "I9 100");
}

TEST(EvalCommand, TheRulesOptionChangesBlacksForbiddenGuess) {
  // Black to move; H8 would make two open threes: 8 * (2 * 10 + 100) without forbidden moves,
  // a forbidden guess (far below every other point) with them, which is the default.
  const std::string position = "F8 O15 G8 A15 H6 O1 H7 A1";
  const std::vector<std::string> free = Lines(Engine({"eval", position, "--rules", "free"}).out);
  ASSERT_EQ(free.size(), 12u);
  EXPECT_EQ(free[2], "H8 960");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"eval", position}, {"eval", position, "--rules", "forbidden"}}) {
    const std::vector<std::string> forbidden = Lines(Engine(args).out);
    ASSERT_EQ(forbidden.size(), 12u);
    for (const std::string& line : forbidden) EXPECT_NE(line.rfind("H8 ", 0), 0u) << line;
  }
}

TEST(EvalCommand, FewerThanTenEmptyPoints) {
  // 222 stones in PointIndex order (no five check when a position is read): three points left.
  std::string moves;
  for (int point = 0; point < 222; ++point) {
    moves += static_cast<char>('A' + point / 15);
    moves += std::to_string(point % 15 + 1) + " ";
  }
  const CommandRun run = Engine({"eval", moves, "--rules", "free"});
  EXPECT_EQ(run.status, ExitOk);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 5u);
  for (int i = 2; i < 5; ++i) {
    const std::string point = lines[i].substr(0, lines[i].find(' '));
    EXPECT_TRUE(point == "O13" || point == "O14" || point == "O15") << lines[i];
  }
}

TEST(EvalCommand, BadInputSaysWhyOnStderrAndExitsTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"eval"},
      {"eval", "H8 Z9"},
      {"eval", "H8 H8"},
      {"eval", "missing-file.pos"},
      {"eval", "H8", "--rules"},
      {"eval", "H8", "--rules", "renju"},
      {"eval", "H8", "--depth", "3"},
  };
  for (const auto& args : cases) {
    const CommandRun run = Engine(args);
    EXPECT_EQ(run.status, ExitBadInput) << args.back();
    EXPECT_EQ(run.out, "") << args.back();
    EXPECT_FALSE(run.err.empty()) << args.back();
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  }
}

TEST(EvalCommand, ListedInTheHelp) {
  EXPECT_NE(Engine({"help"}).out.find("eval POSITION [--rules free|forbidden]"), std::string::npos);
}

}  // namespace
}  // namespace tesmor
