#include <chrono>
#include <ostream>

#include "board/input_echo.h"
#include "board/symmetry.h"
#include "book/book_location.h"
#include "cli/commands.h"
#include "cli/position_arg.h"
#include "game/engine_computer.h"
#include "game/panel.h"
#include "search/computer_move.h"
#include "search/vcf.h"

namespace tesmor {

namespace {

// Reads "--rules free|forbidden[|rif]" into the record and the rule set.
bool ApplyRules(const std::string& rules, bool allowRif, GameState& game, RuleSet& ruleSet,
                std::string& error) {
  if (rules == "free" || rules == "forbidden" || (allowRif && rules == "rif")) {
    game.forbiddenRulesOn = rules != "free";
    ruleSet = rules == "free" ? RuleSet::Free : rules == "rif" ? RuleSet::Rif : RuleSet::Forbidden;
    return true;
  }
  error = "unknown rules '" + EchoInput(rules) + "' (free, forbidden" + (allowRif ? ", rif)" : ")");
  return false;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 7) return false;
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
  if (const int five = StoneOfFive(game); five != NoPoint) {
    err << "tesmor-engine " << name << ": the game is over: "
        << (game.cell(PointRow(five), PointCol(five)) == Black ? "Black" : "White")
        << " already has five in a row through " << PointText(five) << "\n";
    return false;
  }
  return true;
}

// The offering set aside comes first, then the point played.
std::string AnswerText(const ComputerAnswer& answer) {
  switch (answer.kind) {
    case ComputerAnswer::Kind::Resignation:
      return "resign";
    case ComputerAnswer::Kind::OfferingPair:
      return PointText(answer.offering) + " " + PointText(answer.point);
    case ComputerAnswer::Kind::Point:
      return PointText(answer.point);
    case ComputerAnswer::Kind::NoMove:
      break;
  }
  return "none";
}

// Reads the book, and says when there is none or it is damaged: the move then comes from the
// search, or from what the book kept.
void LoadBook(EngineComputer& computer, std::ostream& err) {
  const BookLoadReport report = computer.LoadOpeningBook();
  if (!report.loaded)
    err << "tesmor-engine move: no opening book read (" << report.path << ": " << report.error
        << "); playing without one\n";
  else if (report.damaged)
    err << "tesmor-engine move: " << BookDamageNote(report) << "\n";
}

// The search's panel lines, written to a stream as they change.
class ProgressLines final : public SearchProgress {
 public:
  explicit ProgressLines(std::ostream& out) : out_(out) {}
  void Progress(ProgressField field, int value) override {
    out_ << Label(field) << ProgressText(field, value) << "\n";
  }

 private:
  static const char* Label(ProgressField field) {
    switch (field) {
      case ProgressField::Depth:
        return "计算深度：";
      case ProgressField::Score:
      case ProgressField::MasterScore:
        return "局面评分：";
      case ProgressField::BestPoint:
        return "最佳点：";
      case ProgressField::CurrentPoint:
        break;
    }
    return "当前计算：";
  }

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
  RuleSet rules = RuleSet::Forbidden;
  if (!ApplyRules(parsed.Option("rules", "forbidden"), false, game, rules, error)) {
    err << "tesmor-engine vcf: " << error << "\n";
    return ExitBadInput;
  }
  ClockRandom random;
  SearchContext context(random, nullptr, nullptr);
  const auto start = std::chrono::steady_clock::now();
  const int answer = FindVcf(context, game, limit);
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  out << (answer < VcfNone ? PointText(answer) : answer == VcfNone ? "none" : "unknown") << "\n";
  err << "nodes " << context.vcfNodes << ", " << elapsed.count() << " us\n";
  return ExitOk;
}

namespace {

// The options of the move command, read into the request; false after a line on err.
bool ParseMoveOptions(const CommandArgs& parsed, GameState& game, MoveRequest& request,
                      std::ostream& err) {
  std::string error;
  const std::string level = parsed.Option("level", "8");
  if (level == "master") {
    request.level = MasterLevel;
  } else if (!ParseNumber(level, 0, 9, request.level)) {
    err << "tesmor-engine move: --level takes 0..9 or master\n";
    return false;
  }
  if (parsed.options.count("time")) {
    int ms = 0;
    if (!ParseNumber(parsed.Option("time", ""), 1, 3600000, ms)) {
      err << "tesmor-engine move: --time takes milliseconds from 1 to 3600000\n";
      return false;
    }
    request.masterTime = std::chrono::milliseconds(ms);
  }
  if (!ParseNumber(parsed.Option("threads", "1"), 1, 8, request.masterThreads)) {
    err << "tesmor-engine move: --threads takes 1 to 8\n";
    return false;
  }
  const std::string mode = parsed.Option("mode", "fast");
  if (mode != "fast" && mode != "accurate" && mode != "exact") {
    err << "tesmor-engine move: unknown mode '" << EchoInput(mode) << "' (fast, accurate, exact)\n";
    return false;
  }
  request.mode = mode == "fast"       ? SearchMode::Fast
                 : mode == "accurate" ? SearchMode::Accurate
                                      : SearchMode::Exact;
  if (!ApplyRules(parsed.Option("rules", "rif"), true, game, request.rules, error)) {
    err << "tesmor-engine move: " << error << "\n";
    return false;
  }
  const std::string book = parsed.Option("book", "on");
  if (book != "on" && book != "off") {
    err << "tesmor-engine move: --book takes on or off\n";
    return false;
  }
  request.useBook = book == "on";
  if (!parsed.options.count("offer")) return true;
  const int offer = ParsePoint(parsed.Option("offer", ""));
  if (offer == NoPoint || game.cell(PointRow(offer), PointCol(offer)) != Empty) {
    err << "tesmor-engine move: --offer needs an empty point\n";
    return false;
  }
  if (game.moveCount != 5 || request.rules != RuleSet::Rif) {
    err << "tesmor-engine move: --offer needs five stones under the rif rules\n";
    return false;
  }
  request.offeringsOpen = true;
  request.secondOffer = {PointRow(offer), PointCol(offer)};
  return true;
}

}  // namespace

int MoveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  GameState game;
  if (!ParseCommand(
          "move", args,
          {"level", "mode", "rules", "book", "offer", "hash", "time", "threads", "weights"}, parsed,
          game, err))
    return ExitBadInput;
  MoveRequest request;
  if (!ParseMoveOptions(parsed, game, request, err)) return ExitBadInput;
  int megabytes = static_cast<int>(SearchContext::DefaultTableMegabytes);
  if (!ParseNumber(parsed.Option("hash", std::to_string(megabytes)), 1, 65536, megabytes)) {
    err << "tesmor-engine move: --hash takes megabytes from 1 to 65536\n";
    return ExitBadInput;
  }
  EngineComputer computer(err);
  if (megabytes != static_cast<int>(SearchContext::DefaultTableMegabytes))
    computer.SetTableMegabytes(static_cast<size_t>(megabytes));
  if (parsed.options.count("weights")) {
    MasterWeights weights;
    std::string error;
    if (!weights.ReadFile(parsed.Option("weights", ""), error)) {
      err << "tesmor-engine move: " << EchoInput(error) << "\n";
      return ExitBadInput;
    }
    computer.SetMasterWeights(weights);
  }
  if (request.useBook) LoadBook(computer, err);
  ProgressLines progress(err);
  request.progress = &progress;
  out << AnswerText(computer.ChooseMove(game, request)) << "\n";
  if (request.level == MasterLevel) {
    const MasterResult& result = computer.LastMasterResult();
    err << "depth " << result.depth << ", score " << result.score << ", nodes " << result.nodes
        << ", " << result.decidedBy << (result.stopped ? ", stopped" : "") << "\n";
  }
  return ExitOk;
}

}  // namespace tesmor
