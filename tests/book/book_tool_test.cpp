#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "book/book_format.h"
#include "book/book_location.h"
#include "book/book_text.h"
#include "book_test_util.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

namespace fs = std::filesystem;

class BookFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tesmor_book_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return dir_ / name;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Runs tesmor-book; standard output goes to the file "out". A run that hangs is ended.
  int Tool(const std::string& args) {
    const std::string command = "timeout 60 " + std::string(TESMOR_BOOK_BINARY) + " " + args +
                                " > " + (dir_ / "out").string() + " 2> " + (dir_ / "err").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
};

TEST_F(BookFiles, ToolRoundTripsTextAndBytes) {
  std::mt19937 rng(5);
  const BookTree tree = test::RandomBookTree(rng, 400);
  ASSERT_GE(CountBookNodes(tree), 400);
  const std::string text = BookText(tree);
  const std::vector<uint8_t> expected = WriteBookTree(tree);
  const fs::path source = Write("source.txt", text);

  ASSERT_EQ(Tool("compile " + source.string() + " " + (dir_ / "M.lib").string()), 0);
  const std::string bytes = Read("M.lib");
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
  ASSERT_EQ(Tool("dump " + (dir_ / "M.lib").string()), 0);
  EXPECT_EQ(Read("out"), text);
  fs::rename(dir_ / "out", dir_ / "dumped.txt");
  ASSERT_EQ(Tool("compile " + (dir_ / "dumped.txt").string() + " " + (dir_ / "again.lib").string()),
            0);
  EXPECT_EQ(Read("again.lib"), bytes);
}

TEST_F(BookFiles, ToolRefusesBadInputAndReportsDamage) {
  const fs::path source = Write("bad.txt", "H8\n  H9\n    H8 A\n");
  EXPECT_EQ(Tool("compile " + source.string() + " " + (dir_ / "x.lib").string()), 1);
  EXPECT_NE(Read("err").find("line 3"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "x.lib"));

  const std::vector<uint8_t> cut = test::BookBytes({0x78, 0x80, 0x88, 0x40});
  const fs::path damaged = Write("cut.lib", std::string(cut.begin(), cut.end()));
  EXPECT_EQ(Tool("dump " + damaged.string()), 1);
  EXPECT_EQ(Read("out"), "H8\n  H9\n");
  EXPECT_NE(Read("err").find("ends too early"), std::string::npos);
  EXPECT_EQ(Tool("dump"), 2);
  EXPECT_EQ(Tool("dump " + (dir_ / "missing.lib").string()), 2);
}

TEST_F(BookFiles, AnyBytePassedOverIsDamageThatDumpAndTheLoaderReport) {
  // One bit of the shipped book: its first node loses its children, and the rest of the file
  // is left after the end of the tree.
  std::ifstream in(test::ShippedBookPath(), std::ios::binary);
  std::string shipped{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_GT(shipped.size(), 21u);
  EXPECT_EQ(Tool("dump " + test::ShippedBookPath()), 0);
  shipped[21] = static_cast<char>(shipped[21] ^ 0x40);
  const fs::path flipped = Write("flipped.lib", shipped);
  EXPECT_EQ(Tool("dump " + flipped.string()), 1);
  EXPECT_EQ(Read("out"), "H8\n");
  const std::string err = Read("err");
  EXPECT_NE(err.find(": the book is damaged; 1 move kept\n"), std::string::npos) << err;

  // Bytes that a reader of the format may pass over are still bytes the writer never wrote.
  const std::vector<uint8_t> passedOver[] = {
      test::BookBytes({0x78, 0x40, 0x00}),                    // a trailing byte
      test::BookBytes({0x78, 0x80, 0x00, 0x00, 0x88, 0x40}),  // a blank record
      test::BookBytes({0x78, 0x80, 0x55, 0x30, 0x88, 0x40}),  // a record of no known shape
  };
  OpeningBook book;
  for (const std::vector<uint8_t>& bytes : passedOver) {
    const fs::path path = Write("odd.lib", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(Tool("dump " + path.string()), 1) << Read("err");
    EXPECT_TRUE(book.Load(path.string()).damaged);
  }
}

TEST_F(BookFiles, BookIsFoundInTheFirstPlaceThatHasOne) {
  const std::vector<uint8_t> bytes = WriteBookTree(test::TreeOf("H8\n  I9 A\n"));
  fs::create_directories(dir_ / "a" / "M.lib");  // a directory is not a book
  fs::create_directories(dir_ / "b");
  fs::create_directories(dir_ / "c");
  Write("b/M.lib", std::string(bytes.begin(), bytes.end()));
  Write("c/M.lib", "");
  const std::vector<fs::path> places = {dir_ / "none" / "M.lib", dir_ / "a" / "M.lib",
                                        dir_ / "b" / "M.lib", dir_ / "c" / "M.lib"};
  EXPECT_EQ(FindOpeningBook(places), dir_ / "b" / "M.lib");
  EXPECT_EQ(FindOpeningBook({places[0], places[1]}), fs::path());

  // The working directory comes first, then the executable's directory.
  const std::vector<fs::path> usual = OpeningBookPlaces();
  ASSERT_EQ(usual.size(), 3u);
  EXPECT_EQ(usual[0], fs::path("M.lib"));
  EXPECT_EQ(usual[1], fs::read_symlink("/proc/self/exe").parent_path() / "M.lib");
  EXPECT_EQ(usual[2], fs::path(TESMOR_DATA_DIR) / "M.lib");
  const fs::path home = fs::current_path();
  fs::current_path(dir_ / "b");
  OpeningBook book;
  EXPECT_TRUE(LoadOpeningBook(book).loaded);
  fs::current_path(home);
  EXPECT_EQ(book.entries().size(), 2u);

  EXPECT_FALSE(book.Load((dir_ / "a" / "M.lib").string()).loaded);
  EXPECT_TRUE(book.empty());
  EXPECT_FALSE(book.Load((dir_ / "none").string()).loaded);
}

}  // namespace
}  // namespace tesmor
