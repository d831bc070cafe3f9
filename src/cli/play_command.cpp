#include <unistd.h>

#include <ostream>
#include <streambuf>

#include "cli/commands.h"
#include "cli/terminal_play.h"
#include "game/engine_computer.h"

namespace tesmor {

namespace {

// Swallows the search's console lines: in the terminal the board and its panel show the search.
class NullBuffer final : public std::streambuf {
 protected:
  int overflow(int ch) override { return traits_type::not_eof(ch); }
};

}  // namespace

int PlayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    err << "tesmor-engine play: takes no arguments\n";
    return ExitBadInput;
  }
  NullBuffer nothing;
  std::ostream quiet(&nothing);
  EngineComputer computer(quiet);
  return PlayInTerminal(STDIN_FILENO, out, computer);
}

}  // namespace tesmor
