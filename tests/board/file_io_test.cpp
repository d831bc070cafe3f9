#include "board/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "support/scratch_dir.h"

namespace tesmor {
namespace {

namespace fs = std::filesystem;

class FileIo : public test::ScratchDirTest {
 protected:
  FileIo() : ScratchDirTest("tesmor_file_io_") {}
  bool Write(const std::string& name, const std::string& bytes, std::string* error = nullptr) {
    return WriteFileAtomically(
        Path(name), {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, error);
  }
  // A finished or failed write leaves no file of its own behind.
  size_t Entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
  }
  // body's exit status from a child, out of the runner's limits; a signal fails the test.
  template <typename Body>
  int InChild(Body body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) ::_exit(body());
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(FileIo, WritesReplaceTheWholeFileAndKeepItsLinkAndMode) {
  ASSERT_TRUE(Write("a.pos", "first"));
  ::chmod(Path("a.pos").c_str(), 0640);
  ASSERT_TRUE(Write("a.pos", "second, longer"));
  EXPECT_EQ(Contents("a.pos"), "second, longer");
  EXPECT_EQ(fs::status(dir / "a.pos").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // A save through a link replaces the file it names; the link stays a link.
  fs::create_symlink(dir / "a.pos", dir / "link.pos");
  ASSERT_TRUE(Write("link.pos", "third"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.pos"));
  EXPECT_EQ(Contents("a.pos"), "third");

  fs::create_directory(dir / "sub");
  std::string error;
  EXPECT_FALSE(Write("sub", "x", &error));
  EXPECT_EQ(error, "not a regular file");
  EXPECT_FALSE(Write("none/b.pos", "x", &error));
  EXPECT_EQ(Entries(), 3u);
}

TEST_F(FileIo, AFileSizeLimitFailsTheWriteAndKeepsTheOldFile) {
  const std::string old(300, 'o');
  ASSERT_TRUE(Write("game.pos", old));
  for (const rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{1000}}) {
    SCOPED_TRACE(limit);
    // SIGXFSZ at its default action ends the child if a write raises it or leaves it pending.
    EXPECT_EQ(InChild([&] {
                ::signal(SIGXFSZ, SIG_DFL);
                const rlimit rl{limit, limit};
                std::string error;
                if (::setrlimit(RLIMIT_FSIZE, &rl) != 0 ||
                    Write("game.pos", std::string(5000, 'n'), &error) ||
                    Write("new.pos", std::string(5000, 'n'), &error))
                  return 1;
                sigset_t mask;
                pthread_sigmask(SIG_BLOCK, nullptr, &mask);
                if (sigismember(&mask, SIGXFSZ)) return 2;  // nor may it stay blocked
                return error.find("File too large") != std::string::npos ? 0 : 3;
              }),
              0);
    EXPECT_EQ(Contents("game.pos"), old);
    EXPECT_EQ(Entries(), 1u);  // neither a temporary file nor an empty new.pos
  }
}

TEST_F(FileIo, ReadsOnlyRegularFilesUpToTheirBound) {
  ASSERT_TRUE(Write("six", "123456"));
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  const std::pair<std::string, size_t> refused[] = {
      {Path("six"), 5}, {Path("fifo"), 100}, {dir.string(), 100}, {"/dev/zero", 100}};
  // An alarm ends a child whose read blocks, so the test fails rather than hangs.
  EXPECT_EQ(InChild([&] {
              ::alarm(20);
              const FileBytes read = ReadRegularFile(Path("six"), 6);
              if (!read.ok || read.bytes.size() != 6 || read.bytes[5] != '6') return 1;
              for (const auto& [path, max] : refused)
                if (ReadRegularFile(path, max).ok) return 2;
              return 0;
            }),
            0);
  EXPECT_EQ(ReadRegularFile(Path("six"), 5).error, "larger than 5 bytes");
  EXPECT_EQ(ReadRegularFile(dir.string(), 5).error, "not a regular file");
}

}  // namespace
}  // namespace tesmor
