#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/commands.h"

namespace tesmor {
namespace {

struct Output {
  int status;
  std::string out;
  std::string err;
};

Output Engine(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunEngineCommand(args, out, err);
  return {status, out.str(), err.str()};
}

// White to move: G5 makes two fours on the fifth row.
const char* kDoubleFour = "A15 D5 C15 F5 E15 H5 O1 J5 M1";

TEST(VcfCommand, AnswersAPointNoneOrUnknown) {
  Output run = Engine({"vcf", kDoubleFour});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.out, "G5\n");
  EXPECT_NE(run.err.find("nodes"), std::string::npos);
  EXPECT_EQ(Engine({"vcf", kDoubleFour, "--limit", "1"}).out, "unknown\n");
  EXPECT_EQ(Engine({"vcf", "H8 I9 A1 O15", "--rules", "free"}).out, "none\n");
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"vcf", kDoubleFour, "--limit", "0"},
        {"vcf", kDoubleFour, "--limit", "x"},
        {"vcf", kDoubleFour, "--rules", "rif"},
        {"vcf"},
        {"vcf", "H8 H8"}}) {
    run = Engine(bad);
    EXPECT_EQ(run.status, ExitBadInput);
    EXPECT_EQ(run.out, "");
  }
}

TEST(MoveCommand, AnswersAsTheWindowWould) {
  EXPECT_EQ(Engine({"move", "", "--book", "off"}).out, "H8\n");
  EXPECT_EQ(Engine({"move", kDoubleFour, "--level", "0", "--rules", "free", "--book", "off"}).out,
            "G5\n");
  // Two offerings on the board: the answer names the rejected one first, then the reply.
  Output run =
      Engine({"move", "H8 H9 J10 G9 I11", "--level", "1", "--offer", "F6", "--book", "off"});
  EXPECT_EQ(run.status, ExitOk);
  std::istringstream words(run.out);
  std::string rejected;
  std::string reply;
  words >> rejected >> reply;
  EXPECT_TRUE(rejected == "I11" || rejected == "F6") << run.out;
  EXPECT_FALSE(reply.empty());
  EXPECT_NE(run.err.find("思考中..."), std::string::npos);  // console lines go to stderr

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"move", "H8", "--level", "10"},
        {"move", "H8", "--mode", "slow"},
        {"move", "H8", "--book", "maybe"},
        {"move", "H8 H9 J10 G9", "--offer", "F6"},
        {"move", "H8 H9 J10 G9 I11", "--offer", "H8"},
        {"move", "H8 H9 J10 G9 I11", "--offer", "F6", "--rules", "free"}}) {
    run = Engine(bad);
    EXPECT_EQ(run.status, ExitBadInput) << bad[1];
    EXPECT_EQ(run.out, "");
  }
}

TEST(BenchCommand, TheNodeSignatureChangesOnlyWithTheSearch) {
  // Every tie is broken by point order, so the count depends on the code alone. A change to
  // this number must be a deliberate change of the search.
  const Output run = Engine({"bench", "--level", "1"});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_NE(run.out.find("\nNodes searched: 152223\n"), std::string::npos) << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 26 + 4);
  EXPECT_EQ(Engine({"bench", "--level", "x"}).status, ExitBadInput);
  EXPECT_EQ(Engine({"bench", "H8"}).status, ExitBadInput);
}

// Runs the program with a script on its standard input; returns what it printed.
std::string RunScript(const std::string& name, const std::string& script) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("tesmor_" + std::to_string(::getpid()) + name))
          .string();
  std::ofstream(path) << script;
  const std::string command = std::string(TESMOR_ENGINE_BINARY) + " play < " + path + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer{};
  while (pipe && std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  EXPECT_NE(pipe, nullptr);
  if (pipe) {
    EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 0);
  }
  std::filesystem::remove(path);
  return out;
}

TEST(TerminalPlay, AWholeGameAgainstTheComputer) {
  // The human's moves come from the computer's hints, accepted one after the other.
  std::string script = "rules free\nlevel 1\nnumbers\n";
  for (int move = 0; move < 115; ++move) script += "hint\nwait\nok\nwait\n";
  script += "status\nquit\n";
  const std::string out = RunScript("game", script);
  EXPECT_NE(out.find("【游戏结束】"), std::string::npos)
      << out.substr(out.size() > 3000 ? out.size() - 3000 : 0);
  EXPECT_NE(out.find("【提示消息】提示："), std::string::npos);
  EXPECT_NE(out.find("规则: 无禁手"), std::string::npos);
}

TEST(TerminalPlay, StopWhileTheComputerThinks) {
  // Two players lay a middle game, then the computer searches it at the deepest level, exactly.
  const std::string script =
      "rules free\nnew two\nh8\ni9\nj10\nh10\ng9\ng8\nj8\nk9\nmode computer\nlevel 9\n"
      "search exact\nf10\nstop\nwait\nstatus\nundo\nundo\nbogus\nrules rif\nlevel 0\nquit\n";
  const std::string out = RunScript("stop", script);
  // The computer answered the ninth stone with the tenth.
  EXPECT_NE(out.find("手数：10手"), std::string::npos);
  EXPECT_EQ(out.find("resign"), std::string::npos);
  EXPECT_EQ(out.find("认输"), std::string::npos);
  EXPECT_NE(out.find("unknown command 'bogus'"), std::string::npos);
  EXPECT_NE(out.find("0级 is not available"), std::string::npos);  // grey under RIF
}

}  // namespace
}  // namespace tesmor
