#include "eval/threat_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

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
int Many(const char* point) {
  return ThreatManyPoints + P(point);
}

TEST(ThreatBoard, CompletionPointsOfFoursAndFives) {
  // position, stone, the completion points of its fours
  const std::tuple<const char*, GameState, const char*, int> cases[] = {
      {"a Black four against the edge", FromStones({"A1", "B1", "C1", "D1"}), "B1", One("E1")},
      // The Black rule names the far end of an open four first, so the near end is reported.
      {"an open Black four", FromStones({"B1", "C1", "D1", "E1"}), "C1", Many("A1")},
      {"a four on a row - column diagonal", FromStones({"C10"}, {"D11", "E12", "F13", "G14"}),
       "D11", One("H15")},
      {"Black's hole that makes seven", FromStones({"A1", "B1", "C1", "E1", "F1", "G1"}), "A1", 0},
  };
  for (const auto& [what, state, stone, expected] : cases)
    EXPECT_EQ(ThreatFourCompletion(Built(state), PointRow(P(stone)), PointCol(P(stone))), expected)
        << what;

  EXPECT_EQ(ThreatFivePoints(Built(FromStones({"A1", "B1", "C1", "D1"}, {"H8"})), Black),
            One("E1"));
  EXPECT_EQ(ThreatFivePoints(Built(FromStones({"A1", "B1", "C1", "D1"}, {"H8"})), White), 0);
  // Two White fours with different completion points: the later stone in row-major order.
  const GameState twoFours =
      FromStones({"H8"}, {"A3", "B3", "C3", "D3", "A10", "B10", "C10", "D10"});
  EXPECT_EQ(ThreatFivePoints(Built(twoFours), White), ThreatManyPoints + One("E10"));
}

// The game-record reading of ThreatFourCompletion: the same line tests on ExtractLine's lines.
int RecordFourCompletion(const GameState& state, int row, int col) {
  int found = 0;
  int first = 0;
  for (int d = 0; d < 4; ++d) {
    const Line line = ExtractLine(state.cells, d, LineNumber(d, row, col));
    const LinePoints points =
        FourPointsInLine(line, LinePosition(d, row, col), state.forbiddenRulesOn);
    if (points == 0) continue;
    const BoardPoint p = LinePointToBoard(d, row, col, LastLinePoint(points));
    if (points >= 256) return ThreatManyPoints + PointIndex(p.row, p.col);
    if (found++ == 0) first = PointIndex(p.row, p.col);
  }
  return found == 0 ? 0 : (found == 1 ? ThreatOnePoint : ThreatManyPoints) + first;
}

int RecordFivePoints(const GameState& state, int colour) {
  int remembered = 0;
  for (int cell = 0; cell < CellCount; ++cell) {
    if (state.cells[cell] != colour) continue;
    const int r = RecordFourCompletion(state, cell / BoardSize, cell % BoardSize);
    if (r >= ThreatManyPoints) return r;
    if (r != 0 && remembered != 0 && r != remembered) return r + ThreatManyPoints;
    if (r != 0) remembered = r;
  }
  return remembered;
}

int RecordStraightFour(const GameState& state, int row, int col) {
  for (int d = 0; d < 4; ++d)
    if (IsStraightFourInLine(ExtractLine(state.cells, d, LineNumber(d, row, col)),
                             LinePosition(d, row, col), state.forbiddenRulesOn))
      return 1;
  return 0;
}

// Every test of the threat board answers as its game-record counterpart, at every n-th point
// (starting from the move count, so that consecutive positions cover the board), and none
// changes the board or the record.
void ExpectThreatBoardAgrees(GameState& state, ThreatBoard& board, int n = 1) {
  const GameState recordBefore = state;
  const ThreatBoard boardBefore = board;
  for (const int colour : {Black, White})
    ASSERT_EQ(ThreatFivePoints(board, colour), RecordFivePoints(state, colour)) << colour;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if ((CellIndex(row, col) + state.moveCount) % n != 0) continue;
      const std::string at = PointText(PointIndex(row, col));
      ASSERT_EQ(ThreatFourCompletion(board, row, col), RecordFourCompletion(state, row, col)) << at;
      ASSERT_EQ(ThreatStraightFour(board, row, col), RecordStraightFour(state, row, col)) << at;
      ASSERT_EQ(ThreatForbiddenKind(board, row, col), ForbiddenKindAt(state, row, col)) << at;
    }
  }
  ASSERT_EQ(board.cells, boardBefore.cells);
  ASSERT_EQ(state, recordBefore);
}

TEST(ThreatBoard, AgreesWithTheGameRecordOnTheSubtleForbiddenCases) {
  const std::initializer_list<const char*> positions[] = {
      {"A1", "B1", "C1", "D1", "E2", "E3", "E4", "D2", "C3", "B4"},  // E1: a five and two fours
      {"G11", "G10", "H10", "G9", "H9", "F8", "I8"},  // H8: a three whose four point is forbidden
      {"B4", "D2", "D3", "E3"},                       // C3: a three on a five-point diagonal
      {"G11", "J11", "G10", "I10", "G9", "H9", "D8", "E8", "F8", "H8", "I8"},  // G8: six, fours
  };
  for (const auto& black : positions) {
    GameState state = FromStones(black, {"D14", "F14", "G14", "H14", "J14"});  // White's 4-4
    ThreatBoard board = Built(state);
    ASSERT_NO_FATAL_FAILURE(ExpectThreatBoardAgrees(state, board)) << *black.begin();
  }
}

TEST(ThreatBoard, AgreesWithTheGameRecordOnRandomPositions) {
  std::mt19937 rng(11);
  int positions = 0;
  for (int game = 0; game < 24; ++game) {
    GameState state = test::FromMoves({}, game % 4 != 3);
    // The threat board follows the game stone by stone through SetThreatCell.
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
      ASSERT_EQ(board.cells, Built(state).cells) << "after " << state.moveCount << " moves";
      ASSERT_NO_FATAL_FAILURE(ExpectThreatBoardAgrees(state, board, 4));
      ++positions;
    }
  }
  EXPECT_GT(positions, 1500);
}

}  // namespace
}  // namespace tesmor
