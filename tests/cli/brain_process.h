#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "cli/engine_process.h"

namespace tesmor {

// A brain run as a tournament manager runs it, for the tests: every wait has a hang guard, so a
// program that hangs fails the test instead of holding it.
class BrainProcess {
 public:
  static constexpr std::chrono::seconds Guard{30};

  explicit BrainProcess(const std::string& path, std::vector<std::string> args = {}) {
    args.insert(args.begin(), path);
    std::string error;
    process_.Start(args, error);
  }

  // Writes the bytes as they are, or the line with CR LF.
  void Send(const std::string& bytes) { process_.SendBytes(bytes); }
  void SendLine(const std::string& line) { Send(line + "\r\n"); }
  void CloseInput() { process_.CloseInput(); }

  // The next non-empty output line; nothing at the end of the output or the guard.
  std::optional<std::string> ReadLine() {
    std::string line;
    const gomocup::ReadStatus status =
        process_.ReadLine(gomocup::Clock::now() + Guard, line, nullptr);
    outputEnded_ = status == gomocup::ReadStatus::Closed;
    if (status != gomocup::ReadStatus::Line) return std::nullopt;
    return line;
  }
  // The next line that is not MESSAGE or DEBUG; the skipped ones are kept in messages().
  std::optional<std::string> Reply() {
    std::optional<std::string> line;
    while ((line = ReadLine()) && (line->starts_with("MESSAGE") || line->starts_with("DEBUG")))
      messages_.push_back(*line);
    return line;
  }
  const std::vector<std::string>& messages() const { return messages_; }

  // Every line up to the end of the output, or the guard (then OutputEnded() is false).
  std::vector<std::string> RestOfOutput() {
    std::vector<std::string> lines;
    while (std::optional<std::string> line = ReadLine()) lines.push_back(*line);
    return lines;
  }
  bool OutputEnded() const { return outputEnded_; }
  // Closes the input and waits for the program to end: how it ended, e.g. "exit 0"; "killed" if
  // it did not end within the guard.
  std::string WaitForExit() {
    process_.CloseInput();
    return process_.Stop(Guard);
  }

 private:
  gomocup::EngineProcess process_;
  bool outputEnded_ = false;
  std::vector<std::string> messages_;
};

}  // namespace tesmor
