// tesmor-engine's commands with good and bad input, in this process and as the program itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "cli/brain_process.h"
#include "cli/commands.h"
#include "support/scratch_dir.h"

namespace tesmor {
namespace {

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun Engine(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunEngineCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs the program itself on the input; its exit status and both streams together.
CommandRun Program(const std::string& args, const std::string& input = "") {
  const test::ScratchDir dir("tesmor_cmd_input_");
  const std::string command =
      TESMOR_ENGINE_BINARY " " + args + " < " + dir.WriteFile("input", input) + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer{};
  while (pipe && std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  const int status = pipe ? ::pclose(pipe) : -1;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ""};
}

// Black: a split row three and a split column three crossing at H8, five stones on row 12 with
// a gap at E12, and I2 K2 M2 O2 around L2. White stones stand apart on the edges.
const std::string kPosition =
    "G8 A1 I8 A3 H7 A5 H9 A7 B12 A9 c12 A15 D12 C15 F12 E15 G12 G15 I2 I15 K2 K15 M2 M15 O2";
const char* kForbidden = "E12 overline\nH8 three-three\nL2 four-four\n";
// White to move: G5 makes two fours on the fifth row.
const std::string kDoubleFour = "A15 D5 C15 F5 E15 H5 O1 J5 M1";

TEST(ForbiddenCommand, ListsForbiddenPointsInPointIndexOrder) {
  const CommandRun run = Engine({"forbidden", kPosition});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.out, kForbidden);
  EXPECT_EQ(run.err, "");
  // The same moves as separate words with commas, and as a position file.
  std::istringstream words(kPosition);
  std::vector<std::string> args{"forbidden"};
  std::string bytes(1, '\0');
  for (std::string word; words >> word; ++bytes[0]) {
    args.push_back(word + ",");
    bytes += static_cast<char>((std::stoi(word.substr(1)) - 1) * 15 + std::toupper(word[0]) - 'A');
  }
  EXPECT_EQ(Engine(args).out, kForbidden);
  const test::ScratchDir dir("tesmor_cmd_");
  EXPECT_EQ(Engine({"forbidden", dir.WriteFile("game.pos", bytes)}).out, kForbidden);
  // A position that already holds a five is still analysed; an empty board has no answer.
  EXPECT_EQ(Engine({"forbidden", "A1 O15 B1 O14 C1 O13 D1 O12 E1"}).status, ExitOk);
  const CommandRun empty = Engine({"forbidden", ""});
  EXPECT_EQ(empty.status, ExitOk);
  EXPECT_EQ(empty.out, "");
}

TEST(EngineCommands, BadInputSaysWhyInOneLineOnStderrAndExitsTwo) {
  const test::ScratchDir dir("tesmor_cmd_");
  const std::string truncated = dir.WriteFile("short.pos", {3, 112, 113});
  const std::string repeated = dir.WriteFile("repeat.pos", {2, 112, 112});
  // Black H8 H9 H10 H11 H12 against White A1..A4: a game already won.
  const std::vector<uint8_t> wonBytes = {9, 112, 0, 127, 15, 142, 30, 157, 45, 172};
  const std::string won = dir.WriteFile("won.pos", std::string(wonBytes.begin(), wonBytes.end()));
  // Arguments separated by "|".
  // clang-format off
  std::vector<std::string> cases = {"no-such-command",
      "forbidden", "forbidden|H8 Z9", "forbidden|H8 H16", "forbidden|H8 H9 h8",
      "forbidden|missing-file.pos", "forbidden|H8|--rules|free", "forbidden|" + truncated,
      "forbidden|" + repeated,
      "eval", "eval|H8 Z9", "eval|H8 H8", "eval|missing-file.pos", "eval|H8|--rules",
      "eval|H8|--rules|renju", "eval|H8|--depth|3",
      "vcf", "vcf|H8 H8", "vcf|" + kDoubleFour + "|--limit|0", "vcf|" + kDoubleFour + "|--limit|x",
      "vcf|" + kDoubleFour + "|--rules|rif",
      "move|H8|--level|10", "move|H8|--mode|slow", "move|H8|--book|maybe",
      "move|H8 H9 J10 G9|--offer|F6", "move|H8 H9 J10 G9 I11|--offer|H8",
      "move|H8 H9 J10 G9 I11|--offer|F6|--rules|free",
      "bench|--level|x", "bench|H8", "bench|--stop-after|-5",
      // Separators alone name no position; a game with a five or six has nothing left to find.
      "vcf| , ", "vcf|\n,\t", "move|,", "move| |", "move|" + won, "vcf|" + won + "|--rules|free",
      "vcf|O15 A1 O13 A2 O11 A3 O9 A4 O7 A5", "move|H8 A1 H9 A3 H10 A5 H11 A7 H13 A9 H12",
      // Echoed input can neither break the line nor drive the terminal, nor make it long.
      "no\nsuch|command", "eval|H8|--rules|re\nnju", "move|H8|--mode|\x1b]0;owned\x07",
      "bench|--mode|fa\rst", "vcf|H8|--lim\nit|3", "forbidden|H8 Z\x01\x02",
      "forbidden|H8 " + std::string(5000, 'Q'), "forbidden|saved/no\nsuch game.pos"};
  // clang-format on
  for (const std::string& line : cases) {
    SCOPED_TRACE(line);
    std::vector<std::string> args;
    std::istringstream in(line);
    for (std::string arg; std::getline(in, arg, '|');) args.push_back(arg);
    const CommandRun run = Engine(args);
    EXPECT_EQ(run.status, ExitBadInput);
    EXPECT_EQ(run.out, "");
    ASSERT_TRUE(run.err.size() > 1 && run.err.size() < 300) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    for (const char ch : run.err.substr(0, run.err.size() - 1))
      EXPECT_TRUE(static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7f) << run.err;
  }

  // Without a command nothing was asked: the usage, as an error.
  const CommandRun usage = Engine({});
  EXPECT_EQ(usage.status, ExitBadInput);
  EXPECT_EQ(usage.out, "");
  EXPECT_NE(usage.err.find("Usage: tesmor-engine COMMAND"), std::string::npos);

  // A FIFO or a directory is refused, not waited on (timeout ends a wait with status 124).
  const std::string fifo = dir.Path("fifo.pos");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, dir.dir.string()}) {
    const std::string command =
        "timeout 60 " TESMOR_ENGINE_BINARY " move " + path + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == ExitBadInput) << path;
  }
}

TEST(EvalCommand, ScoresBothSidesAndRanksThePoints) {
  // A lone stone: ten points of equal value, listed in point order.
  const CommandRun run = Engine({"eval", "H8"});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.err, "");
  std::string names;
  for (const std::string& line : Lines(run.out)) names += line.substr(0, line.find(' ')) + " ";
  EXPECT_EQ(names, "black white E5 E8 E11 F6 F8 F10 G7 G8 G9 H5 ");
  // Each side scored from its own view; White's best point blocks Black's open four.
  const std::vector<std::string> lines = Lines(Engine({"eval", "H8 H9 G8 G9 J8"}).out);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_TRUE(std::stoi(lines[0].substr(6)) > 0 && std::stoi(lines[1].substr(6)) < 0);
  EXPECT_TRUE(lines[2].starts_with("I8 "));

  // H8, two open threes for Black, is the best point without forbidden moves, else left out.
  const std::string position = "F8 O15 G8 A15 H6 O1 H7 A1";
  EXPECT_TRUE(Lines(Engine({"eval", position, "--rules", "free"}).out).at(2).starts_with("H8 "));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"eval", position}, {"eval", position, "--rules", "forbidden"}}) {
    const CommandRun forbidden = Engine(args);
    EXPECT_EQ(Lines(forbidden.out).size(), 12u);
    EXPECT_EQ(forbidden.out.find("\nH8 "), std::string::npos) << forbidden.out;
  }

  // 222 stones in PointIndex order (no five check when a position is read): O13 O14 O15 are left.
  std::string moves;
  for (int point = 0; point < 222; ++point)
    moves += static_cast<char>('A' + point / 15) + std::to_string(point % 15 + 1) + " ";
  std::vector<std::string> few = Lines(Engine({"eval", moves, "--rules", "free"}).out);
  ASSERT_EQ(few.size(), 5u);
  for (std::string& line : few) line = line.substr(0, line.find(' '));
  std::sort(few.begin() + 2, few.end());
  EXPECT_EQ(std::vector(few.begin() + 2, few.end()),
            (std::vector<std::string>{"O13", "O14", "O15"}));
}

TEST(VcfAndMoveCommands, AnswerAsTheWindowWould) {
  const CommandRun run = Engine({"vcf", kDoubleFour});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.out, "G5\n");
  EXPECT_NE(run.err.find("nodes"), std::string::npos);
  EXPECT_EQ(Engine({"vcf", kDoubleFour, "--limit", "1"}).out, "unknown\n");
  EXPECT_EQ(Engine({"vcf", "H8 I9 A1 O15", "--rules", "free"}).out, "none\n");

  EXPECT_EQ(Engine({"move", "", "--book", "off"}).out, "H8\n");
  EXPECT_EQ(Engine({"move", kDoubleFour, "--level", "0", "--rules", "free", "--book", "off"}).out,
            "G5\n");
  // Two offerings on the board: the answer names the rejected one first, then the reply.
  const CommandRun move =
      Engine({"move", "H8 H9 J10 G9 I11", "--level", "1", "--offer", "F6", "--book", "off"});
  EXPECT_EQ(move.status, ExitOk);
  std::istringstream words(move.out);
  std::string rejected, reply;
  words >> rejected >> reply;
  EXPECT_TRUE(rejected == "I11" || rejected == "F6") << move.out;
  EXPECT_FALSE(reply.empty());
  EXPECT_NE(move.err.find("思考中..."), std::string::npos);  // console lines go to stderr
}

TEST(BenchCommand, TheNodeSignatureChangesOnlyWithTheSearch) {
  // Ties go by point order, so only a deliberate change of the search changes this count.
  const CommandRun run = Engine({"bench", "--level", "1"});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_NE(run.out.find("\nNodes searched: 152223\n"), std::string::npos) << run.out;
  // Level 4 orders replies from the last iteration's values and under threats as well.
  const CommandRun deeper = Engine({"bench", "--level", "4"});
  EXPECT_NE(deeper.out.find("\nNodes searched: 1270022\n"), std::string::npos) << deeper.out;

  // Capped, the deepest exact searches stop and still answer a point at every position.
  const CommandRun capped =
      Engine({"bench", "--level", "9", "--mode", "exact", "--stop-after", "20"});
  EXPECT_EQ(capped.status, ExitOk);
  std::istringstream lines(capped.out);
  int answered = 0, stopped = 0;
  for (std::string line; std::getline(lines, line) && line.find(" nodes ") != std::string::npos;) {
    std::istringstream fields(line);
    std::string index, rules, answer;
    fields >> index >> rules >> answer;
    answered += answer != "none";
    stopped += line.ends_with(" stopped");
  }
  EXPECT_EQ(answered, 26) << capped.out;
  EXPECT_GT(stopped, 0) << capped.out;
}

// The master bench is a node signature: the same in two runs, and each position searched.
TEST(BenchCommand, MasterSignatureRepeats) {
  const std::string first = Program("bench --level master --depth 3").out;
  const size_t at = first.find("Nodes searched: ");
  ASSERT_NE(at, std::string::npos) << first;
  const std::string signature = first.substr(at, first.find('\n', at) - at);
  EXPECT_NE(Program("bench --level master --depth 3").out.find(signature), std::string::npos)
      << signature;
  EXPECT_NE(signature, "Nodes searched: 0");
  EXPECT_NE(first.find("26 "), std::string::npos);
}

// --print-weights writes what --weights reads, in both programs; a bad file is refused, and so is
// a search knob out of its range (no node without candidates, no search without time).
TEST(MasterWeights, RoundTripAndRefusal) {
  const std::string printed = Program("--print-weights").out;
  ASSERT_NE(printed.find("open_three "), std::string::npos) << printed;
  const test::ScratchDir dir("tesmor_cmd_");
  const std::string good = dir.WriteFile("weights.txt", "# tuned\n" + printed);
  const std::string move =
      Program("move \"H8 H9 J10\" --level master --time 100 --weights " + good + " --book off").out;
  EXPECT_NE(move.find("depth "), std::string::npos) << move;
  BrainProcess brain(TESMOR_PBRAIN_BINARY, {"--weights", good});
  brain.SendLine("START 15");
  EXPECT_EQ(brain.Reply(), "OK");

  const std::string bad = dir.WriteFile("bad.txt", "open_three 180\nopen_thre 5\n");
  BrainProcess refused(TESMOR_PBRAIN_BINARY, {"--weights", bad});
  EXPECT_EQ(refused.WaitForExit(), "exit 2");
  EXPECT_NE(Program("move H8 --level master --weights " + bad).out.find("line 2"),
            std::string::npos);
  for (const char* knob :
       {"open_moves 0", "iteration_percent 101", "defence_den 0", "counter_four_cost 3"}) {
    const std::string knobs = dir.WriteFile("knob.txt", knob + std::string("\n"));
    EXPECT_NE(Program("move H8 --level master --weights " + knobs).out.find(" must be"),
              std::string::npos)
        << knob;
  }
}

TEST(TerminalPlay, AWholeGameAgainstTheComputer) {
  // The human's moves come from the computer's hints, accepted one after the other.
  std::string script = "rules free\nlevel 1\nnumbers\n";
  for (int move = 0; move < 115; ++move) script += "hint\nwait\nok\nwait\n";
  const CommandRun run = Program("play", script + "status\nquit\n");
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_NE(run.out.find("【游戏结束】"), std::string::npos)
      << run.out.substr(run.out.size() > 3000 ? run.out.size() - 3000 : 0);
  EXPECT_NE(run.out.find("【提示消息】提示："), std::string::npos);
  EXPECT_NE(run.out.find("规则: 无禁手"), std::string::npos);

  // A middle game laid by two players, searched at the deepest level until stopped.
  const CommandRun stopped = Program(
      "play",
      "rules free\nnew two\nh8\ni9\nj10\nh10\ng9\ng8\nj8\nk9\nmode computer\nlevel 9\n"
      "search exact\nf10\nstop\nwait\nstatus\nundo\nundo\nbogus\nrules rif\nlevel 0\nquit\n");
  EXPECT_EQ(stopped.status, ExitOk);
  // The computer answered the ninth stone with the tenth.
  EXPECT_NE(stopped.out.find("手数：10手"), std::string::npos);
  EXPECT_EQ(stopped.out.find("resign"), std::string::npos);
  EXPECT_EQ(stopped.out.find("认输"), std::string::npos);
  EXPECT_NE(stopped.out.find("未知命令「bogus」"), std::string::npos);
  EXPECT_NE(stopped.out.find("0级 现在不可选"), std::string::npos);  // grey under RIF

  // "大师" answers in the terminal too, with the thinking time chosen there.
  const CommandRun master = Program(
      "play",
      "rules free\nnew two\nh8\ni9\nmode computer\nlevel master\nmastertime 1\nmastertime 2\n"
      "j10\nwait\nstatus\nlevel 10\nquit\n");
  EXPECT_EQ(master.status, ExitOk);
  EXPECT_NE(master.out.find("手数：4手"), std::string::npos) << master.out;
  EXPECT_NE(master.out.find("等级: 大师  大师思考时间: 1 秒"), std::string::npos);
  EXPECT_NE(master.out.find("用法：mastertime 1|3|10|30"), std::string::npos);
  EXPECT_NE(master.out.find("用法：level 0..9|master"), std::string::npos);
}

}  // namespace
}  // namespace tesmor
