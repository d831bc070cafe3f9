#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/commands.h"

namespace tesmor {
namespace {

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun Engine(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunEngineCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::string TempFile(const std::string& name, const std::vector<unsigned char>& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("tesmor_cmd_" + std::to_string(::getpid()) + "_" + name))
                               .string();
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

// Black: a split row three and a split column three crossing at H8, five stones on row 12 with
// a gap at E12, and I2 K2 M2 O2 around L2. White stones stand apart on the edges.
const char* kPosition =
    "G8 A1 I8 A3 H7 A5 H9 A7 B12 A9 c12 A15 D12 C15 F12 E15 G12 G15 I2 I15 K2 K15 M2 M15 O2";
const char* kExpected = "E12 overline\nH8 three-three\nL2 four-four\n";

TEST(ForbiddenCommand, ListsForbiddenPointsInPointIndexOrder) {
  CommandRun run = Engine({"forbidden", kPosition});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.out, kExpected);
  EXPECT_EQ(run.err, "");

  // The same moves as separate words, with commas, and from a position file.
  std::istringstream words(kPosition);
  std::vector<std::string> args{"forbidden"};
  for (std::string word; words >> word;) args.push_back(word + ",");
  EXPECT_EQ(Engine(args).out, kExpected);

  std::vector<unsigned char> bytes{0};
  std::istringstream again(kPosition);
  for (std::string word; again >> word; ++bytes[0]) {
    const int col = std::toupper(static_cast<unsigned char>(word[0])) - 'A';
    const int row = std::stoi(word.substr(1)) - 1;
    bytes.push_back(static_cast<unsigned char>(row * 15 + col));
  }
  const std::string path = TempFile("game.pos", bytes);
  run = Engine({"forbidden", path});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.out, kExpected);
  std::filesystem::remove(path);

  // A position that already holds a five is still analysed; an empty board has no answer.
  run = Engine({"forbidden", "A1 O15 B1 O14 C1 O13 D1 O12 E1"});
  EXPECT_EQ(run.status, ExitOk);
  run = Engine({"forbidden", ""});
  EXPECT_EQ(run.status, ExitOk);
  EXPECT_EQ(run.out, "");
}

TEST(ForbiddenCommand, BadPositionsSayWhyOnStderrAndExitTwo) {
  const std::string truncated = TempFile("short.pos", {3, 112, 113});
  const std::string repeated = TempFile("repeat.pos", {2, 112, 112});
  const std::vector<std::vector<std::string>> cases = {
      {"forbidden", "H8 Z9"},
      {"forbidden", "H8 H16"},
      {"forbidden", "H8 H9 h8"},
      {"forbidden", "missing-file.pos"},
      {"forbidden", truncated},
      {"forbidden", repeated},
      {"forbidden"},
      {"forbidden", "H8", "--rules", "free"},
      {"no-such-command"},
  };
  for (const auto& args : cases) {
    const CommandRun run = Engine(args);
    EXPECT_EQ(run.status, ExitBadInput) << args.back();
    EXPECT_EQ(run.out, "") << args.back();
    EXPECT_FALSE(run.err.empty()) << args.back();
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  }
  std::filesystem::remove(truncated);
  std::filesystem::remove(repeated);
}

TEST(ForbiddenCommand, TheProgramItself) {
  const std::string command =
      std::string(TESMOR_ENGINE_BINARY) + " forbidden '" + kPosition + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  const int status = ::pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(out, kExpected);

  const std::string help = std::string(TESMOR_ENGINE_BINARY) + " > /dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(help.c_str())), 0);
  const std::string bad = std::string(TESMOR_ENGINE_BINARY) + " forbidden Q1 2> /dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);
}

}  // namespace
}  // namespace tesmor
