#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/shipped_book.h"

namespace tesmor::test {

// A test with a directory of its own, made before each test and removed after it.
class ScratchDirTest : public testing::Test {
 protected:
  explicit ScratchDirTest(const std::string& prefix)
      : dir_(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()))) {}
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Contents(const std::string& name) const { return FileContents(Path(name)); }

  std::filesystem::path dir_;
};

}  // namespace tesmor::test
