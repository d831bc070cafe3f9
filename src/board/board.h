#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tesmor {

constexpr int BoardSize = 15;
constexpr int CellCount = BoardSize * BoardSize;
constexpr int NoPoint = 225;

constexpr int Empty = 0;
constexpr int Black = 1;
constexpr int White = -1;
// Fills the positions of a Line that lie beyond the board; never stored in GameState::cells.
constexpr int OffBoard = 1024;

constexpr int CellIndex(int row, int col) {
  return row * BoardSize + col;
}
constexpr int PointIndex(int row, int col) {
  return col * BoardSize + row;
}
constexpr int PointRow(int point) {
  return point % BoardSize;
}
constexpr int PointCol(int point) {
  return point / BoardSize;
}
constexpr bool OnBoard(int row, int col) {
  return row >= 0 && row < BoardSize && col >= 0 && col < BoardSize;
}

// A move travels as one integer: a PointIndex, -1 for the resignation of the side to move, or a
// PointPair carrying the two points of the RIF fifth-move exchange.
constexpr int Resign = -1;
constexpr int PointPairBase = 65536;
constexpr int MakePointPair(int high, int low) {
  return PointPairBase + 256 * high + low;
}
constexpr int PairHigh(int value) {
  return ((value - PointPairBase) >> 8) & 0xFF;
}
constexpr int PairLow(int value) {
  return (value - PointPairBase) & 0xFF;
}

// "H8" for the centre: column letter from the left, row number from the bottom.
std::string PointText(int point);
// Parses "h8", "H8", "O15"; returns NoPoint for anything else.
int ParsePoint(const std::string& text);

struct MoveRecord {
  int32_t row = 0;
  int32_t col = 0;
  bool operator==(const MoveRecord&) const = default;
};

// The game record that every part of the engine reads and the searches change in place. It
// carries the forbidden-move setting so that the rule tests, the evaluation and the searches all
// see the same value as the game logic that plays on it.
struct GameState {
  std::array<int32_t, CellCount> cells{};  // indexed by CellIndex
  int32_t moveCount = 0;
  int32_t focusRow = 0;  // the point that the game-end and forbidden-move tests examine
  int32_t focusCol = 0;
  int32_t lastRow = 7;
  int32_t lastCol = 7;
  std::array<MoveRecord, CellCount> history{};  // entry k is move k + 1
  int32_t forbiddenRulesOn = 0;

  int32_t& cell(int row, int col) { return cells[CellIndex(row, col)]; }
  int32_t cell(int row, int col) const { return cells[CellIndex(row, col)]; }
  int32_t SideToMove() const { return moveCount % 2 == 0 ? Black : White; }

  bool operator==(const GameState&) const = default;
};

// Empties the board and clears the forbidden-move setting; history entries are left behind.
GameState& ClearGameState(GameState& state);

// Records a stone of the side to move on an empty point.
void RecordMove(GameState& state, int row, int col);
// Takes back the newest move.
void UndoMove(GameState& state);

// A board line with two OffBoard guards at each end: position k of the line is entry k + 2.
using Line = std::array<int32_t, 19>;

enum Direction : int { Row = 0, Column = 1, Diagonal = 2, AntiDiagonal = 3 };

// The line number and position of (row, col) on its line of the given direction.
constexpr int LineNumber(int direction, int row, int col) {
  switch (direction) {
    case 0:
      return row;
    case 1:
      return col;
    case 2:
      return row + col;
    default:
      return row - col + 14;
  }
}
constexpr int LinePosition(int direction, int row, int col) {
  switch (direction) {
    case 0:
      return col;
    case 1:
      return row;
    case 2:
      return col;
    default:
      return 14 - col;
  }
}
// The board point at position pos of the line of the given direction through (row, col).
struct BoardPoint {
  int row;
  int col;
};
constexpr BoardPoint LinePointToBoard(int direction, int row, int col, int pos) {
  switch (direction) {
    case 0:
      return {row, pos};
    case 1:
      return {pos, col};
    case 2:
      return {row + col - pos, pos};
    default:
      return {row - col + 14 - pos, 14 - pos};
  }
}

Line ExtractLine(const std::array<int32_t, CellCount>& cells, int direction, int lineNumber);

// The four lines through one point, with the pattern counters that the evaluation fills.
struct LineSet {
  GameState* state = nullptr;
  std::array<Line, 4> lines{};
  std::array<int32_t, 22> counters{};
};

LineSet ExtractLines(GameState& state, int row, int col);

// Does the stone at position pos belong to a five on this line? Under forbidden rules Black's
// five must be exact.
int IsFiveInLine(const Line& line, int pos, bool forbiddenRulesOn);
int IsFiveAt(const GameState& state, int row, int col);
// The colour of the five through the focus point, or 0.
int WinnerAtFocus(const GameState& state);

}  // namespace tesmor
