#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board/symmetry.h"
#include "search/computer_move.h"
#include "search/master_board.h"
#include "search/master_move.h"
#include "search/master_search.h"
#include "search/master_table.h"
#include "search/master_threats.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::IsLegalMove;
using test::P;

// Stones on an empty board with the side to move given by their numbers.
GameState Stones(std::initializer_list<const char*> black, std::initializer_list<const char*> white,
                 bool renju) {
  GameState state = test::FromStones(black, white, renju);
  state.SetUpMoveCount(static_cast<int>(black.size() + white.size()));
  return state;
}

// The master's scores are its own: the panel must not take them for the classic search's.
struct ScoreFields final : SearchProgress {
  void Progress(ProgressField field, int) override {
    master |= field == ProgressField::MasterScore;
    classic |= field == ProgressField::Score;
  }
  bool master = false;
  bool classic = false;
};

MasterLimits Limits(int depth, int threads = 1) {
  MasterLimits limits;
  limits.maxDepth = depth;
  limits.threads = threads;
  return limits;
}

// The search's result; the caller's position stays as it was, and only the master's score field
// reaches the panel.
MasterResult Search(const GameState& game, const MasterLimits& limits,
                    const MasterWeights& weights = {}, ScoreFields* fields = nullptr) {
  MasterSearch search(4);
  search.SetWeights(weights);
  const GameState before = game;
  ScoreFields scores;
  const MasterResult result = search.Search(game, limits, &scores);
  EXPECT_EQ(game, before);
  EXPECT_FALSE(scores.classic);
  if (fields) fields->master |= scores.master;
  return result;
}

// The board kept up to date move by move must read exactly as one built afresh from the same
// stones, after every move and after every take-back, and taking every move back must restore
// the start: codes, patterns, values, threat sets and the evaluation are all incremental. Stones
// land anywhere, so lines that reach the board's edge are among them.
void ExpectSameAsFresh(const MasterBoard& board, const MasterWeights& weights,
                       const std::string& where) {
  const MasterBoard fresh(board.game(), weights);
  ASSERT_EQ(board.Evaluate(), fresh.Evaluate()) << where;
  for (int point = 0; point < CellCount; ++point) {
    const int index = MasterBoard::Index(point);
    for (int side = 0; side < 2; ++side) {
      ASSERT_EQ(board.Threats(side, index), fresh.Threats(side, index))
          << where << PointText(point);
      ASSERT_EQ(board.Value(side, index), fresh.Value(side, index)) << where << PointText(point);
      for (int dir = 0; dir < 4 && board.IsEmpty(index); ++dir)
        ASSERT_EQ(board.Pattern(side, index, dir), fresh.Pattern(side, index, dir))
            << where << PointText(point) << " dir " << dir;
    }
    ASSERT_EQ(board.Near(index), fresh.Near(index));
  }
  ASSERT_EQ(board.Candidates(), fresh.Candidates());
  for (const ThreatBit bit : {MakesFive, MakesOpenFour, MakesFour, MakesOpenThree})
    for (int side = 0; side < 2; ++side) {
      ASSERT_EQ(board.Count(side, bit), fresh.Count(side, bit)) << where;
      ASSERT_EQ(board.Points(side, bit), fresh.Points(side, bit)) << where;
    }
}

TEST(MasterBoard, IncrementalMatchesFreshBoard) {
  const MasterWeights weights;
  std::mt19937 rng(7);
  for (int game = 0; game < 16; ++game) {
    const bool renju = game % 2 == 0;
    GameState start = test::RandomPosition(rng, 6, renju);
    MasterBoard board(start, weights);
    const int startEval = board.Evaluate();
    int played = 0;
    for (int step = 0; step < 40 && board.MoveCount() < CellCount; ++step) {
      const std::string where = "game " + std::to_string(game) + " step " + std::to_string(step);
      // One step in four takes a move back, as the search does between siblings.
      if (played > 0 && rng() % 4 == 0) {
        board.Undo();
        --played;
        ExpectSameAsFresh(board, weights, where + " undo ");
        continue;
      }
      GameState next = board.game();
      test::PlayRandomMove(next, rng);
      const MoveRecord last = next.history[static_cast<size_t>(next.moveCount - 1)];
      board.Play(MasterBoard::Index(PointIndex(last.row, last.col)));
      ++played;
      ExpectSameAsFresh(board, weights, where + " play ");
    }
    for (; played > 0; --played) board.Undo();
    EXPECT_EQ(board.game(), start);
    EXPECT_EQ(board.Evaluate(), startEval);
  }
}

// Points that prepare a double threat earn the combination values on top of their lines: an
// open three with an open two, and two open twos; a plain open three earns neither. Black's
// points are the same under renju, as none of them may be forbidden.
TEST(MasterBoard, CombinationValues) {
  MasterWeights with;
  with.threeTwo = 300;
  with.doubleTwo = 70;
  MasterWeights without;
  without.threeTwo = 0;
  without.doubleTwo = 0;
  for (const bool renju : {false, true}) {
    const GameState game = Stones({"H8", "I8", "J9"}, {"A15", "C15", "E15"}, renju);
    const MasterBoard plain(game, without);
    const MasterBoard combined(game, with);
    auto bonus = [&](const char* point) {
      const int index = MasterBoard::Index(P(point));
      return combined.Value(0, index) - plain.Value(0, index);
    };
    EXPECT_EQ(bonus("J8"), 300) << renju;  // three H8-J8, two J8-J9
    EXPECT_EQ(bonus("G8"), 0) << renju;    // the three alone
    EXPECT_EQ(bonus("I9"), 70) << renju;   // twos with I8, J9 and H8
    EXPECT_EQ(plain.Threats(0, MasterBoard::Index(P("J8"))), MakesOpenThree) << renju;
  }
}

// The board keeps its renju verdicts by the stones and the point: a three-three and a straight
// four in one position (both need the exact rule) keep verdicts of their own, asked again and
// once a move and its take-back have passed.
TEST(MasterBoard, KeptVerdictsBelongToTheirPoint) {
  const GameState game = Stones({"G8", "J8", "H9", "H10", "B2", "C2", "D2"},
                                {"A15", "C15", "E15", "G15", "J15"}, true);
  const MasterWeights weights;
  MasterBoard board(game, weights);
  const int threeThree = MasterBoard::Index(P("H8"));
  const int straightFour = MasterBoard::Index(P("E2"));
  for (int pass = 0; pass < 3; ++pass) {
    EXPECT_TRUE(board.ForbiddenFor(Black, threeThree)) << pass;
    EXPECT_FALSE(board.ForbiddenFor(Black, straightFour)) << pass;
    board.Play(MasterBoard::Index(P("M12")));
    board.Undo();
  }
}

// Line shapes through the centre stone (the '*' between the two halves), five cells each side.
TEST(MasterBoard, LinePatterns) {
  auto code = [](const char* left, const char* right) {
    auto digit = [](char c) { return c == 'x' ? 1 : c == 'o' ? 2 : 0; };
    int value = 0;
    for (int k = 4; k >= 0; --k) value = value * 3 + digit(right[k]);
    for (int k = 0; k < 5; ++k) value = value * 3 + digit(left[k]);
    return value;
  };
  struct Case {
    const char* left;
    const char* right;
    bool exact;  // the Black rule under renju
    LinePattern expected;
  } cases[] = {
      {"..xxx", "x....", true, FiveLine},
      {"xxxxx", ".....", true, OverlineLine},
      {"xxxxx", ".....", false, FiveLine},
      // x.xxx*: filling the gap makes six, so under the Black rule only the right end completes.
      {"x.xxx", ".....", true, FourLine},
      {"x.xxx", ".....", false, OpenFourLine},
      {"...xx", ".....", false, OpenThreeLine},
      {"....o", "xxx..", false, FourLine},
      {"....x", "x....", false, OpenThreeLine},
      {"....o", "xx...", false, ThreeLine},
      {"...o.", "x.o..", false, DeadLine},
      {".....", ".....", false, OpenOneLine},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyLine(code(c.left, c.right), c.exact), c.expected)
        << c.left << "*" << c.right << (c.exact ? " exact" : "");
}

// Positions with one right answer, under the rule that makes it right. The root's search for a
// win by threes and fours runs when the weights give it nodes.
TEST(MasterSearch, ForcedAnswers) {
  MasterWeights rootVct;
  rootVct.rootVctNodes = 20000;
  struct Case {
    const char* what;
    GameState game;
    const char* expected;         // the answer; none where any legal point will do
    std::optional<bool> decided;  // a forced win found: the score is a mate score
    int depth = 4;
    MasterWeights weights = {};
    const char* decidedBy = nullptr;
  } cases[] = {
      {"five for the taking", Stones({"D4", "E4", "F4", "G4"}, {"H4", "H9", "H10", "A1"}, true),
       "C4", true},
      {"block the opponent's four",
       Stones({"H8", "H9", "B3", "A15"}, {"C3", "D3", "E3", "F3"}, true), "G3", false},
      // White's four G7 can only be stopped at H8, a three-three for Black: White wins.
      {"four whose block is forbidden",
       Stones({"C3", "F8", "G8", "H6", "H7"}, {"D4", "E5", "F6", "A15"}, true), "G7", true},
      {"without the forbidden rule the same four is simply blocked",
       Stones({"C3", "F8", "G8", "H6", "H7"}, {"D4", "E5", "F6", "A15"}, false), nullptr, false},
      // Black cannot block at H8 and has lost, but still answers a legal point.
      {"the only block is forbidden",
       Stones({"C3", "F8", "G8", "H6", "H7"}, {"D4", "E5", "F6", "G7", "A15"}, true), nullptr,
       false},
      // H8 makes seven in a row for Black: no five under renju, and forbidden.
      {"overline is no five for Black",
       Stones({"D8", "E8", "F8", "G8", "I8", "J8"}, {"C8", "K8", "A3", "A6", "A9", "A12"}, true),
       nullptr, false},
      {"overline wins without forbidden moves",
       Stones({"D8", "E8", "F8", "G8", "I8", "J8"}, {"C8", "K8", "A3", "A6", "A9", "A12"}, false),
       "H8", true},
      {"White's overline wins under renju",
       Stones({"C8", "K8", "A3", "A6", "A9", "A12", "O1"}, {"D8", "E8", "F8", "G8", "I8", "J8"},
              true),
       "H8", true},
      // H8 is the point of two open threes: forbidden to Black, the best point without the rule.
      // Black still wins by threes and fours elsewhere, which the search sees once the answers
      // to threes cost no depth.
      {"three-three stays unplayed",
       Stones({"F8", "G8", "H6", "H7"}, {"A15", "O15", "O1", "A1"}, true), nullptr, true},
      // The same stones with nodes for the root's search, two plies deep: it finds the win itself.
      {"the root's win by threes",
       Stones({"F8", "G8", "H6", "H7"}, {"A15", "O15", "O1", "A1"}, false), nullptr, true, 2,
       rootVct, "vct"},
      {"the root's win by threes is no foul",
       Stones({"F8", "G8", "H6", "H7"}, {"A15", "O15", "O1", "A1"}, true), nullptr, std::nullopt, 2,
       rootVct},
  };
  ScoreFields scores;
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    const MasterResult result = Search(c.game, Limits(c.depth), c.weights, &scores);
    EXPECT_TRUE(IsLegalMove(c.game, result.point)) << PointText(result.point);
    if (c.expected) {
      EXPECT_EQ(PointText(result.point), c.expected);
    }
    if (c.decided) {
      EXPECT_EQ(result.score >= MateBound, *c.decided) << result.score;
    }
    if (c.decidedBy) {
      EXPECT_STREQ(result.decidedBy, c.decidedBy);
    }
  }
  EXPECT_TRUE(scores.master);
}

// The moves against an open three are the points that stop every straight four it offers, and
// the defender's own fours; four points on other lines, and those beyond the ends of a straight
// three, stop nothing. Two threes cannot both be stopped: then every four point stays.
TEST(MasterThreats, AnswersToAnOpenThree) {
  const std::initializer_list<const char*> white = {"A12", "C3", "D3", "E3", "N1", "N15"};
  const MasterWeights weights;  // the board keeps a reference
  struct Case {
    const char* what;
    std::initializer_list<const char*> black;
    const char* expected;  // the moves in the order of their names
  } cases[] = {
      {"straight three", {"H8", "I8", "J8", "B12", "C12", "D12", "B3"}, "F3 G3 G8 K8"},
      {"split three", {"H8", "J8", "K8", "B12", "C12", "D12", "B3"}, "F3 G3 G8 I8 L8"},
      {"two threes",
       {"H8", "I8", "J8", "C10", "C11", "C12", "B3"},
       "C13 C14 C8 C9 F3 F8 G3 G8 K8 L8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GameState game = Stones(c.black, white, false);
    ASSERT_EQ(game.SideToMove(), White);
    MasterBoard board(game, weights);
    MoveList moves;
    ASSERT_EQ(GenerateMoves(board, moves), NodeKind::Defending);
    std::vector<std::string> points;
    for (int i = 0; i < moves.size; ++i)
      points.push_back(PointText(MasterBoard::PointOf(moves.moves[static_cast<size_t>(i)])));
    std::sort(points.begin(), points.end());
    std::string text;
    for (const std::string& point : points) text += (text.empty() ? "" : " ") + point;
    EXPECT_EQ(text, c.expected);
  }
}

// Black's open three H8-J8 must be blocked at G8 or K8 (F8 and L8 leave a straight four).
// White has four fours of its own that block nothing; when such a four costs a ply, the search
// no longer tries them in every order after each other, and still finds the block.
TEST(MasterSearch, FoursThatBlockNothingCostAPly) {
  const GameState game = Stones({"H8", "I8", "J8", "B3", "B12", "M2", "N14"},
                                {"C3", "D3", "E3", "C12", "D12", "E12"}, false);
  MasterWeights costly;
  costly.counterFourCost = 1;
  const MasterResult free = Search(game, Limits(6));
  const MasterResult costs = Search(game, Limits(6), costly);
  for (const MasterResult* result : {&free, &costs}) {
    const std::string answer = PointText(result->point);
    EXPECT_TRUE(answer == "G8" || answer == "K8") << answer;
    EXPECT_LT(std::abs(result->score), MateBound);
  }
  EXPECT_LT(costs.nodes * 2, free.nodes);
}

// Keys that share a bucket must not answer for each other, and the deeper result keeps its slot.
TEST(MasterTable, CollidingKeys) {
  TranspositionTable table(1);
  const uint64_t bucketBits = table.BucketCount() - 1;
  const uint64_t a = (0x11111111ull << 32) | (0x5ull & bucketBits);
  const uint64_t b = (0x22222222ull << 32) | (a & bucketBits);
  const uint64_t c = (0x33333333ull << 32) | (a & bucketBits);
  ASSERT_EQ(a & bucketBits, c & bucketBits);
  table.Store(a, 100, 10, 8, Bound::Exact);
  table.Store(b, -50, 20, 2, Bound::Lower);
  ASSERT_TRUE(table.Probe(a));
  ASSERT_TRUE(table.Probe(b));
  EXPECT_EQ(table.Probe(a)->score, 100);
  EXPECT_EQ(table.Probe(b)->move, 20);
  EXPECT_FALSE(table.Probe(c));
  // A shallow third key replaces the shallow entry, never the deep one.
  table.Store(c, 7, 30, 1, Bound::Upper);
  EXPECT_TRUE(table.Probe(a));
  EXPECT_FALSE(table.Probe(b));
  EXPECT_EQ(table.Probe(c)->score, 7);
  // A result without a move keeps the move known for the position.
  table.Store(a, 90, -1, 9, Bound::Lower);
  EXPECT_EQ(table.Probe(a)->move, 10);
  EXPECT_EQ(table.Probe(a)->depth, 9);
  // The allowance repeated keeps the entries; a new size starts empty.
  table.Resize(1);
  EXPECT_TRUE(table.Probe(a));
  table.Resize(2);
  EXPECT_FALSE(table.Probe(a));
  table.Store(a, 100, 10, 8, Bound::Exact);
  // A key that differs only in its check bits finds nothing after a clear.
  table.Clear();
  EXPECT_FALSE(table.Probe(a));
}

// A second thread shares the table and stops with the first: the same forced win is found, the
// caller's position is untouched, and a stop set from outside ends a search that has no time
// limit. Run under the thread checker too.
TEST(MasterSearch, TwoThreads) {
  // Black wins by threes and fours, but not at H8, a three-three.
  const GameState game = Stones({"F8", "G8", "H6", "H7"}, {"A15", "O15", "O1", "A1"}, true);
  const MasterResult win = Search(game, Limits(4, 2));
  EXPECT_TRUE(IsLegalMove(game, win.point)) << PointText(win.point);  // not H8
  EXPECT_GE(win.score, MateBound);

  const GameState middle = test::FromMoves({"H8", "H9", "J10", "I9", "G9", "I7", "I10"});
  std::atomic<bool> stop{false};
  MasterLimits limits = Limits(MasterMaxDepth, 2);
  limits.stop = &stop;
  std::thread stopper([&stop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
  });
  const MasterResult stopped = Search(middle, limits);
  stopper.join();
  EXPECT_TRUE(stopped.stopped);
  EXPECT_TRUE(IsLegalMove(middle, stopped.point)) << PointText(stopped.point);
}

// Every way into the master search leaves the caller's record as it was: a plain move, Black's
// two fifth offerings, White's choice between them, and a search stopped at once.
TEST(MasterSearch, RecordUnchangedAndStopAnswersLegalMove) {
  SequenceRandom random({1});
  SearchContext context(random, nullptr, nullptr);
  context.settings.useBook = false;
  // The shortest thinking time: each search ends in its first iteration.
  context.masterTime = std::chrono::milliseconds(1);
  context.SetMasterTableMegabytes(2);
  struct Case {
    GameState game;
    bool rif;
    int fifthState;
    bool stop;
  } cases[] = {
      {test::FromMoves({"H8", "H9", "J10", "I9", "G9", "I7", "I10"}), false, 0, false},
      {test::FromMoves({"H8", "H9", "J10", "I9", "G9", "I7", "I10"}), false, 0, true},
      {test::FromMoves({"H8", "I9", "J10", "J9"}), true, 0, false},
      {test::FromMoves({"H8", "I9", "J10", "J9", "K9"}), true, 2, false},
  };
  context.settings.secondOffer = {PointRow(P("G7")), PointCol(P("G7"))};
  for (Case& c : cases) {
    context.settings.rifRules = c.rif;
    context.settings.rifFifthState = c.fifthState;
    context.stopRequested() = c.stop;
    const GameState before = c.game;
    const int answer = ChooseComputerMove(context, c.game, MasterLevelArg);
    EXPECT_EQ(c.game, before);
    EXPECT_EQ(c.game.Key(), ComputeKey(c.game));
    const ComputerAnswer move = AnswerFromSearch(answer);
    if (c.rif) {
      ASSERT_EQ(move.kind, ComputerAnswer::Kind::OfferingPair);
      if (c.fifthState == 0) {
        // Black's two offerings are two points, not the same move under the board's symmetries.
        EXPECT_NE(move.point, move.offering);
        GameState withFifth = c.game;
        withFifth.Play(PointRow(move.point), PointCol(move.point));
        EXPECT_FALSE(
            SameFifthOfferingExists(withFifth, PointRow(move.offering), PointCol(move.offering)));
      } else {
        // White takes one offering away and replies on the board without it, where the point
        // of the offering taken is free again.
        ASSERT_TRUE(move.offering == P("K9") || move.offering == P("G7"));
        GameState chosen = c.game;
        if (move.offering == P("K9"))
          chosen.ReplaceNewestMove(PointRow(P("G7")), PointCol(P("G7")));
        EXPECT_TRUE(IsLegalMove(chosen, move.point)) << PointText(move.point);
      }
    } else {
      ASSERT_EQ(move.kind, ComputerAnswer::Kind::Point);
      EXPECT_TRUE(IsLegalMove(c.game, move.point));
    }
  }
}

}  // namespace
}  // namespace tesmor
