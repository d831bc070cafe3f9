#include "eval/threat_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::FromStones;
using test::P;

ThreatBoard Built(const GameState& state) {
  ThreatBoard board;
  BuildThreatBoard(board, state);
  return board;
}

int One(const char* point) {
  return ThreatOnePoint + P(point);
}

TEST(ThreatBoard, CompletionPointsOfFours) {
  // position, stone, the completion code
  const std::tuple<const char*, GameState, const char*, int> cases[] = {
      {"a Black four against the edge", FromStones({"A1", "B1", "C1", "D1"}), "B1", One("E1")},
      // The Black rule names the far end of an open four first, so the near end is reported.
      {"an open Black four", FromStones({"B1", "C1", "D1", "E1"}), "C1",
       ThreatManyPoints + P("A1")},
      {"a four on a row - column diagonal", FromStones({"C10"}, {"D11", "E12", "F13", "G14"}),
       "D11", One("H15")},
      {"Black's hole that makes seven", FromStones({"A1", "B1", "C1", "E1", "F1", "G1"}), "A1", 0},
  };
  for (const auto& [what, state, stone, expected] : cases) {
    const int row = PointRow(P(stone));
    const int col = PointCol(P(stone));
    EXPECT_EQ(ThreatFourCompletion(Built(state), row, col, state.cell(row, col)), expected) << what;
  }
}

// The points where one more stone of colour makes a five, found by trying each empty point.
std::vector<int> FivePointsByTrial(GameState state, int colour) {
  std::vector<int> points;
  for (int p = 0; p < CellCount; ++p) {
    const int row = PointRow(p);
    const int col = PointCol(p);
    if (state.cell(row, col) != Empty) continue;
    state.SetUpStone(row, col, colour);
    if (IsFiveAt(state, row, col)) points.push_back(p);
    state.SetUpStone(row, col, Empty);
  }
  return points;
}

// The four-completion code and the straight-four answer of a stone of colour on (row, col), put
// there if the point is empty, from the record's line scans: what the threat board's bit tests
// must reproduce.
int CompletionByLines(GameState state, int row, int col, int colour) {
  state.SetUpStone(row, col, colour);
  int found = 0;
  int first = 0;
  for (int d = 0; d < 4; ++d) {
    const LinePoints points = FourPointsInLine(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                                               LinePosition(d, row, col), state.forbiddenRulesOn);
    if (points == 0) continue;
    const BoardPoint at = LinePointToBoard(d, row, col, LastLinePoint(points));
    if (points >= 256) return ThreatManyPoints + PointIndex(at.row, at.col);
    if (found++ == 0) first = PointIndex(at.row, at.col);
  }
  return found == 0 ? 0 : (found == 1 ? ThreatOnePoint : ThreatManyPoints) + first;
}
bool StraightFourByLines(GameState state, int row, int col, int colour, int only = -1) {
  state.SetUpStone(row, col, colour);
  for (int d = 0; d < 4; ++d)
    if ((only < 0 || d == only) &&
        IsStraightFourInLine(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                             LinePosition(d, row, col), state.forbiddenRulesOn))
      return true;
  return false;
}

// Same stones, five points, four completions, straight fours and forbidden points as the record;
// neither changed by a test.
void ExpectThreatBoardAgrees(GameState& state, ThreatBoard& board, int n) {
  const GameState recordBefore = state;
  const ThreatBoard boardBefore = board;
  const auto& points = ThreatCellPoints();
  for (size_t i = 0; i < points.size(); ++i)
    ASSERT_EQ(board.cells[i], points[i] < 0 ? OffBoard : state.cells[points[i]]) << i;
  for (const int colour : {Black, White}) {
    const std::vector<int> fives = FivePointsByTrial(state, colour);
    const int code = ThreatFivePoints(board, colour);
    if (fives.size() <= 1)
      ASSERT_EQ(code, fives.empty() ? 0 : ThreatOnePoint + fives[0]) << colour;
    else
      ASSERT_TRUE(code >= ThreatManyPoints &&
                  std::count(fives.begin(), fives.end(), code % ThreatOnePoint) == 1)
          << colour << " " << code;
    // Of two points or more, the cheaper answer may name any one.
    const int anyOf = ThreatFivePointsAnyOf(board, colour);
    ASSERT_EQ(std::min(anyOf, ThreatManyPoints), std::min(code, ThreatManyPoints)) << colour;
    ASSERT_EQ(std::count(fives.begin(), fives.end(), anyOf % ThreatOnePoint), code != 0);
  }
  for (int p = state.moveCount % n; p < CellCount; p += n) {
    const int row = PointRow(p);
    const int col = PointCol(p);
    ASSERT_EQ(ThreatForbiddenKind(board, row, col), ForbiddenKindAt(state, row, col))
        << PointText(p);
    for (const int colour : {Black, White}) {
      if (state.cell(row, col) != Empty && state.cell(row, col) != colour) continue;
      ASSERT_EQ(ThreatFourCompletion(board, row, col, colour),
                CompletionByLines(state, row, col, colour))
          << PointText(p) << " " << colour;
      ASSERT_EQ(ThreatStraightFour(board, row, col, colour),
                StraightFourByLines(state, row, col, colour))
          << PointText(p) << " " << colour;
      if (state.cell(row, col) != Empty) continue;
      // Without a five point before, a stone of either colour makes new ones on its lines alone.
      for (const int stone : {Black, White}) {
        if (ThreatFivePointsAnyOf(board, colour) != 0) break;
        SetThreatCell(board, row, col, stone);
        const int through = ThreatFivePointsThrough(board, row, col, colour);
        const int anywhere = ThreatFivePointsAnyOf(board, colour);
        SetThreatCell(board, row, col, Empty);
        ASSERT_EQ(std::min(through, ThreatManyPoints), std::min(anywhere, ThreatManyPoints))
            << PointText(p) << " " << colour << " after " << stone;
      }
      for (int d = 0; d < 4; ++d) {
        const int index = ThreatCellIndex(d, row, col);
        const unsigned line = ThreatStraightFourPoints(board, index / BoardSize, colour);
        ASSERT_EQ((line >> index % BoardSize & 1) != 0,
                  StraightFourByLines(state, row, col, colour, d))
            << PointText(p) << " " << colour << " direction " << d;
      }
    }
  }
  ASSERT_EQ(board.cells, boardBefore.cells);
  ASSERT_EQ(state, recordBefore);
}

TEST(ThreatBoard, AgreesWithTheGameRecord) {
  // E1: a five and two fours; H8: a three whose four point is forbidden; C3: a three on a
  // five-point diagonal; G8: six and fours. White's D14-J14 is a four-four.
  const std::initializer_list<const char*> subtle[] = {
      {"A1", "B1", "C1", "D1", "E2", "E3", "E4", "D2", "C3", "B4"},
      {"G11", "G10", "H10", "G9", "H9", "F8", "I8"},
      {"B4", "D2", "D3", "E3"},
      {"G11", "J11", "G10", "I10", "G9", "H9", "D8", "E8", "F8", "H8", "I8"},
  };
  for (const auto& black : subtle) {
    GameState state = FromStones(black, {"D14", "F14", "G14", "H14", "J14"});
    ThreatBoard board = Built(state);
    ASSERT_NO_FATAL_FAILURE(ExpectThreatBoardAgrees(state, board, 1)) << *black.begin();
  }
  std::mt19937 rng(11);
  for (int game = 0; game < 24; ++game) {
    GameState state = test::FromMoves({}, game % 4 != 3);
    // The threat board follows the game stone by stone, takebacks included.
    ThreatBoard board = Built(state);
    const int length = 30 + static_cast<int>(rng() % 90);
    while (state.moveCount < length) {
      test::PlayRandomMove(state, rng);
      const MoveRecord move = state.history[state.moveCount - 1];
      SetThreatCell(board, move.row, move.col, state.cell(move.row, move.col));
      if (rng() % 5 == 0) {
        SetThreatCell(board, move.row, move.col, Empty);
        UndoMove(state);
      }
      ASSERT_NO_FATAL_FAILURE(ExpectThreatBoardAgrees(state, board, 4));
    }
  }
}

// A forbidden test marks what it reads in a watch: one more stone of the watch's colour on an
// empty point it left unmarked changes no verdict.
TEST(ThreatBoard, ForbiddenTestMarksWhatItReads) {
  std::mt19937 rng(17);
  int unmarked = 0;
  int forbidden = 0;
  for (int game = 0; game < 16; ++game) {
    GameState state = test::FromMoves({}, true);
    const int length = 20 + static_cast<int>(rng() % 70);
    while (state.moveCount < length) {
      test::PlayRandomMove(state, rng);
      ThreatBoard board = Built(state);
      for (int p = static_cast<int>(rng() % 5); p < CellCount; p += 5) {
        const int row = PointRow(p);
        const int col = PointCol(p);
        if (state.cell(row, col) != Empty) continue;
        ThreatWatch watch;
        watch.stoneColour = state.moveCount % 2 == 0 ? Black : White;
        board.watch = &watch;
        const ForbiddenKind kind = ThreatForbiddenKind(board, row, col);
        board.watch = nullptr;
        forbidden += kind != None;
        for (int q = 0; q < CellCount; ++q) {
          if (q == p || state.cell(PointRow(q), PointCol(q)) != Empty ||
              ThreatWatched(watch, PointRow(q), PointCol(q)))
            continue;
          ++unmarked;
          SetThreatCell(board, PointRow(q), PointCol(q), watch.stoneColour);
          ASSERT_EQ(ThreatForbiddenKind(board, row, col), kind)
              << PointText(p) << " with " << PointText(q) << " " << watch.stoneColour;
          SetThreatCell(board, PointRow(q), PointCol(q), Empty);
        }
      }
    }
  }
  EXPECT_GT(forbidden, 50);
  EXPECT_GT(unmarked, 10000);
}

}  // namespace
}  // namespace tesmor
