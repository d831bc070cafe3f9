#pragma once

#include <iostream>
#include <string_view>

#include "tesmor_version.h"

namespace tesmor {

// --version and --help (or -h) as the first argument, which every program answers the same way
// before it reads anything else: the version or the usage on standard output, and success.
// Returns that exit status, or -1 when the first argument is neither.
template <typename PrintUsage>
int AnswerStandardOption(int argc, char** argv, std::string_view program, PrintUsage printUsage) {
  if (argc < 2) return -1;
  const std::string_view option = argv[1];
  if (option == "--version") {
    std::cout << program << ' ' << VersionText << '\n';
    return 0;
  }
  if (option == "--help" || option == "-h") {
    printUsage(std::cout);
    return 0;
  }
  return -1;
}

}  // namespace tesmor
