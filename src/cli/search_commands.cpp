#include <chrono>
#include <ostream>

#include "board/input_echo.h"
#include "board/symmetry.h"
#include "cli/commands.h"
#include "cli/position_arg.h"
#include "game/engine_computer.h"
#include "search/computer_move.h"
#include "search/vcf.h"

namespace tesmor {

namespace {

// Reads "--rules free|forbidden[|rif]" into the record and, for rif, the settings.
bool ApplyRules(const std::string& rules, bool allowRif, GameState& game, SearchSettings* settings,
                std::string& error) {
  if (rules == "free" || rules == "forbidden" || (allowRif && rules == "rif")) {
    game.forbiddenRulesOn = rules != "free";
    if (settings) settings->rifRules = rules == "rif";
    return true;
  }
  error = "unknown rules '" + EchoInput(rules) + "' (free, forbidden" + (allowRif ? ", rif)" : ")");
  return false;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 6) return false;
  int number = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    number = number * 10 + (ch - '0');
  }
  if (number < low || number > high) return false;
  value = number;
  return true;
}

// Parses the common arguments: the options allowed, then POSITION with the rules applied.
bool ParseCommand(const char* name, const std::vector<std::string>& args,
                  const std::vector<std::string>& known, CommandArgs& parsed, GameState& game,
                  std::ostream& err) {
  std::string error;
  if (!parsed.Parse(args, known, error)) {
    err << "tesmor-engine " << name << ": " << error << "\n";
    return false;
  }
  if (parsed.positional.empty()) {
    err << "tesmor-engine " << name << ": no position given\n";
    return false;
  }
  if (!ParsePositionArgument(parsed.JoinedPositional(), game, error)) {
    err << "tesmor-engine " << name << ": " << error << "\n";
    return false;
  }
  return true;
}

std::string AnswerText(int answer) {
  if (answer == Resign) return "resign";
  if (answer >= PointPairBase)
    return PointText(PairHigh(answer)) + " " + PointText(PairLow(answer));
  if (answer >= 0 && answer < CellCount) return PointText(answer);
  return "none";
}

// The search's panel lines, written to a stream as they change.
class ProgressLines final : public SearchProgress {
 public:
  explicit ProgressLines(std::ostream& out) : out_(out) {}
  void PanelLine(int index, const std::string& text) override {
    static constexpr const char* kLabels[] = {"计算深度：", "局面评分：", "最佳点：", "当前计算："};
    out_ << kLabels[(index - PanelDepthLine) / 2] << text << "\n";
  }

 private:
  std::ostream& out_;
};

}  // namespace

int VcfCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  GameState game;
  if (!ParseCommand("vcf", args, {"limit", "rules"}, parsed, game, err)) return ExitBadInput;
  std::string error;
  int limit = 113;
  if (!ParseNumber(parsed.Option("limit", "113"), 1, 225, limit)) {
    err << "tesmor-engine vcf: --limit takes a number from 1 to 225\n";
    return ExitBadInput;
  }
  if (!ApplyRules(parsed.Option("rules", "forbidden"), false, game, nullptr, error)) {
    err << "tesmor-engine vcf: " << error << "\n";
    return ExitBadInput;
  }
  ClockRandom random;
  SearchContext context(random, nullptr, nullptr);
  const auto start = std::chrono::steady_clock::now();
  const int answer = FindVcf(context, game, limit);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  out << (answer < VcfNone ? PointText(answer) : answer == VcfNone ? "none" : "unknown") << "\n";
  err << "nodes " << context.vcfNodes << ", " << elapsed.count() << " ms\n";
  return ExitOk;
}

int MoveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  GameState game;
  if (!ParseCommand("move", args, {"level", "mode", "rules", "book", "offer"}, parsed, game, err))
    return ExitBadInput;
  MoveRequest request;
  std::string error;
  int level = 8;
  if (!ParseNumber(parsed.Option("level", "8"), 0, 9, level)) {
    err << "tesmor-engine move: --level takes 0..9\n";
    return ExitBadInput;
  }
  request.levelArg = level + 7;
  const std::string mode = parsed.Option("mode", "fast");
  if (mode == "fast" || mode == "accurate" || mode == "exact") {
    request.settings.searchMode = mode == "fast"       ? FastSearchMode
                                  : mode == "accurate" ? AccurateSearchMode
                                                       : ExactSearchMode;
  } else {
    err << "tesmor-engine move: unknown mode '" << EchoInput(mode) << "' (fast, accurate, exact)\n";
    return ExitBadInput;
  }
  if (!ApplyRules(parsed.Option("rules", "rif"), true, game, &request.settings, error)) {
    err << "tesmor-engine move: " << error << "\n";
    return ExitBadInput;
  }
  const std::string book = parsed.Option("book", "on");
  if (book != "on" && book != "off") {
    err << "tesmor-engine move: --book takes on or off\n";
    return ExitBadInput;
  }
  request.settings.useBook = book == "on";
  if (parsed.options.count("offer")) {
    const int offer = ParsePoint(parsed.Option("offer", ""));
    if (offer == NoPoint || game.cell(PointRow(offer), PointCol(offer)) != Empty) {
      err << "tesmor-engine move: --offer needs an empty point\n";
      return ExitBadInput;
    }
    if (game.moveCount != 5 || !request.settings.rifRules) {
      err << "tesmor-engine move: --offer needs five stones under the rif rules\n";
      return ExitBadInput;
    }
    request.settings.rifFifthState = 2;
    request.settings.secondOffer = {PointRow(offer), PointCol(offer)};
  }
  EngineComputer computer(err);
  if (request.settings.useBook && !computer.LoadOpeningBook())
    err << "tesmor-engine move: no opening book found; playing without one\n";
  ProgressLines progress(err);
  request.progress = &progress;
  std::atomic<bool> stop{false};
  request.stopRequested = &stop;
  out << AnswerText(computer.ChooseComputerMove(game, request)) << "\n";
  return ExitOk;
}

}  // namespace tesmor
