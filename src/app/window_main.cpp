// tesmor: the game's window. Without a display it plays in the terminal instead.
#include <unistd.h>

#include <iostream>

#include "app/standard_options.h"
#include "board/random_source.h"
#include "cli/terminal_play.h"
#include "game/engine_computer.h"
#include "ui/application.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: tesmor [FILE.pos]\n"
         "Five in a row and renju against the computer or a friend, in a window; in the terminal\n"
         "when there is no display. FILE.pos is a saved game to open.\n";
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = tesmor::AnswerStandardOption(argc, argv, "tesmor", PrintUsage);
  if (answered >= 0) return answered;
  tesmor::EngineComputer computer(std::cout);
  if (!tesmor::HaveDisplay()) {
    const bool terminal = isatty(STDIN_FILENO);
    std::cerr << "tesmor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
              << (terminal ? "; playing in the terminal" : "") << "\n";
    if (!terminal) return 1;
    return tesmor::PlayInTerminal(STDIN_FILENO, std::cout, computer);
  }
  tesmor::ClockRandom random;
  return tesmor::RunWindow(argc, argv, computer, random);
}
