#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "arena/match.h"
#include "board/move_text.h"

namespace tesmor::arena {
namespace {

std::vector<int> Stones(const std::string& moves) {
  GameState game;
  ClearGameState(game);
  MoveTextError error;
  EXPECT_TRUE(ReadMoveList(moves, game, error)) << moves;
  std::vector<int> stones;
  for (int i = 0; i < game.moveCount; ++i)
    stones.push_back(PointIndex(game.history[i].row, game.history[i].col));
  return stones;
}

// Both engines run the fake with the same two scripts: whichever plays Black plays the first.
std::array<EngineSetup, 2> FakeEngines(const std::string& black, const std::string& white,
                                       const std::vector<std::string>& extra = {}) {
  std::vector<std::string> argv = {TESMOR_FAKE_ENGINE, "--black", black, "--white", white};
  argv.insert(argv.end(), extra.begin(), extra.end());
  return {EngineSetup{"one", argv, {}}, EngineSetup{"two", argv, {}}};
}

MatchSettings QuickSettings(bool renju) {
  MatchSettings settings;
  settings.renju = renju;
  settings.turnMs = 200;
  settings.toleranceMs = 300;
  settings.endGrace = std::chrono::milliseconds(200);
  return settings;
}

// The full board of the draw: colour by (row / 2 + column) parity, which never lines up more
// than two stones of a colour in any direction; 113 Black points, 112 White.
std::string FullBoardScript(int colour) {
  std::string script;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      if (((row / 2 + col) % 2 == 0) == (colour == Black))
        script += PointText(PointIndex(row, col)) + " ";
  return script;
}

TEST(ArenaReferee, JudgesEachWayAGameEnds) {
  // White's stones of the middle game stay on column A, three apart at most: never a five.
  const std::string row8 = "H8 A1 I8 A3 J8 A5 K8 A7";
  const std::string fiveAndOverline =
      "H8 A1 I8 A3 J8 A5 K8 A7 G5 A9 G6 A11 G7 A13 G9 C1 G10 C3 G11 C5";
  const struct Case {
    const char* what;
    bool renju;
    std::string start, black, white;
    int blackEngine;
    int winnerColour;
    EndReason reason;
    ForbiddenKind foul;
    int64_t matchMs = 0;
  } cases[] = {
      {"Black's exact five", true, row8, "G8", "", 0, Black, EndReason::Five, None},
      {"Black's six is a foul", true, row8 + " M8 A9", "L8", "", 0, White, EndReason::Foul,
       Overline},
      {"Black's six wins without forbidden moves", false, row8 + " M8 A9", "L8", "", 0, Black,
       EndReason::Five, None},
      {"White's six wins", true, "A1 H8 A3 I8 A5 J8 A7 K8 A9 M8 A11", "", "L8", 0, White,
       EndReason::Five, None},
      {"a five that is also an overline wins", true, fiveAndOverline, "G8", "", 1, Black,
       EndReason::Five, None},
      {"three-three", true, "I8 A1 J8 A3 H9 A5 H10 A7", "H8", "", 0, White, EndReason::Foul,
       ThreeThree},
      {"four-four", true, "I8 A1 J8 A3 K8 A5 H9 A7 H10 A9 H11 A11", "H8", "", 1, White,
       EndReason::Foul, FourFour},
      {"an occupied point", true, row8, "A1", "", 1, White, EndReason::Illegal, None},
      {"off the board", true, row8, "say=15,3", "", 0, White, EndReason::Illegal, None},
      {"no move at all", false, row8, "say=hello", "", 0, White, EndReason::Illegal, None},
      {"a crash", true, row8, "crash", "", 0, White, EndReason::Crash, None},
      {"too slow", true, row8, "sleep=3000 G8", "", 1, White, EndReason::Timeout, None},
      // The turn's time is long; the second answer overruns what the first left of the game's.
      {"out of match time", true, row8, "sleep=600 B1 sleep=600 B3", "C2", 1, White,
       EndReason::MatchTime, None, 700},
      {"a full board", false, "", FullBoardScript(Black), FullBoardScript(White), 0, Empty,
       EndReason::FullBoard, None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GameSetup setup{1, "test", Stones(c.start), c.blackEngine};
    MatchSettings settings = QuickSettings(c.renju);
    settings.matchMs = c.matchMs;
    if (c.matchMs > 0) settings.turnMs = 2000;
    const GameResult result = PlayGame(setup, FakeEngines(c.black, c.white), settings);
    EXPECT_STREQ(EndReasonName(result.reason), EndReasonName(c.reason)) << result.detail;
    EXPECT_EQ(result.winnerColour, c.winnerColour);
    EXPECT_EQ(result.foul, c.foul);
    const int winnerEngine = c.winnerColour == Black ? c.blackEngine : 1 - c.blackEngine;
    EXPECT_EQ(result.winner, c.winnerColour == Empty ? -1 : winnerEngine);
    // The record ends with the stone that was judged; a refused answer leaves no stone.
    const bool stonePlayed = c.reason == EndReason::Five || c.reason == EndReason::Foul;
    const size_t startCount =
        setup.start.size() + (stonePlayed ? 1 : 0) + (c.reason == EndReason::MatchTime ? 2 : 0);
    EXPECT_EQ(result.moveCount,
              c.reason == EndReason::FullBoard ? CellCount : static_cast<int>(startCount));
  }
}

}  // namespace
}  // namespace tesmor::arena
