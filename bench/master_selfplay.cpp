// Plays two players against each other in one process, from the 26 openings with colours
// swapped, and prints the first player's wins, losses and draws with a 95 % interval. A player is
// "master" (default weights), "master:FILE" (weights read from FILE) or "level:N" (a classic
// level stopped after the same time). A cheap stand-in for a full arena while the search is
// being developed.
//
//   tesmor_master_selfplay A B [--time MS] [--time-b MS] [--rules renju|free] [--openings N]
//   [--games FILE]

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board/board.h"
#include "board/forbidden.h"
#include "game/engine_computer.h"
#include "game/openings.h"

namespace {

using namespace tesmor;

struct Player {
  std::string name;
  int level = MasterLevel;
  int ms = 200;
  std::unique_ptr<std::ostringstream> console = std::make_unique<std::ostringstream>();
  std::unique_ptr<EngineComputer> computer = std::make_unique<EngineComputer>(*console);
};

bool MakePlayer(const std::string& name, Player& player) {
  player.name = name;
  if (name.rfind("level:", 0) == 0) {
    const std::string digits = name.substr(6);
    if (digits.size() != 1 || digits[0] < '0' || digits[0] > '9') return false;
    player.level = digits[0] - '0';
    return true;
  }
  if (name == "master") return true;
  if (name.rfind("master:", 0) != 0) return false;
  MasterWeights weights;
  std::string error;
  if (!weights.ReadFile(name.substr(7), error)) {
    std::cerr << error << "\n";
    return false;
  }
  player.computer->SetMasterWeights(weights);
  return true;
}

// Sets the flag after the time unless cancelled first.
class Timer {
 public:
  Timer(std::atomic<bool>& flag, int ms)
      : thread_([this, &flag, ms] {
          std::unique_lock lock(mutex_);
          if (!wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; }))
            flag = true;
        }) {}
  ~Timer() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

// 1: Black wins, -1: White wins, 0: draw. A point that is taken, off the board or forbidden to
// Black loses for the side that played it; Black left with only forbidden points draws.
int PlayGame(int opening, Player& black, Player& white, bool renju, std::string& record) {
  GameState game;
  ClearGameState(game);
  game.forbiddenRulesOn = renju;
  for (const int point : OpeningStones(opening)) RecordMove(game, PointRow(point), PointCol(point));
  record.clear();
  for (int i = 0; i < game.moveCount; ++i)
    record += PointText(PointIndex(game.history[i].row, game.history[i].col)) + " ";
  while (game.moveCount < CellCount && !NoPointOpenToBlack(game)) {
    const int side = game.SideToMove();
    Player& mover = side == Black ? black : white;
    const int ms = mover.ms;
    MoveRequest request;
    request.level = mover.level;
    request.masterTime = std::chrono::milliseconds(ms);
    request.rules = renju ? RuleSet::Forbidden : RuleSet::Free;
    request.useBook = false;
    std::atomic<bool> stop{false};
    request.stopRequested = &stop;
    ComputerAnswer answer;
    {
      Timer timer(stop, ms + (mover.level == MasterLevel ? 200 : 0));
      answer = mover.computer->ChooseMove(game, request);
    }
    const int point = answer.point;
    if (answer.kind != ComputerAnswer::Kind::Point || point < 0 || point >= CellCount ||
        game.cell(PointRow(point), PointCol(point)) != Empty) {
      record += "(no legal move)";
      return -side;
    }
    record += PointText(point) + " ";
    if (side == Black && renju && ForbiddenKindAt(game, PointRow(point), PointCol(point)) != None) {
      record += "(foul)";
      return -side;
    }
    RecordMove(game, PointRow(point), PointCol(point));
    if (WinnerAtFocus(game) != 0) return side;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: tesmor_master_selfplay A B [--time MS] [--rules renju|free] "
                 "[--openings N] [--games FILE]\n";
    return 2;
  }
  Player a, b;
  if (!MakePlayer(argv[1], a) || !MakePlayer(argv[2], b)) {
    std::cerr << "unknown player\n";
    return 2;
  }
  int openings = OpeningCount;
  bool renju = true;
  std::string gamesPath;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--time") a.ms = b.ms = std::stoi(value);
    if (option == "--time-b") b.ms = std::stoi(value);
    if (option == "--rules") renju = value != "free";
    if (option == "--openings") openings = std::stoi(value);
    if (option == "--games") gamesPath = value;
  }
  std::ofstream games;
  if (!gamesPath.empty()) games.open(gamesPath);
  int wins = 0, losses = 0, draws = 0;
  std::vector<double> scores;
  for (int opening = 1; opening <= openings; ++opening) {
    for (int swap = 0; swap < 2; ++swap) {
      std::string record;
      const int result = swap == 0 ? PlayGame(opening, a, b, renju, record)
                                   : -PlayGame(opening, b, a, renju, record);
      const double score = result > 0 ? 1.0 : result < 0 ? 0.0 : 0.5;
      (result > 0 ? wins : result < 0 ? losses : draws)++;
      scores.push_back(score);
      if (games)
        games << opening << (swap ? " B-white " : " A-black ") << score << " " << record << "\n";
      std::printf("opening %2d %s: %s\n", opening, swap ? "A white" : "A black",
                  score == 1.0   ? "A wins"
                  : score == 0.0 ? "B wins"
                                 : "draw");
      std::fflush(stdout);
    }
  }
  const double n = static_cast<double>(scores.size());
  double mean = 0, var = 0;
  for (const double s : scores) mean += s / n;
  for (const double s : scores) var += (s - mean) * (s - mean) / n;
  const double half = 1.96 * std::sqrt(var / n);
  std::printf("%s vs %s: +%d -%d =%d, score %.1f %% +- %.1f %% (95 %%), %d games\n", a.name.c_str(),
              b.name.c_str(), wins, losses, draws, 100 * mean, 100 * half, wins + losses + draws);
  return 0;
}
