#include "board/input_echo.h"

#include <gtest/gtest.h>

#include <string>

namespace tesmor {
namespace {

TEST(InputEcho, KeepsReadableTextAndEscapesWhatBreaksALine) {
  struct Case {
    std::string input;
    std::string shown;
    EchoLimits limits;
  };
  const std::string a79(79, 'a');
  std::string nel40;
  for (int i = 0; i < 40; ++i) nel40 += "\xc2\x85";
  const Case cases[] = {
      {"games/opening 3.pos", "games/opening 3.pos", {}},
      {"two\nlines.pos", "two\\x0Alines.pos", {}},
      {"tab\tcr\r\x1b[31mred\x7f", "tab\\x09cr\\x0D\\x1B[31mred\\x7F", {}},
      {"mark \\x41", "mark \\x41", {}},
      {"棋谱.pos", "棋谱.pos", {}},
      {"棋谱.pos", "\\xE6\\xA3\\x8B\\xE8\\xB0\\xB1.pos", {.asciiOnly = true}},
      {"bad\xff\xfe", "bad\\xFF\\xFE", {}},
      {"cut\xe6\xa3", "cut\\xE6\\xA3", {}},              // a sequence that ends early
      {"over\xc0\xaf", "over\\xC0\\xAF", {}},            // an overlong '/'
      {"sur\xed\xa0\x80", "sur\\xED\\xA0\\x80", {}},     // a lone surrogate
      {"nel\xc2\x85", "nel\\xC2\\x85", {}},              // U+0085, a C1 line break
      {"ls\xe2\x80\xa8", "ls\\xE2\\x80\\xA8", {}},       // U+2028, the line separator
      {std::string(80, 'x'), std::string(80, 'x'), {}},  // exactly at the limit: whole
      {std::string(81, 'x'), std::string(80, 'x') + "...", {}},
      {a79 + "棋谱", a79 + "棋...", {}},  // cut between characters, not inside one
      {"\n\n\n\n\n", "\\x0A\\x0A\\x0A...", {.maxChars = 14}},
      // Escapes count as wide as they show, so no input makes a long line.
      {nel40, "\\xC2\\x85\\xC2\\x85...", {.maxChars = 20}},
      {"", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(EchoInput(c.input, c.limits), c.shown) << c.input;
}

}  // namespace
}  // namespace tesmor
