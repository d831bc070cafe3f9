#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "arena/match.h"
#include "arena/referee.h"
#include "board/move_text.h"
#include "support/diagram.h"

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

// A game of the arena that filled the board: White's last stone N13 leaves only J14, where a
// Black stone makes six. Black has no move the rules allow and no pass, so the game is drawn there;
// without forbidden moves Black plays J14 and wins with the six; under them a Black stone put
// there is still judged a foul.
TEST(ArenaReferee, BlackWithNoOpenPointDraws) {
  const std::string filled =
      "H8 H9 H7 G7 H6 H5 I7 G5 J6 K5 G6 I6 I8 F5 I5 J8 K7 L8 I10 J9 G9 F10 F8 I11 J10 J7 K8 F3 "
      "G4 F4 F6 E5 D5 F1 F2 D6 C7 L9 K9 K10 K11 G11 E8 G8 E9 F11 H11 I12 J11 E3 G3 E4 E2 L6 L7 "
      "E7 E6 B4 C9 F9 C10 C4 D4 D2 C1 A3 C5 D9 C11 C8 E10 F12 F13 E12 D10 B12 D13 J4 M7 G12 "
      "H12 C12 D12 E13 D14 D11 M8 H1 H2 C3 E1 L12 L11 D3 B3 M10 J12 I14 M6 H13 J15 M5 L10 M9 "
      "I15 M11 K15 H15 K12 K13 L13 M14 N10 G14 H14 I13 G13 K6 N5 O4 N11 K4 N12 N9 N4 N7 K3 G2 "
      "I4 N3 B1 I1 J1 K14 L14 L5 M4 B10 M13 O11 L3 K2 E11 O3 B8 A7 B14 A5 O5 N2 M3 A1 A4 O9 J3 "
      "I3 E14 C14 O10 L2 M2 N14 B5 A15 M15 L15 B9 B6 I9 K1 J2 O14 A9 C6 A12 A10 O15 O1 N1 D15 "
      "G15 B15 E15 D1 F15 G1 D8 L1 O7 M1 C2 A2 D7 B2 M12 I2 B7 O2 A13 H3 A6 H4 J13 L4 B11 J5 "
      "A11 N6 B13 O6 N8 F7 A14 A8 G10 O8 N15 H10 C15 O12 F14 C13 O13";
  for (const bool renju : {true, false}) {
    SCOPED_TRACE(renju ? "renju" : "free");
    GameState game;
    ClearGameState(game);
    game.forbiddenRulesOn = renju;
    MoveTextError error;
    ASSERT_TRUE(ReadMoveList(filled, game, error));
    ASSERT_EQ(game.moveCount, CellCount - 2);
    EXPECT_EQ(PlayAndJudge(game, test::P("N13")).outcome,
              renju ? MoveOutcome::FullBoard : MoveOutcome::Continue);
    const MoveJudgement last = PlayAndJudge(game, test::P("J14"));
    EXPECT_EQ(last.outcome, renju ? MoveOutcome::Foul : MoveOutcome::Five);
    EXPECT_EQ(last.foul, renju ? Overline : None);
  }
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
