#include "brain_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

extern char** environ;

namespace tesmor {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

BrainProcess::BrainProcess(const std::string& path) {
  // A program that dies while the test writes must fail the test, not end it.
  ::signal(SIGPIPE, SIG_IGN);
  int toChild[2];
  int fromChild[2];
  if (::pipe2(toChild, O_CLOEXEC) != 0) return;
  if (::pipe2(fromChild, O_CLOEXEC) != 0) {
    ::close(toChild[0]);
    ::close(toChild[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  if (::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(toChild[0]);
  ::close(fromChild[1]);
  input_ = toChild[1];
  output_ = fromChild[0];
}

BrainProcess::~BrainProcess() {
  CloseInput();
  if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (output_ >= 0) ::close(output_);
}

bool BrainProcess::Send(const std::string& bytes) {
  size_t done = 0;
  while (input_ >= 0 && done < bytes.size()) {
    const ssize_t n = ::write(input_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return input_ >= 0;
}

void BrainProcess::CloseInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

std::optional<std::string> BrainProcess::ReadLine(std::chrono::milliseconds limit) {
  const Clock::time_point giveUp = Clock::now() + limit;
  while (true) {
    if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (outputEnded_ || output_ < 0) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd fd = {output_, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::read(output_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      outputEnded_ = true;
    else
      buffer_.append(chunk, static_cast<size_t>(n));
  }
}

std::optional<std::string> BrainProcess::Reply(std::chrono::milliseconds limit) {
  const Clock::time_point giveUp = Clock::now() + limit;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
    std::optional<std::string> line = ReadLine(std::max(left, std::chrono::milliseconds(0)));
    if (!line) return line;
    if (line->rfind("MESSAGE", 0) != 0 && line->rfind("DEBUG", 0) != 0) return line;
    messages_.push_back(*line);
  }
}

std::vector<std::string> BrainProcess::RestOfOutput() {
  std::vector<std::string> lines;
  while (std::optional<std::string> line = ReadLine()) lines.push_back(*line);
  return lines;
}

int BrainProcess::WaitForExit(std::chrono::milliseconds limit) {
  const Clock::time_point giveUp = Clock::now() + limit;
  while (pid_ > 0) {
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

}  // namespace tesmor
