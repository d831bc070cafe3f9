#include "board/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tesmor {

namespace {

namespace fs = std::filesystem;

std::string Reason(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now, so that the caller sees the error a delayed write reports at close.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// While it lives, a write beyond the file-size limit fails with EFBIG instead of ending the
// process with SIGXFSZ: the signal is blocked in this thread, and a SIGXFSZ that the write
// raised is taken off the pending set before the old mask comes back.
class FileSizeSignalBlock {
 public:
  FileSizeSignalBlock() {
    sigemptyset(&signal_);
    sigaddset(&signal_, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &signal_, &oldMask_);
    sigset_t pending;
    sigpending(&pending);
    // A signal blocked or pending before belongs to the caller and is left alone.
    ours_ = !sigismember(&oldMask_, SIGXFSZ) && !sigismember(&pending, SIGXFSZ);
  }
  FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
  FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;
  ~FileSizeSignalBlock() {
    sigset_t pending;
    if (ours_ && sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ)) {
      const timespec now{};
      sigtimedwait(&signal_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
  }

 private:
  sigset_t signal_;
  sigset_t oldMask_;
  bool ours_ = false;
};

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// A new file beside target that no one else uses: created here, or -1 with errno set.
int CreateTemporary(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = dir / ("." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) +
                       "-" + std::to_string(counter++));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The file that a save to path replaces: path itself, or the file its symbolic links lead to.
// Its permission bits, when it exists, go to the new file.
bool ResolveTarget(const std::string& path, fs::path& target, int& mode, std::string& error) {
  struct stat info {};
  std::error_code ec;
  const bool link = ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  target = link ? fs::canonical(path, ec) : fs::path(path);
  if (ec) {
    error = "cannot be written: " + ec.message();
    return false;
  }
  mode = -1;
  if (::stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      error = "not a regular file";
      return false;
    }
    mode = static_cast<int>(info.st_mode & 07777);
  }
  return true;
}

// Writes, flushes and closes the new file; errno tells why when it fails.
bool FillTemporary(FileDescriptor& fd, std::span<const uint8_t> bytes, int mode) {
  if (mode >= 0 && ::fchmod(fd.get(), static_cast<mode_t>(mode)) != 0) return false;
  FileSizeSignalBlock sizeLimitIsAnError;
  return WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.Close();
}

// Makes the rename itself durable; a failure here leaves a complete file either way.
void SyncDirectory(const fs::path& target) {
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

FileBytes ReadRegularFile(const std::string& path, size_t maxBytes) {
  FileBytes result;
  // Non-blocking, so that opening a FIFO without a writer returns at once; fstat then refuses it.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
    result.error = Reason("cannot be opened");
    return result;
  }
  const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
  if (!S_ISREG(info.st_mode)) {
    result.error = "not a regular file";
    return result;
  }
  if (static_cast<uintmax_t>(info.st_size) > maxBytes) {
    result.error = tooLarge;
    return result;
  }
  // Room for the size fstat gave and one byte more, which tells a file that has grown since;
  // a grown file gets more room, up to one byte above the bound.
  result.bytes.resize(static_cast<size_t>(info.st_size) + 1);
  size_t size = 0;
  while (size <= maxBytes) {
    if (size == result.bytes.size())
      result.bytes.resize(std::min(2 * result.bytes.size(), maxBytes + 1));
    const ssize_t n = ::read(fd.get(), result.bytes.data() + size, result.bytes.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = Reason("cannot be read");
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    size += static_cast<size_t>(n);
  }
  if (size > maxBytes) {
    result.error = tooLarge;
    result.bytes.clear();
    return result;
  }
  result.bytes.resize(size);
  result.ok = true;
  return result;
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                         std::string* error) {
  std::string reason;
  fs::path target;
  int mode = -1;
  if (!ResolveTarget(path, target, mode, reason)) {
    if (error) *error = reason;
    return false;
  }
  fs::path temporary;
  FileDescriptor fd(CreateTemporary(target, temporary));
  if (fd.get() < 0) {
    if (error) *error = Reason("cannot be created");
    return false;
  }
  if (!FillTemporary(fd, bytes, mode) || ::rename(temporary.c_str(), target.c_str()) != 0) {
    if (error) *error = Reason("cannot be written");
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return false;
  }
  SyncDirectory(target);
  return true;
}

}  // namespace tesmor
