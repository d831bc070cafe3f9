// How long a running computation takes to end after the stop flag is set, for each kind the
// program runs on a worker: the computer's move at "9级" in the three search modes, the hint, and
// the VCF search at limit 113. Each runs through the worker's own code (RunWorkerJob) on its own
// thread, with a link that answers every message at once, is stopped after a delay, and the time
// from the stop to the thread's end is taken. Prints per kind the median and the largest figure
// over the runs and delays. Figures only: nothing is checked. The VCF search prints its own
// running time on stdout as the window does.
//
//     tesmor_stop_latency [runs]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

#include "game/controller.h"
#include "game/engine_computer.h"

namespace tesmor {
namespace {

using Clock = std::chrono::steady_clock;

class InstantLink final : public WindowLink {
 public:
  int Send(const WorkerMessage&) override { return 0; }
};

// A middle game from the bench set whose "9级" search runs for seconds, and a position crowded
// with Black's broken threes for the VCF search. A computation that ends before its stop is
// counted as early, with its whole running time.
GameState MiddleGame() {
  GameState game;
  for (const char* point :
       {"H8", "H9", "I6", "G8", "F6", "F7", "E6", "G6", "G7", "I9", "E5", "D4"}) {
    const int p = ParsePoint(point);
    RecordMove(game, PointRow(p), PointCol(p));
  }
  return game;
}

GameState CrowdedForVcf() {
  GameState game;
  std::srand(7);
  int stones = 0;
  for (int row = 3; row <= 11; ++row) {
    for (int col = 3; col <= 11; ++col) {
      const int draw = std::rand() % 10;
      if (draw < 4) game.SetUpStone(row, col, Black), ++stones;
      if (draw == 4 || draw == 5) game.SetUpStone(row, col, White), ++stones;
    }
  }
  game.SetUpMoveCount(stones % 2 == 0 ? stones : stones + 1);  // Black to move
  return game;
}

struct Kind {
  const char* name;
  WorkerKind worker;
  SearchMode mode;
  GameState game;
};

// One run: the time from the stop to the worker's end, or, for a computation that ended before
// the stop, its whole running time.
struct Run {
  bool early;
  double ms;
};

Run StopLatency(const Kind& kind, EngineComputer& computer, int delayMs) {
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  const Clock::time_point start = Clock::now();
  Clock::time_point end;
  WorkerJob job;
  job.kind = kind.worker;
  job.game = kind.game;
  job.request.level = 9;
  job.request.mode = kind.mode;
  job.request.rules = RuleSet::Free;
  job.request.useBook = false;
  job.request.stopRequested = &stop;
  std::thread worker([&] {
    InstantLink link;
    RunWorkerJob(job, computer, link);
    end = Clock::now();
    finished = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  const bool early = finished;
  const Clock::time_point stopped = Clock::now();
  stop = true;
  worker.join();
  auto ms = [](Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
  };
  return early ? Run{true, ms(start, end)} : Run{false, ms(stopped, Clock::now())};
}

}  // namespace
}  // namespace tesmor

int main(int argc, char** argv) {
  using namespace tesmor;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::ostringstream console;
  EngineComputer computer(console);
  const Kind kinds[] = {
      {"move 9 fast", WorkerKind::ComputerMove, SearchMode::Fast, MiddleGame()},
      {"move 9 accurate", WorkerKind::ComputerMove, SearchMode::Accurate, MiddleGame()},
      {"move 9 exact", WorkerKind::ComputerMove, SearchMode::Exact, MiddleGame()},
      {"hint 9 fast", WorkerKind::Hint, SearchMode::Fast, MiddleGame()},
      {"vcf 113", WorkerKind::Vcf, SearchMode::Fast, CrowdedForVcf()},
  };
  std::printf("%-16s %6s %10s %10s %6s %14s\n", "computation", "runs", "median ms", "max ms",
              "early", "early max ms");
  for (const Kind& kind : kinds) {
    std::vector<double> figures;
    int early = 0;
    double earlyMax = 0;
    for (int run = 0; run < runs; ++run) {
      for (int delay : {50, 300, 1000}) {
        const Run result = StopLatency(kind, computer, delay);
        if (result.early) {
          ++early;
          earlyMax = std::max(earlyMax, result.ms);
        } else {
          figures.push_back(result.ms);
        }
      }
    }
    std::sort(figures.begin(), figures.end());
    const double median = figures.empty() ? 0 : figures[figures.size() / 2];
    const double largest = figures.empty() ? 0 : figures.back();
    std::printf("%-16s %6zu %10.2f %10.2f %6d %14.2f\n", kind.name, figures.size(), median, largest,
                early, earlyMax);
    std::fflush(stdout);
  }
  return 0;
}
