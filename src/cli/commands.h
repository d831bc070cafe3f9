#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace tesmor {

// Exit statuses of the engine program's commands.
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitBadInput = 2;

// The arguments of one command split into positional words and "--name value" options.
struct CommandArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;

  // Splits args; an option not in known, or one without its value, fails with a message.
  bool Parse(const std::vector<std::string>& args, const std::vector<std::string>& known,
             std::string& error);
  // The positional words joined by spaces: a move list may come as one word or as several.
  std::string JoinedPositional() const;
  std::string Option(const std::string& name, const std::string& fallback) const;
};

using CommandFunction = int (*)(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

struct EngineCommand {
  const char* name;
  const char* usage;
  const char* summary;
  CommandFunction run;
};

// Runs `tesmor-engine <command> ...`: args excludes the program name. Answers go to out, problems
// and progress to err.
int RunEngineCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

void PrintEngineHelp(std::ostream& out);

// The commands, each in its own file.
int ForbiddenCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int EvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int VcfCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int MoveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int BenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int PlayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tesmor
