#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>

#include "cli/brain_process.h"
#include "support/scratch_dir.h"

namespace tesmor {
namespace {

// "H8 H9 J10 I9" as a BOARD block for the side to move (the brain).
const char* kBoard = "BOARD\r\n7,7,2\r\n7,6,1\r\n9,5,2\r\n8,6,1\r\nDONE\r\n";

bool IsMove(const std::string& line) {
  return std::regex_match(line, std::regex("(1[0-4]|[0-9]),(1[0-4]|[0-9])"));
}

std::string RunEngine(const std::string& args) {
  std::string output;
  FILE* pipe = ::popen((TESMOR_ENGINE_BINARY " " + args + " 2>&1").c_str(), "r");
  if (!pipe) return output;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
  ::pclose(pipe);
  return output;
}

// The master level's MESSAGE carries depth, score, nodes, speed and a principal variation that
// starts with the move played; INFO level switches to a classic level and back.
TEST(MasterBrain, MessageAndLevelSwitch) {
  BrainProcess brain(TESMOR_PBRAIN_BINARY);
  brain.SendLine("START 15");
  ASSERT_EQ(brain.Reply(), "OK");
  const std::regex master(
      "MESSAGE level master, depth [0-9]+, score -?[0-9]+, nodes [0-9]+, speed [0-9]+ nps, "
      "pv( [0-9]+,[0-9]+)+, (search|vcf|vct|five|forced|book|opening), [0-9]+ ms(, stopped)?");
  struct Step {
    const char* info;
    const char* level;
  } steps[] = {{"INFO timeout_turn 300", "master"},
               {"INFO level 9", "9"},
               {"INFO level master", "master"},
               {"INFO level 3", "3"},
               {"INFO level 10", "master"}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.info);
    brain.SendLine(step.info);
    brain.Send(kBoard);
    const std::string move = brain.Reply().value_or("");
    ASSERT_TRUE(IsMove(move)) << move;
    ASSERT_FALSE(brain.messages().empty());
    const std::string& message = brain.messages().back();
    EXPECT_TRUE(message.starts_with(std::string("MESSAGE level ") + step.level + ",")) << message;
    if (std::string(step.level) == "master") {
      EXPECT_TRUE(std::regex_match(message, master)) << message;
      EXPECT_NE(message.find("pv " + move), std::string::npos) << message;
    }
  }
  // Levels beyond master are refused, and the level stays.
  brain.SendLine("INFO level 11");
  brain.Send(kBoard);
  EXPECT_TRUE(brain.Reply().value_or("").starts_with("ERROR")) << "INFO level 11";
}

// The match clock and the memory limit: with a match nearly spent, a small table and a
// manager that only sends time_left, every answer is still a legal point.
TEST(MasterBrain, TimeAndMemoryOptions) {
  for (const char* infos : {"INFO timeout_turn 0\r\nINFO timeout_match 5000\r\nINFO time_left 900",
                            "INFO max_memory 20000000\r\nINFO timeout_turn 200",
                            "INFO timeout_match 600000\r\nINFO time_left 3000"}) {
    SCOPED_TRACE(infos);
    BrainProcess brain(TESMOR_PBRAIN_BINARY);
    brain.SendLine("START 15");
    ASSERT_EQ(brain.Reply(), "OK");
    brain.SendLine(infos);
    brain.SendLine("BEGIN");
    EXPECT_EQ(brain.Reply(), "7,7");
    brain.SendLine("TURN 8,8");
    EXPECT_TRUE(IsMove(brain.Reply().value_or(""))) << infos;
  }
}

class MasterWeightsFile : public test::ScratchDirTest {
 protected:
  MasterWeightsFile() : ScratchDirTest("tesmor-weights-") {}
};

// --print-weights writes what --weights reads, in both programs; a bad file is refused.
TEST_F(MasterWeightsFile, RoundTripAndRefusal) {
  const std::string good = Path("weights.txt");
  const std::string printed = RunEngine("--print-weights");
  ASSERT_NE(printed.find("open_three "), std::string::npos) << printed;
  std::ofstream(good) << "# tuned\n" << printed;
  const std::string move =
      RunEngine("move \"H8 H9 J10\" --level master --time 100 --weights " + good + " --book off");
  EXPECT_NE(move.find("depth "), std::string::npos) << move;

  BrainProcess brain(TESMOR_PBRAIN_BINARY, {"--weights", good});
  brain.SendLine("START 15");
  EXPECT_EQ(brain.Reply(), "OK");
  brain.SendLine("END");

  const std::string bad = Path("bad.txt");
  std::ofstream(bad) << "open_three 180\nopen_thre 5\n";
  BrainProcess refused(TESMOR_PBRAIN_BINARY, {"--weights", bad});
  EXPECT_EQ(refused.WaitForExit(), 2);
  EXPECT_NE(RunEngine("move \"H8\" --level master --weights " + bad).find("line 2"),
            std::string::npos);
  // A search knob out of its range: no node without candidates, no search without time.
  for (const char* knob : {"open_moves 0", "iteration_percent 101", "defence_den 0"}) {
    std::ofstream(Path("knob.txt")) << knob << "\n";
    EXPECT_NE(
        RunEngine("move \"H8\" --level master --weights " + Path("knob.txt")).find(" must be"),
        std::string::npos)
        << knob;
  }
}

// The master bench is a node signature: the same twice, and each position searched.
TEST(MasterBench, SignatureRepeats) {
  const std::string first = RunEngine("bench --level master --depth 3");
  const std::string second = RunEngine("bench --level master --depth 3");
  const size_t at = first.find("Nodes searched: ");
  ASSERT_NE(at, std::string::npos) << first;
  const std::string signature = first.substr(at, first.find('\n', at) - at);
  EXPECT_NE(second.find(signature), std::string::npos) << signature;
  EXPECT_NE(signature, "Nodes searched: 0");
  EXPECT_NE(first.find("26 "), std::string::npos);
}

}  // namespace
}  // namespace tesmor
