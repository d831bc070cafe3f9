#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "app/standard_options.h"
#include "arena/match.h"
#include "arena/report.h"
#include "board/move_text.h"
#include "cli/engine_process.h"
#include "game/openings.h"

namespace {

using namespace tesmor;
using namespace tesmor::arena;
using gomocup::FindProgram;
using gomocup::SplitCommandLine;

// Set by SIGINT or SIGTERM: a signal handler can reach nothing else. The games stop, the engines
// are killed, and the games finished so far are summed up.
std::atomic<bool> gInterrupted{false};

void OnSignal(int) {
  gInterrupted = true;
}

void PrintUsage(std::ostream& out) {
  out << "usage: tesmor-arena --engine1 COMMAND --engine2 COMMAND [options]\n"
         "Plays two Gomocup engines against each other, each opening twice with colours\n"
         "swapped, and judges the games with Tesmor's rules.\n"
         "  --info1 TEXT, --info2 TEXT  send \"INFO TEXT\" to that engine only (repeatable)\n"
         "  --name1 NAME, --name2 NAME  names in the output (default: program and INFO)\n"
         "  --turn-ms MS          time per move, INFO timeout_turn (default 1000)\n"
         "  --match-ms MS         time per game and engine, INFO timeout_match (default 0: none)\n"
         "  --tolerance-ms MS     lateness allowed before an answer loses on time (default 1000)\n"
         "  --rules renju|free    renju: Black's forbidden moves, INFO rule 4; free: rule 0\n"
         "  --openings LIST       the openings 1..26 to play, e.g. 1-5,9 (default all)\n"
         "  --positions FILE      start from these move lists, one a line, instead\n"
         "  --games FILE          every game, one tab-separated line each (default\n"
         "                        arena-games.txt; '-' for none)\n"
         "  --concurrency N       games played at once (default 1)\n"
         "  --memory-mb MB        INFO max_memory (default 0: none)\n"
         "  --end-grace-ms MS     time to leave after END before the kill (default 1000)\n"
         "  --log FILE            every line sent to and read from the engines\n";
}

struct ArenaOptions {
  std::array<EngineSetup, 2> engines;
  std::array<std::string, 2> names;
  MatchSettings settings;
  std::string openings = "all";
  std::string positions;
  std::string gamesFile = "arena-games.txt";
  std::string logFile;
  int concurrency = 1;
};

bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t& value) {
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

// One option with its value; false with a message for a bad one.
bool SetOption(ArenaOptions& o, const std::string& name, const std::string& value,
               std::string& error) {
  int64_t number = 0;
  auto numeric = [&](int64_t low, int64_t high, int64_t& target) {
    if (!ParseNumber(value, low, high, number)) return false;
    target = number;
    return true;
  };
  bool ok = true;
  if (name == "--engine1" || name == "--engine2") {
    o.engines[name.back() - '1'].argv = SplitCommandLine(value);
  } else if (name == "--info1" || name == "--info2") {
    o.engines[name.back() - '1'].info.push_back(value);
  } else if (name == "--name1" || name == "--name2") {
    o.names[name.back() - '1'] = value;
  } else if (name == "--turn-ms") {
    ok = numeric(1, 86400000, o.settings.turnMs);
  } else if (name == "--match-ms") {
    ok = numeric(0, 86400000, o.settings.matchMs);
  } else if (name == "--tolerance-ms") {
    ok = numeric(0, 3600000, o.settings.toleranceMs);
  } else if (name == "--end-grace-ms") {
    int64_t ms = 0;
    ok = numeric(0, 60000, ms);
    o.settings.endGrace = std::chrono::milliseconds(ms);
  } else if (name == "--memory-mb") {
    ok = numeric(0, 1 << 20, o.settings.memoryBytes);
    o.settings.memoryBytes *= int64_t{1} << 20;
  } else if (name == "--concurrency") {
    int64_t n = 0;
    ok = numeric(1, 64, n);
    o.concurrency = static_cast<int>(n);
  } else if (name == "--rules") {
    ok = value == "renju" || value == "free";
    o.settings.renju = value == "renju";
  } else if (name == "--openings") {
    o.openings = value;
  } else if (name == "--positions") {
    o.positions = value;
  } else if (name == "--games") {
    o.gamesFile = value;
  } else if (name == "--log") {
    o.logFile = value;
  } else {
    error = "unknown option " + name;
    return false;
  }
  if (!ok) error = "bad value for " + name + ": '" + value + "'";
  return ok;
}

bool ParseOptions(int argc, char** argv, ArenaOptions& o, std::string& error) {
  for (int i = 1; i < argc; i += 2) {
    if (i + 1 >= argc) {
      error = std::string("option ") + argv[i] + " needs a value";
      return false;
    }
    if (!SetOption(o, argv[i], argv[i + 1], error)) return false;
  }
  for (size_t e = 0; e < 2; ++e) {
    if (o.engines[e].argv.empty()) {
      error = "--engine" + std::to_string(e + 1) + " is required";
      return false;
    }
    if (FindProgram(o.engines[e].argv[0]).empty()) {
      error = "no program " + o.engines[e].argv[0] + " to run";
      return false;
    }
    if (o.names[e].empty()) {
      const std::string& program = o.engines[e].argv[0];
      o.names[e] = program.substr(program.find_last_of('/') + 1);
      for (const std::string& info : o.engines[e].info) o.names[e] += " " + info;
    }
    o.engines[e].name = o.names[e];
  }
  return true;
}

// "all" or numbers and ranges such as "1-5,9", each within 1..26, in the order given.
bool ParseOpeningList(const std::string& text, std::vector<int>& openings) {
  if (text == "all") {
    for (int n = 1; n <= OpeningCount; ++n) openings.push_back(n);
    return true;
  }
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, end - start);
    const size_t dash = item.find('-');
    int64_t first = 0;
    int64_t last = 0;
    if (!ParseNumber(item.substr(0, dash), 1, OpeningCount, first)) return false;
    last = first;
    if (dash != std::string::npos && !ParseNumber(item.substr(dash + 1), first, OpeningCount, last))
      return false;
    for (int64_t n = first; n <= last; ++n) openings.push_back(static_cast<int>(n));
    start = end + 1;
  }
  return !openings.empty();
}

// Move lists, one a line; blank lines and lines starting with '#' are passed over. A position
// that holds a five already is no start.
bool ReadPositions(const std::string& path, std::vector<std::vector<int>>& positions,
                   std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
    GameState game;
    ClearGameState(game);
    MoveTextError fault;
    bool five = false;
    if (ReadMoveList(line, game, fault))
      for (int i = 0; i < game.moveCount; ++i)
        five = five || IsFiveAt(game, game.history[i].row, game.history[i].col);
    if (fault.fault != MoveTextFault::None || five) {
      error = path + ":" + std::to_string(number) + ": not a position to start from";
      return false;
    }
    std::vector<int> stones;
    for (int i = 0; i < game.moveCount; ++i)
      stones.push_back(PointIndex(game.history[i].row, game.history[i].col));
    positions.push_back(stones);
  }
  if (positions.empty()) error = path + " holds no position";
  return !positions.empty();
}

// Each start twice, engine 1 Black first.
bool MakeGames(const ArenaOptions& o, std::vector<GameSetup>& games, std::string& error) {
  std::vector<std::pair<std::string, std::vector<int>>> starts;
  if (!o.positions.empty()) {
    std::vector<std::vector<int>> positions;
    if (!ReadPositions(o.positions, positions, error)) return false;
    for (size_t i = 0; i < positions.size(); ++i)
      starts.emplace_back("pos" + std::to_string(i + 1), positions[i]);
  } else {
    std::vector<int> openings;
    if (!ParseOpeningList(o.openings, openings)) {
      error = "bad opening list '" + o.openings + "' (numbers 1..26, ranges like 1-5)";
      return false;
    }
    for (const int n : openings) {
      const auto stones = OpeningStones(n);
      starts.emplace_back(std::to_string(n), std::vector<int>(stones.begin(), stones.end()));
    }
  }
  for (const auto& [label, stones] : starts)
    for (int black = 0; black < 2; ++black)
      games.push_back({static_cast<int>(games.size()) + 1, label, stones, black});
  return true;
}

std::string SettingsText(const ArenaOptions& o) {
  const MatchSettings& s = o.settings;
  return "engine1=\"" + o.names[0] + "\" engine2=\"" + o.names[1] +
         "\" rules=" + (s.renju ? "renju" : "free") + " turn_ms=" + std::to_string(s.turnMs) +
         " match_ms=" + std::to_string(s.matchMs) +
         " tolerance_ms=" + std::to_string(s.toleranceMs);
}

}  // namespace

namespace {

// The match's output: the game lines on standard output, the games file and the engine log,
// written by the game threads under one lock.
class MatchOutput {
 public:
  MatchOutput(const ArenaOptions& o, int gameCount) : names_(o.names), gameCount_(gameCount) {}

  bool Open(const ArenaOptions& o, std::string& error) {
    if (o.gamesFile != "-") {
      games_.open(o.gamesFile, std::ios::out | std::ios::trunc);
      if (!games_) {
        error = "cannot write " + o.gamesFile;
        return false;
      }
      games_ << GamesFileHeader(SettingsText(o)) << std::flush;
    }
    if (!o.logFile.empty()) {
      log_.open(o.logFile, std::ios::out | std::ios::trunc);
      if (!log_) {
        error = "cannot write " + o.logFile;
        return false;
      }
    }
    return true;
  }

  std::function<void(const std::string&)> LogSink() {
    if (!log_.is_open()) return nullptr;
    return [this](const std::string& line) {
      const std::lock_guard lock(mutex_);
      log_ << line << '\n';
    };
  }

  // Games are written as they end, so that a stopped match keeps what it played.
  void GameEnded(const GameSetup& setup, const GameResult& result) {
    const std::lock_guard lock(mutex_);
    std::cout << GameLine(setup, result, gameCount_, names_) << std::endl;
    if (games_.is_open() && result.reason != EndReason::Interrupted)
      games_ << GamesFileLine(setup, result) << std::flush;
    tally_.Add(setup, result);
  }

  const Tally& Totals() const { return tally_; }

 private:
  std::array<std::string, 2> names_;
  int gameCount_;
  std::mutex mutex_;
  std::ofstream games_;
  std::ofstream log_;
  Tally tally_;
};

void RunGames(const std::vector<GameSetup>& games, const ArenaOptions& o, MatchOutput& output) {
  std::atomic<size_t> next{0};
  auto worker = [&] {
    for (size_t i = next++; i < games.size() && !gInterrupted; i = next++)
      output.GameEnded(games[i], PlayGame(games[i], o.engines, o.settings));
  };
  std::vector<std::thread> threads;
  for (int t = 1; t < o.concurrency; ++t) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();
}

void CatchInterrupts() {
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = AnswerStandardOption(argc, argv, "tesmor-arena", PrintUsage);
  if (answered >= 0) return answered;
  ArenaOptions options;
  std::vector<GameSetup> games;
  std::string error;
  if (!ParseOptions(argc, argv, options, error) || !MakeGames(options, games, error)) {
    std::cerr << "tesmor-arena: " << error << " (--help lists the options)\n";
    return 2;
  }
  MatchOutput output(options, static_cast<int>(games.size()));
  if (!output.Open(options, error)) {
    std::cerr << "tesmor-arena: " << error << "\n";
    return 2;
  }
  options.settings.log = output.LogSink();
  options.settings.interrupt = &gInterrupted;
  CatchInterrupts();
  std::cout << "tesmor-arena " << SettingsText(options) << ", " << games.size() << " games"
            << std::endl;
  RunGames(games, options, output);
  std::cout << output.Totals().Summary(options.names) << std::flush;
  return gInterrupted ? 130 : 0;
}
