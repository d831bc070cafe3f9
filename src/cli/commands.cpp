#include "cli/commands.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "board/input_echo.h"
#include "search/master_weights.h"
#include "tesmor_version.h"

namespace tesmor {

namespace {

constexpr std::array kCommands = {
    EngineCommand{"forbidden", "forbidden POSITION",
                  "list the points where a Black stone would be forbidden", ForbiddenCommand},
    EngineCommand{"eval", "eval POSITION [--rules free|forbidden]",
                  "score the position for each side and list the ten best points for the side "
                  "to move",
                  EvalCommand},
    EngineCommand{"vcf", "vcf POSITION [--limit N] [--rules free|forbidden]",
                  "the first move of a win by continuous fours for the side to move, or none / "
                  "unknown",
                  VcfCommand},
    EngineCommand{"move",
                  "move POSITION [--level 0..9|master] [--time MS] [--threads N] "
                  "[--mode fast|accurate|exact] [--rules free|forbidden|rif] [--book on|off] "
                  "[--offer POINT] [--hash MB] [--weights FILE]",
                  "the computer's move as the window would choose it", MoveCommand},
    EngineCommand{"bench",
                  "bench [--level 0..9|master] [--mode fast|accurate|exact] [--stop-after MS] "
                  "[--hash MB] [--depth N] [--weights FILE]",
                  "search the fixed benchmark positions and print the node count", BenchCommand},
    EngineCommand{"play", "play", "play in the terminal against the computer", PlayCommand},
};

}  // namespace

bool CommandArgs::Parse(const std::vector<std::string>& args, const std::vector<std::string>& known,
                        std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word.rfind("--", 0) != 0) {
      positional.push_back(word);
      continue;
    }
    const std::string name = word.substr(2);
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      error = "unknown option " + EchoInput(word);
      return false;
    }
    if (i + 1 >= args.size()) {
      error = "option " + EchoInput(word) + " needs a value";
      return false;
    }
    options[name] = args[++i];
  }
  return true;
}

std::string CommandArgs::JoinedPositional() const {
  std::string joined;
  for (const std::string& word : positional) {
    if (!joined.empty()) joined += ' ';
    joined += word;
  }
  return joined;
}

std::string CommandArgs::Option(const std::string& name, const std::string& fallback) const {
  const auto found = options.find(name);
  return found == options.end() ? fallback : found->second;
}

void PrintEngineHelp(std::ostream& out) {
  out << ProgramTitle << " engine: analysis commands for 15x15 five-in-a-row and renju.\n\n"
      << "Usage: tesmor-engine COMMAND [ARGS]\n\n"
         "POSITION is the path of a .pos file or a move list such as \"H8 H9 J10\"\n"
         "(column letter A..O from the left, row 1..15 from the bottom, Black first).\n\n"
         "Commands:\n";
  for (const EngineCommand& command : kCommands)
    out << "  " << command.usage << "\n      " << command.summary << "\n";
  out << "  help\n      show this text\n"
         "  --print-weights\n      print the master level's default weights as 'name value' "
         "lines,\n      the form --weights FILE reads\n";
}

int RunEngineCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // Without a command nothing was asked: the usage goes where the problems go.
  if (args.empty()) {
    PrintEngineHelp(err);
    return ExitBadInput;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintEngineHelp(out);
    return ExitOk;
  }
  if (args[0] == "--print-weights" && args.size() == 1) {
    MasterWeights().Write(out);
    return ExitOk;
  }
  for (const EngineCommand& command : kCommands)
    if (args[0] == command.name)
      return command.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  err << "tesmor-engine: unknown command '" << EchoInput(args[0]) << "' (try tesmor-engine help)\n";
  return ExitBadInput;
}

}  // namespace tesmor
