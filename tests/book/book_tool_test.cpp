#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "book/book_format.h"
#include "book/book_location.h"
#include "book/book_text.h"
#include "book_test_util.h"
#include "support/scratch_dir.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

namespace fs = std::filesystem;

class BookFiles : public test::ScratchDirTest {
 protected:
  BookFiles() : ScratchDirTest("tesmor_book_") {}
  // Runs tesmor-book, its streams to the files "out" and "err"; a run that hangs is ended.
  int Tool(const std::string& args) {
    const std::string command = "timeout 60 " + std::string(TESMOR_BOOK_BINARY) + " " + args +
                                " > " + Path("out") + " 2> " + Path("err");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(BookFiles, ToolCompilesTextDumpsBooksAndReportsDamage) {
  std::mt19937 rng(5);
  const BookTree tree = test::RandomBookTree(rng, 400);
  const std::vector<uint8_t> bytes = WriteBookTree(tree);
  ASSERT_EQ(Tool("compile " + WriteFile("source.txt", BookText(tree)) + " " + Path("M.lib")), 0);
  EXPECT_EQ(Contents("M.lib"), std::string(bytes.begin(), bytes.end()));
  ASSERT_EQ(Tool("dump " + Path("M.lib")), 0);
  EXPECT_EQ(Contents("out"), BookText(tree));

  EXPECT_EQ(Tool("compile " + WriteFile("bad.txt", "H8\n  H9\n    H8 A\n") + " " + Path("x.lib")),
            1);
  EXPECT_NE(Contents("err").find("line 3"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "x.lib"));

  // Dump and the loader both keep what was read before the cut, and say that it was cut.
  const std::vector<uint8_t> cut = test::BookBytes({0x78, 0xC0});
  const std::string damaged = WriteFile("cut.lib", std::string(cut.begin(), cut.end()));
  EXPECT_EQ(Tool("dump " + damaged), 1);
  EXPECT_EQ(Contents("out"), "H8\n");
  EXPECT_NE(Contents("err").find("ends too early"), std::string::npos);
  EXPECT_NE(Contents("err").find(": the book is damaged; 1 move kept\n"), std::string::npos);
  OpeningBook book;
  const BookLoadReport report = book.Load(damaged);
  EXPECT_TRUE(report.loaded && report.damaged && report.movesKept == 1);
  EXPECT_EQ(Tool("dump"), 2);
  EXPECT_EQ(Tool("dump " + Path("missing.lib")), 2);
}

TEST_F(BookFiles, BookIsFoundInTheFirstPlaceThatHasOne) {
  const std::vector<uint8_t> bytes = WriteBookTree(test::TreeOf("H8\n  I9 A\n"));
  fs::create_directories(dir / "a" / "M.lib");  // a directory is not a book
  fs::create_directories(dir / "b");
  fs::create_directories(dir / "c");
  WriteFile("b/M.lib", std::string(bytes.begin(), bytes.end()));
  WriteFile("c/M.lib", "");
  const std::vector<fs::path> places = {dir / "none" / "M.lib", dir / "a" / "M.lib",
                                        dir / "b" / "M.lib", dir / "c" / "M.lib"};
  EXPECT_EQ(FindOpeningBook(places), dir / "b" / "M.lib");
  EXPECT_EQ(FindOpeningBook({places[0], places[1]}), fs::path());

  // The working directory comes first, then the executable's directory.
  const std::vector<fs::path> usual = OpeningBookPlaces();
  ASSERT_EQ(usual.size(), 3u);
  EXPECT_EQ(usual[0], fs::path("M.lib"));
  EXPECT_EQ(usual[1], fs::read_symlink("/proc/self/exe").parent_path() / "M.lib");
  EXPECT_EQ(usual[2], fs::path(TESMOR_DATA_DIR) / "M.lib");
  const fs::path home = fs::current_path();
  fs::current_path(dir / "b");
  OpeningBook book;
  EXPECT_TRUE(LoadOpeningBook(book).loaded);
  fs::current_path(home);
  EXPECT_EQ(book.entries().size(), 2u);

  EXPECT_FALSE(book.Load(Path("a/M.lib")).loaded);
  EXPECT_TRUE(book.empty());
  EXPECT_FALSE(book.Load(Path("none")).loaded);
}

TEST(ShippedBook, IsCompiledFromItsSourceAndFoundFromTheBuildTree) {
  const std::string bytes = test::FileContents(test::ShippedBookPath());
  const BookTextResult source = ParseBookText(test::FileContents(test::ShippedBookSourcePath()));
  ASSERT_TRUE(source.ok) << source.error;
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), WriteBookTree(source.tree));
  // The tests run from the build tree's bin directory, beside the programs.
  const fs::path found = FindOpeningBook(OpeningBookPlaces());
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(test::FileContents(found.string()) == bytes) << found << " is not the shipped book";
}

}  // namespace
}  // namespace tesmor
