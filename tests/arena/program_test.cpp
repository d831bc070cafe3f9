#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "arena/score.h"
#include "board/forbidden.h"
#include "board/move_text.h"
#include "game/openings.h"
#include "support/scratch_dir.h"

namespace tesmor::arena {
namespace {

class ArenaProgram : public test::ScratchDirTest {
 protected:
  ArenaProgram() : ScratchDirTest("tesmor-arena-program-") {}

  std::string Run(const std::string& arguments) {
    const std::string command = std::string(TESMOR_ARENA_BINARY) + " " + arguments;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    status_ = ::pclose(pipe);
    return output;
  }
  int status_ = -1;
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// Replays a game of the games file by the rules: the opening's stones first, no stone before the
// last ends the game, and the last one ends it as the reason says.
void CheckGame(const std::vector<std::string>& f) {
  ASSERT_GE(f.size(), 7u);
  SCOPED_TRACE("game " + f[0]);
  GameState game;
  ClearGameState(game);
  game.forbiddenRulesOn = 1;
  MoveTextError error;
  ASSERT_TRUE(ReadMoveList(f[6], game, error)) << f[6];
  const auto opening = OpeningStones(std::stoi(f[1]));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(PointIndex(game.history[i].row, game.history[i].col), opening[i]);
  GameState replay;
  ClearGameState(replay);
  replay.forbiddenRulesOn = 1;
  for (int i = 0; i < game.moveCount; ++i) {
    const MoveRecord m = game.history[i];
    RecordMove(replay, m.row, m.col);
    const bool five = IsFiveAt(replay, m.row, m.col);
    const bool foul = !five && replay.cell(m.row, m.col) == Black &&
                      ForbiddenKindAt(replay, m.row, m.col) != None;
    if (i + 1 < game.moveCount) {
      EXPECT_FALSE(five || foul) << "the game went on after move " << i + 1;
    } else if (f[5] == "five") {
      EXPECT_TRUE(five);
      EXPECT_EQ(f[4], replay.cell(m.row, m.col) == Black ? "1-0" : "0-1");
    }
  }
}

TEST_F(ArenaProgram, SlowMatchOfTheBrainWritesEveryGameAndSumsThemUp) {
  const std::string games = Path("games.txt");
  const std::string output =
      Run(std::string("--engine1 ") + TESMOR_PBRAIN_BINARY + " --engine2 " + TESMOR_PBRAIN_BINARY +
          " --info1 'level 1' --info2 'level 0' --turn-ms 100 --openings 26,3 --concurrency 2" +
          " --games " + games);
  ASSERT_EQ(status_, 0) << output;
  std::ifstream in(games);
  int wins = 0, losses = 0, draws = 0;
  std::vector<bool> seen(5, false);
  for (std::string line; std::getline(in, line);) {
    if (line[0] == '#') continue;
    const std::vector<std::string> f = Fields(line);
    CheckGame(f);
    const int number = std::stoi(f[0]);
    ASSERT_TRUE(number >= 1 && number <= 4);
    seen[number] = true;
    // Games 1 and 2 are opening 26, engine 1 Black first, then the colours swapped.
    EXPECT_EQ(f[1], number <= 2 ? "26" : "3");
    EXPECT_EQ(f[2], number % 2 == 1 ? "1" : "2");
    EXPECT_EQ(f[3], number % 2 == 1 ? "2" : "1");
    const bool engine1Black = f[2] == "1";
    if (f[4] == "1/2-1/2")
      ++draws;
    else if ((f[4] == "1-0") == engine1Black)
      ++wins;
    else
      ++losses;
  }
  EXPECT_EQ(seen, std::vector<bool>({false, true, true, true, true}));
  const std::string record = "4 games: " + std::to_string(wins) + " won, " +
                             std::to_string(losses) + " lost, " + std::to_string(draws) + " drawn";
  EXPECT_NE(output.find(record), std::string::npos) << output;
}

TEST(ArenaScore, WilsonIntervalMatchesPublishedValues) {
  const struct {
    double points;
    int games;
    double low, high;
  } cases[] = {{0, 10, 0.0, 0.2775},
               {5, 10, 0.2366, 0.7634},
               {10, 10, 0.7225, 1.0},
               {12, 12, 0.7575, 1.0},
               {81, 100, 0.7222, 0.8749}};
  for (const auto& c : cases) {
    const ScoreInterval interval = WilsonInterval(c.points, c.games);
    EXPECT_NEAR(interval.low, c.low, 5e-4) << c.points << "/" << c.games;
    EXPECT_NEAR(interval.high, c.high, 5e-4) << c.points << "/" << c.games;
  }
  EXPECT_NEAR(EloDifference(0.75), 190.8, 0.1);
  EXPECT_NEAR(EloDifference(0.25), -190.8, 0.1);
}

}  // namespace
}  // namespace tesmor::arena
