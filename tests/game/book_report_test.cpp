// What the window says at start-up about the book it read: nothing for a sound book, a box that
// names the moves kept for a damaged one. The program's own computer reads the files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "fake_host.h"
#include "game/engine_computer.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

// The program's computer, reading its book from one file.
struct FileBookComputer final : ComputerPlayer {
  explicit FileBookComputer(std::string file) : path(std::move(file)) {}
  BookLoadReport LoadOpeningBook() override { return engine.LoadOpeningBookFile(path); }
  int ChooseComputerMove(GameState& game, const MoveRequest& request) override {
    return engine.ChooseComputerMove(game, request);
  }
  int FindVcf(GameState& game, int limit) override { return engine.FindVcf(game, limit); }

  std::string path;
  std::ostringstream console;
  EngineComputer engine{console};
};

std::vector<std::string> StartUpBoxes(const std::string& bookPath) {
  FileBookComputer computer(bookPath);
  test::ControllerHarness harness(computer);
  harness.Start();
  std::vector<std::string> texts;
  for (const test::FakeHost::Box& box : harness.host.boxes)
    texts.push_back(box.caption + " " + box.text);
  return texts;
}

TEST(BookReport, ADamagedBookIsToldAtStartUpWithTheMovesKept) {
  EXPECT_TRUE(StartUpBoxes(test::ShippedBookPath()).empty());

  std::ifstream in(test::ShippedBookPath(), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_GT(bytes.size(), 21u);
  bytes[21] = static_cast<char>(bytes[21] ^ 0x40);  // the first node loses its children
  const std::filesystem::path damaged = std::filesystem::temp_directory_path() /
                                        ("tesmor_damaged_" + std::to_string(::getpid()) + ".lib");
  std::ofstream(damaged, std::ios::binary) << bytes;
  EXPECT_EQ(StartUpBoxes(damaged.string()),
            std::vector<std::string>{"提示信息 棋谱文件已损坏，只读出 1 步！"});
  std::filesystem::remove(damaged);

  EXPECT_EQ(StartUpBoxes("/nonexistent/tesmor/M.lib"),
            std::vector<std::string>{"提示信息 棋谱读取失败！"});
}

}  // namespace
}  // namespace tesmor
