#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include "arena/match.h"
#include "support/scratch_dir.h"

namespace tesmor::arena {
namespace {

class ArenaProcesses : public test::ScratchDirTest {
 protected:
  ArenaProcesses() : ScratchDirTest("tesmor-arena-") {}

  std::vector<pid_t> Pids(const std::string& name) const {
    std::ifstream in(Path(name));
    std::vector<pid_t> pids;
    for (pid_t pid = 0; in >> pid;) pids.push_back(pid);
    return pids;
  }
};

// Dead: no such process, or a zombie that only its new parent can reap. Waits a little, as the
// kill of a process that is not ours takes effect on its own time.
bool Dies(pid_t pid) {
  for (int tries = 0; tries < 500; ++tries) {
    if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    for (int i = 0; i < 3 && stat >> field; ++i) {
    }
    if (field == "Z") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(ArenaProcesses, EveryEngineAndItsHelpersAreGoneAfterTheGame) {
  MatchSettings settings;
  settings.turnMs = 200;
  settings.toleranceMs = 300;
  settings.endGrace = std::chrono::milliseconds(200);
  const std::string fake = TESMOR_FAKE_ENGINE;
  const std::string pids = Path("pids");
  GameSetup setup{1, "test", {PointIndex(7, 7), PointIndex(8, 8), PointIndex(7, 8)}, 0};
  // White starts a helper and then hangs on its move; Black ignores END after it has won.
  std::array<EngineSetup, 2> engines = {
      EngineSetup{"black", {fake, "--pid-file", pids, "--ignore-end", "--black", "J8 K8 L8"}, {}},
      EngineSetup{"white",
                  {fake, "--pid-file", pids, "--white", "child=" + Path("helper") + " A1 hang"},
                  {}}};
  const GameResult hung = PlayGame(setup, engines, settings);
  EXPECT_EQ(hung.reason, EndReason::Timeout) << hung.detail;
  EXPECT_EQ(hung.winner, 0);
  // The same engines once more, where Black's five ends the game and White's helper lives on.
  engines[1].argv.back() = "child=" + Path("helper") + " A1 A2 A3";
  const GameResult won = PlayGame(setup, engines, settings);
  EXPECT_EQ(won.reason, EndReason::Five) << won.detail;

  ASSERT_EQ(Pids("pids").size(), 4u);
  ASSERT_EQ(Pids("helper").size(), 2u);
  for (const pid_t pid : Pids("pids")) {
    // The arena's own children are reaped: not even a zombie is left.
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1) << pid;
    EXPECT_EQ(errno, ECHILD);
  }
  for (const pid_t pid : Pids("helper")) EXPECT_TRUE(Dies(pid)) << pid;
}

}  // namespace
}  // namespace tesmor::arena
