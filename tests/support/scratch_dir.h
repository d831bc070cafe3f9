#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/shipped_book.h"

namespace tesmor::test {

// A directory of its own, made when this is made and removed with its files when this goes. The
// name holds the process id: each test runs in a process of its own, so one prefix serves a test.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix)
      : dir(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() { std::filesystem::remove_all(dir); }

  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::string Contents(const std::string& name) const { return FileContents(Path(name)); }
  // Writes the bytes to the file name and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return Path(name);
  }

  const std::filesystem::path dir;
};

// A test with a directory of its own, made before each test and removed after it.
class ScratchDirTest : public testing::Test, public ScratchDir {
 protected:
  using ScratchDir::ScratchDir;
};

}  // namespace tesmor::test
