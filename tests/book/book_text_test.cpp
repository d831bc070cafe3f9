#include "book/book_text.h"

#include <gtest/gtest.h>

#include <string>

#include "book/book_format.h"
#include "book_test_util.h"

namespace tesmor {
namespace {

const char* const Sample = "H8\n  H9 !\n    I10 A\n  I9 b\n  J9 \\x01\nG7\n";

TEST(BookWriter, EncodesNodesAsTheReaderReadsThem) {
  EXPECT_EQ(WriteBookTree(test::TreeOf(Sample)),
            test::BookBytes({0x78, 0x80,                 // H8, a sibling follows
                             0x88, 0x81, 0, 1, '!',  0,  // H9, extras on
                             0x97, 0x41, 0, 1, 'A',  0,  // I10, no children, last
                             0x87, 0xC1, 0, 1, 'b',  0,  // I9, no children
                             0x86, 0x41, 0, 1, 0x01, 0,  // J9
                             0x69, 0x40}));              // G7, extras off
  EXPECT_EQ(WriteBookTree({}), test::BookBytes({}));
}

TEST(BookText, RefusesWhatItCannotReadBack) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"H8\n   H9\n", "line 2: indentation"},
      {"H8\n    H9\n", "line 2: indented more than one level"},
      {"H8\n\tH9\n", "line 2: indent with spaces"},
      {"# c\nZ9\n", "line 2: \"Z9\" is not a point"},
      {"h8\n", "\"h8\" is not a point"},
      {"H16\n", "\"H16\" is not a point"},
      {"H8  A\n", "\" A\" is not a mark"},
      {"H8 AB\n", "\"AB\" is not a mark"},
      {"H8 \\x41\n", "\"\\x41\" is not a mark"},
      {"H8 \\x00\n", "is not a mark"},
      {"H8 \\xff\n", "is not a mark"},
      {"H8\n  H9\n    H8\n", "line 3: H8 is already played"},
      {"H8\r\n", "line 1: carriage return"},
  };
  for (const auto& c : cases) {
    const BookTextResult result = ParseBookText(c.text);
    EXPECT_FALSE(result.ok) << c.text;
    EXPECT_NE(result.error.find(c.error), std::string::npos) << c.text << " gave " << result.error;
  }
  const BookTextResult commented = ParseBookText("# book\n\nH8 #\n  # reply\n    \n  H9\nH8");
  ASSERT_TRUE(commented.ok) << commented.error;
  EXPECT_EQ(BookText(commented.tree), "H8 #\n  H9\nH8\n");
}

}  // namespace
}  // namespace tesmor
