// A Gomocup engine that plays a script instead of thinking, for the arena's tests. It learns its
// colour from the first request (BEGIN, or the stones of BOARD) and answers each request with the
// next words of that colour's script:
//   H9           play that point (each answer comes after a MESSAGE and a DEBUG line)
//   say=TEXT     answer TEXT as it is, e.g. say=15,3 or say=hello
//   sleep=MS     wait, then go on with the next word
//   crash        abort
//   hang         stop reading, ignore SIGTERM and never answer
//   child=FILE   start a helper process that sleeps, write its pid to FILE, go on
// Options: --black WORDS, --white WORDS, --pid-file FILE (its pid appended), --ignore-end.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/gomocup_protocol.h"

namespace {

using namespace tesmor;

[[noreturn]] void SleepForever() {
  while (true) std::this_thread::sleep_for(std::chrono::seconds(1));
}

void AppendPid(const std::string& file, pid_t pid) {
  std::ofstream(file, std::ios::app) << pid << '\n';
}

struct Script {
  std::vector<std::string> words;
  size_t next = 0;
};

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Answers one request from the script.
void Answer(Script& script) {
  while (script.next < script.words.size()) {
    const std::string word = script.words[script.next++];
    if (word.rfind("sleep=", 0) == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(word.c_str() + 6)));
    } else if (word == "crash") {
      std::abort();
    } else if (word == "hang") {
      ::signal(SIGTERM, SIG_IGN);
      SleepForever();
    } else if (word.rfind("child=", 0) == 0) {
      const pid_t child = ::fork();
      if (child == 0) SleepForever();
      AppendPid(word.substr(6), child);
    } else if (word.rfind("say=", 0) == 0) {
      std::cout << word.substr(4) << std::endl;
      return;
    } else {
      std::cout << "MESSAGE playing " << word << "\nDEBUG from the script" << std::endl;
      std::cout << gomocup::MoveText(ParsePoint(word)) << std::endl;
      return;
    }
  }
  std::abort();  // the script ran out: a test that gets here is wrong
}

}  // namespace

int main(int argc, char** argv) {
  Script black;
  Script white;
  bool ignoreEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const std::string value = i + 1 < argc ? argv[i + 1] : "";
    if (option == "--ignore-end") {
      ignoreEnd = true;
      continue;
    }
    ++i;
    if (option == "--black") black.words = Words(value);
    if (option == "--white") white.words = Words(value);
    if (option == "--pid-file") AppendPid(value, ::getpid());
  }
  Script* mine = nullptr;
  int own = 0;
  int opponent = 0;
  for (std::string line; std::getline(std::cin, line);) {
    const gomocup::CommandWords words = gomocup::SplitCommand(line);
    if (words.keyword == "START") {
      std::cout << "OK" << std::endl;
    } else if (words.keyword == "BEGIN" || words.keyword == "TURN") {
      if (!mine) mine = words.keyword == "BEGIN" ? &black : &white;
      Answer(*mine);
    } else if (words.keyword == "BOARD") {
      own = opponent = 0;
    } else if (const auto entry = gomocup::ParseBoardEntry(line)) {
      ++(entry->field == 1 ? own : opponent);
    } else if (words.keyword == "DONE") {
      mine = own == opponent ? &black : &white;
      Answer(*mine);
    } else if (words.keyword == "END") {
      if (ignoreEnd) SleepForever();
      return 0;
    }
  }
  return 0;
}
