#include <iostream>
#include <string>
#include <vector>

#include "app/standard_options.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
  const int answered =
      tesmor::AnswerStandardOption(argc, argv, "tesmor-engine", tesmor::PrintEngineHelp);
  if (answered >= 0) return answered;
  std::vector<std::string> args(argv + 1, argv + argc);
  return tesmor::RunEngineCommand(args, std::cout, std::cerr);
}
