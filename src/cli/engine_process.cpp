#include "cli/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace tesmor::gomocup {

std::string FindProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

namespace {

// A wait for output wakes at least this often to look at the interrupt flag.
constexpr auto PollSlice = std::chrono::milliseconds(100);

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

// Writing to an engine that has gone must be an error to handle, not the end of the arena.
void IgnoreBrokenPipes() {
  static std::once_flag once;
  std::call_once(once, [] { ::signal(SIGPIPE, SIG_IGN); });
}

// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void RunChild(const char* program, char* const argv[], int input, int output,
                           pid_t parent) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);
  ::setpgid(0, 0);
  ::signal(SIGPIPE, SIG_DFL);
  if (::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0) ::_exit(127);
  // The arena's own files (the games file, the log) are no business of the engine.
  ::close_range(3, ~0U, 0);
  ::execv(program, argv);
  ::_exit(127);
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (const char c : command) {
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else {
        word += c;
      }
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool EngineProcess::Start(const std::vector<std::string>& argv, std::string& error) {
  IgnoreBrokenPipes();
  if (argv.empty()) {
    error = "empty engine command";
    return false;
  }
  const std::string found = FindProgram(argv[0]);
  const std::string program = found.empty() ? argv[0] : found;
  std::vector<char*> args;
  for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
  args.push_back(nullptr);
  // Close-on-exec on every end, so that an engine started by another game's thread at the same
  // moment does not inherit this engine's pipes and keep them open.
  int in[2];
  int out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) {
    error = "pipe failed";
    return false;
  }
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    error = "pipe failed";
    return false;
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) RunChild(program.c_str(), args.data(), in[0], out[1], parent);
  ::close(in[0]);
  ::close(out[1]);
  if (pid < 0) {
    ::close(in[1]);
    ::close(out[0]);
    error = "fork failed";
    return false;
  }
  // Set here too: the group must exist before anyone may kill it, whichever runs first.
  ::setpgid(pid, pid);
  pid_ = pid;
  toEngine_ = in[1];
  fromEngine_ = out[0];
  outputClosed_ = false;
  lines_ = LineSplitter();
  return true;
}

bool EngineProcess::Send(const std::string& line) {
  return SendBytes(line + "\n");
}

bool EngineProcess::SendBytes(std::string_view bytes) {
  if (toEngine_ < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(toEngine_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void EngineProcess::CloseInput() {
  if (toEngine_ >= 0) ::close(toEngine_);
  toEngine_ = -1;
}

ReadStatus EngineProcess::ReadLine(Clock::time_point deadline, std::string& line,
                                   const std::atomic<bool>* interrupt) {
  while (true) {
    if (auto next = lines_.Next()) {
      line = std::move(next->text);
      return ReadStatus::Line;
    }
    if (outputClosed_ || fromEngine_ < 0) return ReadStatus::Closed;
    if (interrupt && *interrupt) return ReadStatus::Interrupted;
    const auto now = Clock::now();
    if (now >= deadline) return ReadStatus::Timeout;
    const auto wait = std::min<Clock::duration>(deadline - now, PollSlice);
    pollfd fd = {fromEngine_, POLLIN, 0};
    const int timeout =
        static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
    if (::poll(&fd, 1, timeout) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::read(fromEngine_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n > 0) {
      lines_.Feed(std::string_view(chunk, static_cast<size_t>(n)));
    } else {
      lines_.Finish();
      outputClosed_ = true;
    }
  }
}

bool EngineProcess::ExitedWithin(std::chrono::milliseconds wait) {
  const auto giveUp = Clock::now() + wait;
  while (true) {
    siginfo_t info{};
    // WNOWAIT leaves the child unreaped: its process group stays reserved until it is killed.
    if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid_)
      return true;
    if (Clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string EngineProcess::Stop(std::chrono::milliseconds grace) {
  if (pid_ <= 0) return "";
  if (grace.count() > 0) Send("END");
  CloseInput();
  const bool exited = ExitedWithin(grace);
  // Whatever is left of the group (the engine, or helpers it started) goes now.
  ::kill(-pid_, SIGKILL);
  ::kill(pid_, SIGKILL);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  if (fromEngine_ >= 0) ::close(fromEngine_);
  fromEngine_ = -1;
  pid_ = -1;
  return exited ? DescribeStatus(status) : "killed";
}

}  // namespace tesmor::gomocup
