// What the engine program says about bad input stays one line on stderr, whatever the input
// holds: newlines, terminal escapes, a point list as long as a file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace tesmor {
namespace {

TEST(ErrorLines, EchoedInputCannotBreakOrColourTheLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"no\nsuch", "command"},
      {"eval", "H8", "--rules", "re\nnju"},
      {"move", "H8", "--mode", "\x1b]0;owned\x07"},
      {"bench", "--mode", "fa\rst"},
      {"vcf", "H8", "--lim\nit", "3"},
      {"forbidden", "H8 Z\x01\x02"},
      {"forbidden", "H8 " + std::string(5000, 'Q')},
      {"forbidden", "saved/no\nsuch game.pos"},
  };
  for (const std::vector<std::string>& args : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunEngineCommand(args, out, err), ExitBadInput);
    const std::string line = err.str();
    SCOPED_TRACE(line);
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    for (const char ch : line.substr(0, line.size() - 1))
      EXPECT_TRUE(static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7f);
    EXPECT_LT(line.size(), 300u);
  }
  // Without a command nothing was asked: the usage, as an error.
  std::ostringstream out, err;
  EXPECT_EQ(RunEngineCommand({}, out, err), ExitBadInput);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("Usage: tesmor-engine COMMAND"), std::string::npos);
}

}  // namespace
}  // namespace tesmor
