#include <unistd.h>

#include <iostream>

#include "app/standard_options.h"
#include "cli/gomocup_brain.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: pbrain-tesmor\n"
         "Plays Tesmor as a Gomocup brain: protocol commands on standard input, replies on\n"
         "standard output. The opening book M.lib is looked for in the working directory, beside\n"
         "the program, then in "
      << TESMOR_DATA_DIR << ".\n";
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = tesmor::AnswerStandardOption(argc, argv, "pbrain-tesmor", PrintUsage);
  if (answered >= 0) return answered;
  return tesmor::RunGomocupBrain(STDIN_FILENO, std::cout);
}
