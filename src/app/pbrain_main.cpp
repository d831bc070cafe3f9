#include <unistd.h>

#include <iostream>

#include "cli/gomocup_brain.h"

int main() {
  return tesmor::RunGomocupBrain(STDIN_FILENO, std::cout);
}
