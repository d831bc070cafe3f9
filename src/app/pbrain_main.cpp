#include <unistd.h>

#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

#include "app/standard_options.h"
#include "cli/gomocup_brain.h"

namespace {

constexpr int MaxThreads = 8;

void PrintUsage(std::ostream& out) {
  out << "usage: pbrain-tesmor [--weights FILE] [--threads N] | --print-weights\n"
         "Plays Tesmor as a Gomocup brain: protocol commands on standard input, replies on\n"
         "standard output. The opening book M.lib is looked for in the working directory, beside\n"
         "the program, then in "
      << TESMOR_DATA_DIR
      << ".\n"
         "--weights FILE reads the master level's weights as 'name value' lines;\n"
         "--print-weights prints the defaults in that form.\n"
         "--threads N lets the master level search with N threads (1 to 8, default 1).\n";
}

bool ReadThreads(std::string_view text, int& threads) {
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), threads);
  return status == std::errc() && end == text.data() + text.size() && threads >= 1 &&
         threads <= MaxThreads;
}

// The options after the program's name, in pairs; false, with a message, for anything else.
bool ReadOptions(int argc, char** argv, tesmor::MasterWeights& weights, int& threads) {
  if (argc % 2 == 0) {
    std::cerr << "pbrain-tesmor: unknown arguments; see --help\n";
    return false;
  }
  for (int i = 1; i < argc; i += 2) {
    const std::string_view option = argv[i];
    const std::string_view value = argv[i + 1];
    std::string error;
    if (option == "--weights") {
      if (weights.ReadFile(std::string(value), error)) continue;
      std::cerr << "pbrain-tesmor: " << error << "\n";
    } else if (option == "--threads") {
      if (ReadThreads(value, threads)) continue;
      std::cerr << "pbrain-tesmor: --threads takes 1 to 8\n";
    } else {
      std::cerr << "pbrain-tesmor: unknown arguments; see --help\n";
    }
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = tesmor::AnswerStandardOption(argc, argv, "pbrain-tesmor", PrintUsage);
  if (answered >= 0) return answered;
  tesmor::MasterWeights weights;
  if (argc == 2 && std::string_view(argv[1]) == "--print-weights") {
    weights.Write(std::cout);
    return 0;
  }
  int threads = 1;
  if (!ReadOptions(argc, argv, weights, threads)) return 2;
  return tesmor::RunGomocupBrain(STDIN_FILENO, std::cout, weights, threads);
}
