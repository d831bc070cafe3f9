#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "board/forbidden.h"
#include "board/symmetry.h"
#include "search/alpha_beta.h"
#include "search/computer_move.h"
#include "search/search_root.h"
#include "search/vcf.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

// Records the panel lines a search writes, and can stop it at the n-th root move it reports.
class Recorder final : public SearchProgress {
 public:
  void PanelLine(int index, const std::string& text) override {
    lines.push_back({index, text});
    if (index == PanelCurrentLine && ++rootMoves == stopAtRootMove) *stop = true;
  }
  std::vector<std::pair<int, std::string>> lines;
  int rootMoves = 0;
  int stopAtRootMove = -1;
  std::atomic<bool>* stop = nullptr;
};

class Search : public ::testing::Test {
 protected:
  Search() {
    context.settings.rifRules = false;
    context.settings.useBook = false;
    context.progress = &recorder;
    recorder.stop = &context.stopRequested();
  }
  // The computer's move at a menu level. The record comes back as it was, but for the last move
  // fields, which receive the answer.
  int Choose(GameState& game, int menuLevel) {
    const GameState before = game;
    const int answer = ChooseComputerMove(context, game, menuLevel + 7);
    GameState after = game;
    after.lastRow = before.lastRow;
    after.lastCol = before.lastCol;
    EXPECT_EQ(after, before) << "the search changed the record";
    if (answer >= 0 && answer < CellCount) {
      EXPECT_EQ(game.lastRow, PointRow(answer));
      EXPECT_EQ(game.lastCol, PointCol(answer));
    }
    return answer;
  }
  SequenceRandom random{{1}};
  std::ostringstream console;
  SearchContext context{random, nullptr, &console};
  Recorder recorder;
};

TEST_F(Search, KnownAnswers) {
  // Take the five (of the two, the one the threat scan names).
  GameState five = test::FromMoves({"D4", "H8", "E4", "H9", "F4", "J12", "G4", "K2"}, false);
  EXPECT_EQ(Choose(five, 3), P("H4"));
  // Block White's four (closed by Black's C2): every other move loses at once.
  GameState block = test::FromMoves({"H8", "C3", "J10", "C4", "C2", "C5", "M13", "C6"}, false);
  EXPECT_EQ(Choose(block, 1), P("C7"));
  EXPECT_EQ(Choose(block, 6), P("C7"));
  // White's two-step win by fours: G5 makes two fours on one line.
  GameState vcf = test::FromMoves({"A15", "D5", "C15", "F5", "E15", "H5", "O1", "J5", "M1"});
  EXPECT_EQ(Choose(vcf, 4), P("G5"));
  EXPECT_EQ(Choose(vcf, 0), P("G5"));
  // Decline the poisoned straight four at E8, a four-four for Black; I8 wins instead.
  GameState poisoned =
      test::FromMoves({"F8", "A1", "G8", "A3", "H8", "A5", "E9", "A7", "E10", "A9", "E11", "A11"});
  EXPECT_EQ(Choose(poisoned, 2), P("I8"));
}

TEST_F(Search, NeverPlaysAForbiddenPointAndAlwaysLeavesTheRecord) {
  // H8 is a three-three for Black (F8 G8 and H9 H10); the search looks elsewhere.
  GameState game = test::FromMoves({"F8", "A1", "G8", "O1", "H9", "A15", "H10", "O15"});
  const int answer = Choose(game, 3);
  ASSERT_GE(answer, 0);
  ASSERT_LT(answer, CellCount);
  EXPECT_NE(answer, P("H8"));
  EXPECT_EQ(ForbiddenKindAt(game, PointRow(answer), PointCol(answer)), None);

  std::mt19937 rng(5);
  for (int round = 0; round < 12; ++round) {
    GameState position = test::RandomPosition(rng, 6 + round * 3, round % 2 == 0);
    if (WinnerAtFocus(position) != 0) continue;
    const int move = Choose(position, 1 + round % 3);
    if (move >= 0 && move < CellCount) {
      EXPECT_EQ(position.cells[CellIndex(PointRow(move), PointCol(move))], Empty);
    }
  }
}

TEST_F(Search, ProgressLinesAndTheConsole) {
  GameState game = test::FromMoves({"H8", "I9", "J10", "H10"});
  const int answer = Choose(game, 1);
  ASSERT_GE(answer, 0);
  // Level 1 runs iterations 0 and 1.
  std::vector<std::string> depths;
  for (const auto& [index, text] : recorder.lines)
    if (index == PanelDepthLine) depths.push_back(text);
  EXPECT_EQ(depths, (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(recorder.lines.back().first == PanelBestLine ||
                recorder.lines.back().first == PanelCurrentLine ||
                recorder.lines.back().first == PanelScoreLine,
            true);
  const std::string text = console.str();
  EXPECT_EQ(text.rfind("思考中...\n", 0), 0u);
  EXPECT_NE(text.find("节点数目："), std::string::npos);
  EXPECT_NE(text.find("总时间："), std::string::npos);

  EXPECT_EQ(ScoreText(30), "0");
  EXPECT_EQ(ScoreText(35), "+5");
  EXPECT_EQ(ScoreText(-5), "-35");
  EXPECT_EQ(ScoreText(WonValue), "+100000000");
  EXPECT_EQ(ScoreText(-DecidedValue - 3), "-10000003");
}

TEST_F(Search, StopRequests) {
  GameState game = test::FromMoves({"H8", "I9", "J10", "H10", "G9", "G8"});
  // A stop still set when a search starts ends it at its first root move, which then plays the
  // best candidate by its static value; the search clears the flag as it ends.
  context.stopRequested() = true;
  int answer = Choose(game, 3);
  EXPECT_GE(answer, 0);
  EXPECT_EQ(context.nodeCount, 0);
  EXPECT_FALSE(context.stopRequested());
  answer = Choose(game, 3);
  EXPECT_GE(answer, 0);
  EXPECT_GT(context.nodeCount, 0);

  // A stop during the search keeps the best move of the root moves already finished.
  recorder.rootMoves = 0;
  recorder.stopAtRootMove = 12;
  answer = Choose(game, 5);
  ASSERT_GE(answer, 0);
  ASSERT_LT(answer, CellCount);
  EXPECT_EQ(game.cells[CellIndex(PointRow(answer), PointCol(answer))], Empty);
  EXPECT_FALSE(context.stopRequested());  // cleared when the search ended

  // Stopped during the very first root move: still a move (the best candidate), not a
  // resignation.
  recorder.rootMoves = 0;
  recorder.stopAtRootMove = 1;
  answer = Choose(game, 5);
  ASSERT_GE(answer, 0);
  EXPECT_EQ(game.cells[CellIndex(PointRow(answer), PointCol(answer))], Empty);
  recorder.stopAtRootMove = -1;

  // With the flag set, a node returns 0 at once and touches nothing.
  context.stopRequested() = true;
  const GameState before = game;
  const int64_t nodes = context.nodeCount;
  EXPECT_EQ(AlphaBeta(context, game, P("A1"), 10, 4, -WonValue, WonValue), 0);
  EXPECT_EQ(game, before);
  EXPECT_EQ(context.nodeCount, nodes);
}

TEST_F(Search, DepthZeroIsTheStaticEvaluation) {
  GameState game = test::FromMoves({"H8", "I9", "J10", "H10", "G9"});
  context.maxDepth = 1;
  context.iteration = 0;
  context.keepNum = context.keepDen = 1;
  const GameState before = game;
  const int value = AlphaBeta(context, game, P("G8"), 6, 0, -WonValue, WonValue);
  EXPECT_EQ(game, before);
  EXPECT_TRUE(context.pathScores.empty());
  GameState played = game;
  RecordMove(played, PointRow(P("G8")), PointCol(P("G8")));
  EvalContext fresh;
  EXPECT_EQ(value, EvaluatePosition(fresh, played, White));
}

TEST_F(Search, QuickMoveOpenings) {
  struct Case {
    std::initializer_list<const char*> moves;
    std::vector<int> draws;
    const char* expected;
  };
  const Case cases[] = {
      {{}, {0}, "H8"},
      {{"H8"}, {1}, "H9"},
      {{"H8"}, {2}, "I9"},
      {{"H8", "H9"}, {5}, "I8"},         // table A, entry 5
      {{"H8", "H9"}, {32765, 3}, "I9"},  // a draw at or above 32760 is drawn again
      {{"H8", "I9"}, {0}, "J10"},        // table B, entry 0
      {{"H8", "I9"}, {12}, "F6"},        // table B, entry 12
      {{"H8", "G7"}, {0}, "F6"},         // the square F6..J10
      {{"H8", "G7"}, {12, 24}, "J10"},   // k = 12 is H8 itself: drawn again
  };
  for (const Case& c : cases) {
    GameState game = test::FromMoves(c.moves);
    random = SequenceRandom(c.draws);
    EXPECT_EQ(QuickMove(context, game), P(c.expected));
  }
  // A full board has no point to play.
  GameState full;
  ClearGameState(full);
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      full.cell(row, col) = ((col + (2 * row + 1) % 4) / 2) % 2 ? Black : White;
  full.moveCount = CellCount;
  EXPECT_EQ(QuickMove(context, full), NoPoint);
  // One empty point: it is played.
  full.cell(0, 0) = Empty;
  full.moveCount = CellCount - 1;
  EXPECT_EQ(QuickMove(context, full), 0);
}

TEST_F(Search, TheComputerOffersTwoFifthMovesThatDiffer) {
  // Four stones symmetric about the H column: mirror images are one offering.
  context.settings.rifRules = true;
  GameState game = test::FromMoves({"H8", "H9", "H10", "H6"});
  const int answer = Choose(game, 2);
  ASSERT_GE(answer, PointPairBase);
  const int better = PairLow(answer);
  const int other = PairHigh(answer);
  ASSERT_NE(better, other);
  for (int p : {better, other}) EXPECT_EQ(game.cells[CellIndex(PointRow(p), PointCol(p))], Empty);
  GameState offered = game;
  RecordMove(offered, PointRow(better), PointCol(better));
  EXPECT_EQ(SameFifthOfferingExists(offered, PointRow(other), PointCol(other)), 0);
}

TEST_F(Search, TheComputerTakesAnOfferingAwayAndReplies) {
  context.settings.rifRules = true;
  context.settings.rifFifthState = 2;
  GameState game = test::FromMoves({"H8", "H9", "J10", "G9", "I11"});  // first offering I11
  const MoveRecord second{PointRow(P("F6")), PointCol(P("F6"))};
  context.settings.secondOffer = second;
  const int answer = Choose(game, 2);
  ASSERT_GE(answer, PointPairBase);
  const int removed = PairHigh(answer);
  const int reply = PairLow(answer);
  ASSERT_TRUE(removed == P("I11") || removed == P("F6"));
  // The reply is an empty point of the position that remains.
  GameState remaining = game;
  if (removed == P("I11")) {
    remaining.cell(PointRow(P("I11")), PointCol(P("I11"))) = Empty;
    remaining.cell(second.row, second.col) = Black;
  }
  EXPECT_EQ(remaining.cells[CellIndex(PointRow(reply), PointCol(reply))], Empty);
  EXPECT_EQ(context.settings.rifFifthState, 2);
}

}  // namespace
}  // namespace tesmor
