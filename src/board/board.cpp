#include "board/board.h"

#include <algorithm>
#include <cctype>

namespace tesmor {

std::string PointText(int point) {
  if (point < 0 || point >= CellCount) return "--";
  std::string text(1, static_cast<char>('A' + PointCol(point)));
  text += std::to_string(PointRow(point) + 1);
  return text;
}

int ParsePoint(const std::string& text) {
  if (text.size() < 2 || text.size() > 3) return NoPoint;
  const int col = std::toupper(static_cast<unsigned char>(text[0])) - 'A';
  int number = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return NoPoint;
    number = number * 10 + (text[i] - '0');
  }
  if (text[1] == '0') return NoPoint;
  const int row = number - 1;
  return OnBoard(row, col) ? PointIndex(row, col) : NoPoint;
}

uint64_t ComputeKey(const GameState& state) {
  uint64_t key = state.SideToMove() == White ? kZobrist.whiteToMove : 0;
  for (int index = 0; index < CellCount; ++index) {
    const int c = state.cells[index];
    if (c == Black || c == White) key ^= ZobristStone(c, index);
  }
  return key;
}

bool GameState::operator==(const GameState& other) const {
  const auto played = history.begin() + moveCount;
  return cells.get() == other.cells.get() && moveCount == other.moveCount &&
         std::equal(history.begin(), played, other.history.begin()) && focusRow == other.focusRow &&
         focusCol == other.focusCol && forbiddenRulesOn == other.forbiddenRulesOn &&
         key_ == other.key_;
}

GameState& ClearGameState(GameState& state) {
  state.ClearStones();
  state.focusRow = 0;
  state.focusCol = 0;
  state.forbiddenRulesOn = 0;
  return state;
}

void RecordMove(GameState& state, int row, int col) {
  state.Play(row, col);
  state.focusRow = row;
  state.focusCol = col;
}

void UndoMove(GameState& state) {
  if (state.moveCount == 0) return;
  state.Undo();
  if (state.moveCount > 0) {
    const MoveRecord previous = state.history[state.moveCount - 1];
    state.focusRow = previous.row;
    state.focusCol = previous.col;
  }
}

Line ExtractLine(const std::array<int32_t, CellCount>& cells, int direction, int lineNumber) {
  // The on-board part of a line is one arithmetic run of cell indices, base + step * k for the
  // positions k = first..last; every other position stays OffBoard.
  int base = 0;
  int step = 1;
  int first = 0;
  int last = BoardSize - 1;
  switch (direction) {
    case 0:  // cell(lineNumber, k)
      base = lineNumber * BoardSize;
      break;
    case 1:  // cell(k, lineNumber)
      base = lineNumber;
      step = BoardSize;
      break;
    case 2:  // cell(lineNumber - k, k)
      base = lineNumber * BoardSize;
      step = 1 - BoardSize;
      first = std::max(0, lineNumber - 14), last = std::min(14, lineNumber);
      break;
    default:  // cell(lineNumber - k, 14 - k)
      base = lineNumber * BoardSize + 14;
      step = -1 - BoardSize;
      first = std::max(0, lineNumber - 14), last = std::min(14, lineNumber);
      break;
  }
  Line line;
  line.fill(OffBoard);
  for (int k = first; k <= last; ++k) line[k + 2] = cells[base + step * k];
  return line;
}

LineSet ExtractLines(GameState& state, int row, int col) {
  LineSet set;
  set.state = &state;
  for (int d = 0; d < 4; ++d) set.lines[d] = ExtractLine(state.cells, d, LineNumber(d, row, col));
  return set;
}

int IsFiveInLine(const Line& line, int pos, bool forbiddenRulesOn) {
  const int c = line[pos + 2];
  if (c != Black && c != White) return 0;
  const bool exactOnly = forbiddenRulesOn && c == Black;
  for (int w = std::max(pos - 4, 0); w <= std::min(pos, 10); ++w) {
    const int* run = &line[w + 2];
    if (run[0] + run[1] + run[2] + run[3] + run[4] != 5 * c) continue;
    if (!exactOnly) return 1;
    if (line[w + 1] != Black && line[w + 7] != Black) return 1;
  }
  return 0;
}

int IsFiveAt(const GameState& state, int row, int col) {
  if (state.cell(row, col) == Empty) return 0;
  for (int d = 0; d < 4; ++d) {
    const Line line = ExtractLine(state.cells, d, LineNumber(d, row, col));
    if (IsFiveInLine(line, LinePosition(d, row, col), state.forbiddenRulesOn)) return 1;
  }
  return 0;
}

int WinnerAtFocus(const GameState& state) {
  if (!OnBoard(state.focusRow, state.focusCol)) return 0;
  return IsFiveAt(state, state.focusRow, state.focusCol)
             ? state.cell(state.focusRow, state.focusCol)
             : 0;
}

}  // namespace tesmor
