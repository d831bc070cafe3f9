#include "board/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tesmor {
namespace {

namespace fs = std::filesystem;

class FileIo : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tesmor_file_io_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Write(const std::string& name, const std::string& bytes, std::string* error = nullptr) {
    return WriteFileAtomically(
        Path(name), {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, error);
  }
  // Everything in the directory: a failed or finished write leaves no file of its own behind.
  size_t Entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
};

TEST_F(FileIo, WritesReplaceTheWholeFileAndKeepItsLinkAndMode) {
  ASSERT_TRUE(Write("a.pos", "first"));
  EXPECT_EQ(Get("a.pos"), "first");
  ::chmod(Path("a.pos").c_str(), 0640);
  ASSERT_TRUE(Write("a.pos", "second, longer"));
  EXPECT_EQ(Get("a.pos"), "second, longer");
  EXPECT_EQ(fs::status(dir_ / "a.pos").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // A save through a link replaces the file it names; the link stays a link.
  fs::create_symlink(dir_ / "a.pos", dir_ / "link.pos");
  ASSERT_TRUE(Write("link.pos", "third"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.pos"));
  EXPECT_EQ(Get("a.pos"), "third");
  ASSERT_TRUE(Write("a.pos", ""));
  EXPECT_EQ(Get("a.pos"), "");
  EXPECT_EQ(Entries(), 2u);

  // What cannot be written is reported and leaves everything as it was.
  fs::create_directory(dir_ / "sub");
  std::string error;
  EXPECT_FALSE(Write("sub", "x", &error));
  EXPECT_EQ(error, "not a regular file");
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));
  EXPECT_FALSE(Write("none/b.pos", "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Entries(), 3u);
}

TEST_F(FileIo, AFileSizeLimitFailsTheWriteAndKeepsTheOldFile) {
  const std::string old(300, 'o');
  Put("game.pos", old);
  // Each case runs in a child of its own, whose limit and signal state do not reach the runner.
  // The child exits 0 when the write failed and left no signal pending or blocked behind.
  for (const rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{1000}}) {
    SCOPED_TRACE(limit);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_DFL);
      const rlimit rl{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(10);
      std::string error;
      if (Write("game.pos", std::string(5000, 'n'), &error)) ::_exit(11);
      if (Write("new.pos", std::string(5000, 'n'), &error)) ::_exit(12);
      sigset_t pending, mask;
      sigpending(&pending);
      pthread_sigmask(SIG_BLOCK, nullptr, &mask);
      if (sigismember(&pending, SIGXFSZ) || sigismember(&mask, SIGXFSZ)) ::_exit(13);
      ::_exit(error.find("File too large") != std::string::npos ? 0 : 14);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Get("game.pos"), old);
    EXPECT_EQ(Entries(), 1u);  // neither a temporary file nor an empty new.pos
  }
}

TEST_F(FileIo, ReadsOnlyRegularFilesUpToTheirBound) {
  Put("six", "123456");
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  fs::create_directory(dir_ / "dir");
  struct Case {
    std::string path;
    size_t max;
    const char* error;  // nullptr: read
  };
  const Case cases[] = {
      {Path("six"), 6, nullptr},
      {Path("six"), 5, "larger than 5 bytes"},
      {Path("fifo"), 100, "not a regular file"},
      {Path("dir"), 100, "not a regular file"},
      {"/dev/zero", 100, "not a regular file"},
      {Path("missing"), 100, "cannot be opened: No such file or directory"},
  };
  // In a child that an alarm ends: a read that blocks fails the test rather than hanging it.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::alarm(20);
    int wrong = 0;
    for (const Case& c : cases) {
      const FileBytes read = ReadRegularFile(c.path, c.max);
      const bool right = c.error ? !read.ok && read.error == c.error && read.bytes.empty()
                                 : read.ok && read.bytes.size() == 6 && read.bytes[5] == '6';
      wrong = wrong * 2 + (right ? 0 : 1);
    }
    ::_exit(wrong);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the reads did not end: signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "bit set for each wrong case, the first case highest";
}

}  // namespace
}  // namespace tesmor
