#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <ostream>
#include <stop_token>
#include <thread>

#include "board/input_echo.h"
#include "cli/commands.h"
#include "cli/position_arg.h"
#include "search/computer_move.h"
#include "search/master_search.h"
#include "search/search_context.h"

namespace tesmor {

namespace {

// Sets the stop flag after the given time unless it is destroyed first, and remembers whether
// it fired.
class StopTimer {
 public:
  StopTimer(std::atomic<bool>& stop, int ms)
      : thread_([&stop, ms, this](std::stop_token token) {
          std::unique_lock lock(mutex_);
          if (!wake_.wait_for(lock, token, std::chrono::milliseconds(ms), [] { return false; }) &&
              !token.stop_requested()) {
            fired_ = true;
            stop = true;
          }
        }) {}

  bool fired() const { return fired_; }

 private:
  std::atomic<bool> fired_{false};
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::jthread thread_;  // last: started after the members it uses, joined before they go
};

struct BenchPosition {
  bool forbidden;
  const char* moves;
};

// The fixed benchmark set: openings, quiet middle games and positions with a win by continuous
// fours for either side, under both rule settings. Changing it changes the node signature.
constexpr BenchPosition kBenchPositions[] = {
    {true, "H8 H9 H10"},
    {false, "H8 I9 J10"},
    {true, "H8 H9 H10 I10 G9"},
    {false, "H8 H9 J10 I9 G9"},
    {true, "H8 I9 J10 J9 K9"},
    {false, "H8 H9 I8 G8 I10"},
    {true, "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11"},
    {true, "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11 K12 G11 H11 J10 F9 F11 G10 E8"},
    {false, "H8 H9 J10 I9 G9 I7 I10 H10 G11 K7 G8 G10"},
    {false, "H8 H9 J10 I9 G9 I7 I10 H10 G11 K7 G8 G10 J8 I8 J7 J9 K9 K10 H7 I6"},
    {false,
     "H8 H9 J10 I9 G9 I7 I10 H10 G11 K7 G8 G10 J8 I8 J7 J9 K9 K10 H7 I6 I5 L11 M12 L8 I11 H12 H11 "
     "J11"},
    {true, "H8 I9 J10 J9 K9 I11 K8 K10 I8 J8 K7 H10"},
    {true,
     "H8 I9 J10 J9 K9 I11 K8 K10 I8 J8 K7 H10 J7 H9 G9 I7 L9 G11 F12 I6 L8 M7 L6 L7 M9 N10 K6 K5"},
    {false, "H8 H9 I8 G8 I10 G9 I9 I11 G7 J10 H7 I7 J9 G6 K8 L7 K9 K10 L9 M9"},
    {true, "H8 I9 G7 J8 H7 H10 K7 G9 F8 I7 G8 I8"},
    {true,
     "H8 I9 G7 J8 H7 H10 K7 G9 F8 I7 G8 I8 I6 F9 H9 H6 K9 I10 I11 J10 K10 K8 H11 G11 F12 F10 G10 "
     "E9"},
    {false, "H8 H9 J6 G9 I9 G7 G8 F8 J8 H10 I11 I8 J7 J9 J5 J4 H7 H6 I5 E9"},
    {false, "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4"},
    {true,
     "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11 K12 G11 H11 J10 F9 F11 G10 E8 F8 F6 E7 D6 G7 D7 D10 "
     "E10"},
    {true,
     "H8 I9 I7 G9 H7 H9 J9 G8 J7 G7 G6 G10 G11 I8 J8 E9 F9 J6 H6 F11 E12 G5 F6 E6 F7 F8 H5 H4"},
    {false,
     "H8 H9 J6 G9 I9 G7 G8 F8 J8 H10 I11 I8 J7 J9 J5 J4 H7 H6 I5 E9 D10 E7 D6 F9 D9 F10 D8 D7 D12 "
     "D11 I6 K4 F7 F11 F12 G10 E12"},
    {false, "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4 E7 E8 H5 I8 E4 E3 I10 J9 G9"},
    {true,
     "H8 H9 H10 I10 G9 G8 F7 I11 F10 I7 I9 J11 K12 G11 H11 J10 F9 F11 G10 E8 F8 F6 E7 D6 G7 D7 "
     "D10"},
    {true, "H8 I9 I7 G9 H7 H9 J9 G8 J7 G7 G6 G10 G11 I8 J8 E9 F9 J6 H6 F11 E12 G5 F6 E6 F7 F8 H5"},
    {false,
     "H8 H9 J6 G9 I9 G7 G8 F8 J8 H10 I11 I8 J7 J9 J5 J4 H7 H6 I5 E9 D10 E7 D6 F9 D9 F10 D8 D7 D12 "
     "D11 I6 K4 F7 F11 F12 G10"},
    {false, "H8 H9 I6 G8 F6 F7 E6 G6 G7 I9 E5 D4 E7 E8 H5 I8 E4 E3 I10 J9"},
};

}  // namespace

namespace {

// The master search's default bench depth: some twenty seconds for the whole set.
constexpr int DefaultMasterDepth = 6;

struct BenchOptions {
  int level = 5;
  bool master = false;
  int masterDepth = DefaultMasterDepth;
  MasterWeights weights;
  SearchSettings settings;
  int stopAfterMs = 0;
  size_t tableMegabytes = SearchContext::DefaultTableMegabytes;
};

// --depth and --weights, which only the master search reads.
bool ParseMasterOptions(const CommandArgs& parsed, BenchOptions& options, std::ostream& err) {
  if (!options.master && (parsed.options.count("depth") || parsed.options.count("weights"))) {
    err << "tesmor-engine bench: --depth and --weights go with --level master\n";
    return false;
  }
  const std::string depthText = parsed.Option("depth", std::to_string(DefaultMasterDepth));
  if (depthText.empty() || depthText.size() > 2 ||
      depthText.find_first_not_of("0123456789") != std::string::npos || std::stoi(depthText) < 1 ||
      std::stoi(depthText) > MasterMaxDepth) {
    err << "tesmor-engine bench: --depth takes 1.." << MasterMaxDepth << "\n";
    return false;
  }
  options.masterDepth = std::stoi(depthText);
  std::string error;
  if (parsed.options.count("weights") &&
      !options.weights.ReadFile(parsed.Option("weights", ""), error)) {
    err << "tesmor-engine bench: " << EchoInput(error) << "\n";
    return false;
  }
  return true;
}

// The options of the bench command; false after a line on err.
bool ParseBenchOptions(const std::vector<std::string>& args, BenchOptions& options,
                       std::ostream& err) {
  CommandArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {"level", "mode", "stop-after", "hash", "depth", "weights"}, error) ||
      !parsed.positional.empty()) {
    err << "tesmor-engine bench: " << (error.empty() ? "takes options only" : error) << "\n";
    return false;
  }
  const std::string levelText = parsed.Option("level", "5");
  options.master = levelText == "master";
  if (!options.master && (levelText.size() != 1 || levelText[0] < '0' || levelText[0] > '9')) {
    err << "tesmor-engine bench: --level takes 0..9 or master\n";
    return false;
  }
  if (!options.master) options.level = levelText[0] - '0';
  if (!ParseMasterOptions(parsed, options, err)) return false;
  const std::string mode = parsed.Option("mode", "fast");
  options.settings.rifRules = false;
  options.settings.useBook = false;
  if (mode == "fast") {
    options.settings.searchMode = SearchMode::Fast;
  } else if (mode == "accurate") {
    options.settings.searchMode = SearchMode::Accurate;
  } else if (mode == "exact") {
    options.settings.searchMode = SearchMode::Exact;
  } else {
    err << "tesmor-engine bench: unknown mode '" << EchoInput(mode) << "'\n";
    return false;
  }
  // A cap per position for the levels whose searches run for hours; a capped search plays its
  // best finished move, as after the stop button.
  const std::string stopText = parsed.Option("stop-after", "0");
  if (stopText.empty() || stopText.size() > 8 ||
      stopText.find_first_not_of("0123456789") != std::string::npos) {
    err << "tesmor-engine bench: --stop-after takes milliseconds\n";
    return false;
  }
  options.stopAfterMs = std::stoi(stopText);
  const std::string hashText =
      parsed.Option("hash", std::to_string(SearchContext::DefaultTableMegabytes));
  if (hashText.empty() || hashText.size() > 5 ||
      hashText.find_first_not_of("0123456789") != std::string::npos || std::stoi(hashText) < 1) {
    err << "tesmor-engine bench: --hash takes megabytes, 1 or more\n";
    return false;
  }
  options.tableMegabytes = static_cast<size_t>(std::stoi(hashText));
  return true;
}

}  // namespace

namespace {

// The master search to a fixed depth on every bench position, with a fresh table each: the node
// counts depend on the code and the weights only.
int MasterBench(const BenchOptions& options, std::ostream& out, std::ostream& err) {
  int64_t totalNodes = 0;
  int64_t totalMs = 0;
  int index = 0;
  MasterSearch search(options.tableMegabytes / 2 + 1);
  search.SetWeights(options.weights);
  for (const BenchPosition& position : kBenchPositions) {
    GameState game;
    game.forbiddenRulesOn = position.forbidden;
    std::string error;
    if (!ParseMoveList(position.moves, game, error)) {
      err << "tesmor-engine bench: position " << index + 1 << ": " << error << "\n";
      return ExitFailure;
    }
    search.ClearTable();
    std::atomic<bool> stop{false};
    MasterLimits limits;
    limits.maxDepth = options.masterDepth;
    limits.stop = &stop;
    std::optional<StopTimer> timer;
    if (options.stopAfterMs > 0) timer.emplace(stop, options.stopAfterMs);
    const auto start = std::chrono::steady_clock::now();
    const MasterResult result = search.Search(game, limits);
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    const bool stopped = timer && timer->fired();
    timer.reset();
    totalNodes += result.nodes;
    totalMs += ms;
    char line[160];
    std::snprintf(line, sizeof line, "%2d %-9s %-6s depth %2d %-6s nodes %10lld %7lld ms%s\n",
                  ++index, position.forbidden ? "forbidden" : "free",
                  result.point < NoPoint ? PointText(result.point).c_str() : "none", result.depth,
                  result.decidedBy, static_cast<long long>(result.nodes),
                  static_cast<long long>(ms), stopped ? " stopped" : "");
    out << line << std::flush;
  }
  out << "\nNodes searched: " << totalNodes << "\nTotal time (ms): " << totalMs
      << "\nNodes/second: " << (totalMs > 0 ? totalNodes * 1000 / totalMs : totalNodes) << "\n";
  return ExitOk;
}

}  // namespace

int BenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  BenchOptions options;
  if (!ParseBenchOptions(args, options, err)) return ExitBadInput;
  if (options.master) return MasterBench(options, out, err);
  const SearchSettings& settings = options.settings;
  const int level = options.level;
  const int stopAfterMs = options.stopAfterMs;
  std::string error;
  uint64_t replacements = 0;

  int64_t totalNodes = 0;
  int64_t totalMs = 0;
  int index = 0;
  // Each position gets a fresh context, but their caches share pages, as one player's searches
  // share one context's caches: what a search costs, not what mapping new memory costs.
  TableBlocks tablePool(size_t{160} << 20);
  for (const BenchPosition& position : kBenchPositions) {
    GameState game;
    game.forbiddenRulesOn = position.forbidden;
    if (!ParseMoveList(position.moves, game, error)) {
      err << "tesmor-engine bench: position " << index + 1 << ": " << error << "\n";
      return ExitFailure;
    }
    // A fresh context and a fixed random sequence: the node count depends on the code only.
    SequenceRandom random({1});
    SearchContext context(random, nullptr, nullptr, &tablePool);
    if (options.tableMegabytes != SearchContext::DefaultTableMegabytes)
      context.SetTableMegabytes(options.tableMegabytes);
    context.settings = settings;
    std::atomic<bool> stop{false};
    context.SetStopFlag(&stop);
    std::optional<StopTimer> timer;
    if (stopAfterMs > 0) timer.emplace(stop, stopAfterMs);
    const auto start = std::chrono::steady_clock::now();
    const ComputerAnswer answer = ComputerMoveAtLevel(context, game, level);
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    const bool stopped = timer && timer->fired();
    timer.reset();
    const int64_t nodes = context.nodeCount + context.vcfNodes;
    totalNodes += nodes;
    totalMs += ms;
    replacements += context.TableReplacements();
    char line[128];
    std::snprintf(
        line, sizeof line, "%2d %-9s %-6s nodes %10lld %7lld ms%s\n", ++index,
        position.forbidden ? "forbidden" : "free",
        answer.kind == ComputerAnswer::Kind::Point ? PointText(answer.point).c_str() : "none",
        static_cast<long long>(nodes), static_cast<long long>(ms), stopped ? " stopped" : "");
    out << line << std::flush;
  }
  out << "\nNodes searched: " << totalNodes << "\nTotal time (ms): " << totalMs
      << "\nNodes/second: " << (totalMs > 0 ? totalNodes * 1000 / totalMs : totalNodes)
      << "\nCache entries replaced: " << replacements << "\n";
  return ExitOk;
}

}  // namespace tesmor
