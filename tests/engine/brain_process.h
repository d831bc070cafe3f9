#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tesmor {

// Runs a program with pipes on its standard input and output, as a tournament manager runs a
// brain. Every wait has a limit, so a program that hangs fails the test instead of holding it;
// the limits are hang guards, far above any answer time that matters.
class BrainProcess {
 public:
  static constexpr std::chrono::seconds Guard{30};

  explicit BrainProcess(const std::string& path);
  BrainProcess(const BrainProcess&) = delete;
  BrainProcess& operator=(const BrainProcess&) = delete;
  // Closes the input and, if the program is still running, kills it by its process id.
  ~BrainProcess();

  // Writes the bytes as they are; false when the program no longer reads.
  bool Send(const std::string& bytes);
  bool SendLine(const std::string& line) { return Send(line + "\r\n"); }
  void CloseInput();

  // The next output line without its line end; nothing at the end of the output or when the
  // guard runs out.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit = Guard);
  // The next line that is not MESSAGE or DEBUG; the skipped ones are kept in messages().
  std::optional<std::string> Reply(std::chrono::milliseconds limit = Guard);
  const std::vector<std::string>& messages() const { return messages_; }

  // Every line up to the end of the output, then the exit status (-1 if the program did not end
  // within the guard or died from a signal).
  std::vector<std::string> RestOfOutput();
  int WaitForExit(std::chrono::milliseconds limit = Guard);

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string buffer_;
  bool outputEnded_ = false;
  std::vector<std::string> messages_;
};

}  // namespace tesmor
