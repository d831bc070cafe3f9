#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "cli/gomocup_protocol.h"

namespace tesmor::gomocup {

using Clock = std::chrono::steady_clock;

// Splits an engine command into its words: blanks separate them, single or double quotes keep
// blanks inside a word. Nothing is expanded; the program is run without a shell.
std::vector<std::string> SplitCommandLine(const std::string& command);

// The path that runs a program: a name with a slash as it is, others looked up on PATH as a shell
// would; "" when there is no such executable file.
std::string FindProgram(const std::string& name);

// What a wait for a line of the engine's output found.
enum class ReadStatus { Line, Timeout, Closed, Interrupted };

// One engine as a child process with its standard input and output on pipes. The engine runs in
// a process group of its own, so that the group, helpers it started included, can be killed at
// the end whatever state it is in; it also dies with the thread that started it. Not copyable:
// it owns the pipes and the child.
class EngineProcess {
 public:
  EngineProcess() = default;
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;
  ~EngineProcess() { Stop(std::chrono::milliseconds(0)); }

  // Starts argv[0] (searched on PATH when it has no slash). False with a reason in error when
  // the process could not be made; a program that cannot be run shows as an engine that closed
  // its output at once.
  bool Start(const std::vector<std::string>& argv, std::string& error);
  bool Running() const { return pid_ > 0; }

  // Writes one line; false when the engine no longer reads.
  bool Send(const std::string& line);
  // Writes the bytes as they are (several lines, other line ends, a partial line).
  bool SendBytes(std::string_view bytes);
  // Closes the engine's input, as a manager that goes away does.
  void CloseInput();
  // The next line of output, waiting until the deadline. Interrupted when the flag (if any)
  // turns true while waiting.
  ReadStatus ReadLine(Clock::time_point deadline, std::string& line,
                      const std::atomic<bool>* interrupt = nullptr);

  // Sends END when it still can, gives the engine the grace period to leave, then kills its
  // whole process group and reaps it. Returns how the engine ended, e.g. "exit 0" or
  // "signal 9"; "" when there was no engine.
  std::string Stop(std::chrono::milliseconds grace);

 private:
  bool ExitedWithin(std::chrono::milliseconds wait);

  pid_t pid_ = -1;
  int toEngine_ = -1;
  int fromEngine_ = -1;
  bool outputClosed_ = false;
  LineSplitter lines_;
};

}  // namespace tesmor::gomocup
