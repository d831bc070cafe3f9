#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tesmor {

// Runs a program with pipes on its standard input and output, as a tournament manager runs a
// brain. Every wait has a hang guard, so a program that hangs fails the test instead of holding it.
class BrainProcess {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds Guard{30};

  explicit BrainProcess(const std::string& path, std::vector<std::string> args = {}) {
    ::signal(SIGPIPE, SIG_IGN);  // a program that dies while the test writes fails the test
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    args.insert(args.begin(), path);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
  }
  BrainProcess(const BrainProcess&) = delete;
  BrainProcess& operator=(const BrainProcess&) = delete;
  // Closes the input and, if the program is still running, kills it by its process id.
  ~BrainProcess() {
    CloseInput();
    if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) ::close(output_);
  }

  // Writes the bytes as they are, or the line with CR LF.
  void Send(const std::string& bytes) {
    for (size_t done = 0; input_ >= 0 && done < bytes.size();) {
      const ssize_t n = ::write(input_, bytes.data() + done, bytes.size() - done);
      if (n <= 0 && errno != EINTR) return;
      if (n > 0) done += static_cast<size_t>(n);
    }
  }
  void SendLine(const std::string& line) { Send(line + "\r\n"); }
  void CloseInput() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
  }

  // The next output line without its line end; nothing at the end of the output or the guard.
  std::optional<std::string> ReadLine() {
    const Clock::time_point giveUp = Clock::now() + Guard;
    for (size_t end; (end = buffer_.find('\n')) == std::string::npos;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
      if (outputEnded_ || output_ < 0 || left.count() <= 0) return std::nullopt;
      pollfd fd = {output_, POLLIN, 0};
      if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[4096];
      const ssize_t n = ::read(output_, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      outputEnded_ = n <= 0;
      if (n > 0) buffer_.append(chunk, static_cast<size_t>(n));
    }
    std::string line = buffer_.substr(0, buffer_.find('\n'));
    buffer_.erase(0, line.size() + 1);
    if (line.ends_with('\r')) line.pop_back();
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
  // The exit status; -1 if the program did not end within the guard or died from a signal.
  int WaitForExit() {
    for (const Clock::time_point giveUp = Clock::now() + Guard; pid_ > 0;) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (done < 0 || Clock::now() >= giveUp) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int input_ = -1, output_ = -1;
  std::string buffer_;
  bool outputEnded_ = false;
  std::vector<std::string> messages_;
};

}  // namespace tesmor
