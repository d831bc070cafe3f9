#include <unistd.h>

#include <iostream>
#include <string>

#include "app/standard_options.h"
#include "cli/gomocup_brain.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: pbrain-tesmor [--weights FILE] | --print-weights\n"
         "Plays Tesmor as a Gomocup brain: protocol commands on standard input, replies on\n"
         "standard output. The opening book M.lib is looked for in the working directory, beside\n"
         "the program, then in "
      << TESMOR_DATA_DIR
      << ".\n"
         "--weights FILE reads the master level's weights as 'name value' lines;\n"
         "--print-weights prints the defaults in that form.\n";
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = tesmor::AnswerStandardOption(argc, argv, "pbrain-tesmor", PrintUsage);
  if (answered >= 0) return answered;
  tesmor::MasterWeights weights;
  const std::string option = argc >= 2 ? argv[1] : "";
  if (argc == 2 && option == "--print-weights") {
    weights.Write(std::cout);
    return 0;
  }
  if (argc == 3 && option == "--weights") {
    std::string error;
    if (!weights.ReadFile(argv[2], error)) {
      std::cerr << "pbrain-tesmor: " << error << "\n";
      return 2;
    }
  } else if (argc != 1) {
    std::cerr << "pbrain-tesmor: unknown arguments; see --help\n";
    return 2;
  }
  return tesmor::RunGomocupBrain(STDIN_FILENO, std::cout, weights);
}
