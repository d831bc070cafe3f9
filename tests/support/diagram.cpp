#include "support/diagram.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "board/forbidden.h"

namespace tesmor::test {

Diagram FromDiagram(std::initializer_list<const char*> rows, const char* bottomLeft,
                    bool forbiddenRulesOn) {
  Diagram diagram{FromMoves({}, forbiddenRulesOn)};
  const int origin = P(bottomLeft);
  const int height = static_cast<int>(rows.size());
  int r = 0;
  for (const char* text : rows) {
    const int row = PointRow(origin) + height - 1 - r;
    for (int k = 0; text[k] != '\0'; ++k) {
      const int col = PointCol(origin) + k;
      const char ch = text[k];
      if (ch == ' ') continue;
      if (!OnBoard(row, col)) {
        ADD_FAILURE() << "diagram runs off the board at row " << row << " col " << col;
        continue;
      }
      if (ch == 'X') diagram.state.SetUpStone(row, col, Black);
      if (ch == 'O') diagram.state.SetUpStone(row, col, White);
      if (ch == '*') diagram.markRow = row, diagram.markCol = col;
    }
    ++r;
  }
  return diagram;
}

Line LineFrom(const std::string& cells) {
  Line line;
  line.fill(Empty);
  line[0] = line[1] = line[17] = line[18] = OffBoard;
  for (size_t k = 0; k < cells.size() && k < 15; ++k) {
    const char ch = cells[k];
    line[k + 2] = ch == 'X' ? Black : ch == 'O' ? White : ch == '#' ? OffBoard : Empty;
  }
  return line;
}

void PlayRandomMove(GameState& state, std::mt19937& rng) {
  if (state.moveCount >= CellCount) return;
  for (;;) {
    int row = static_cast<int>(rng() % BoardSize);
    int col = static_cast<int>(rng() % BoardSize);
    if (state.moveCount > 0 && rng() % 6 != 0) {
      const MoveRecord near = state.history[rng() % static_cast<unsigned>(state.moveCount)];
      row = near.row + static_cast<int>(rng() % 5) - 2;
      col = near.col + static_cast<int>(rng() % 5) - 2;
    }
    if (OnBoard(row, col) && state.cell(row, col) == Empty) {
      RecordMove(state, row, col);
      return;
    }
  }
}

GameState RandomPosition(std::mt19937& rng, int moves, bool forbiddenRulesOn) {
  GameState state = FromMoves({}, forbiddenRulesOn);
  while (state.moveCount < std::min(moves, CellCount)) PlayRandomMove(state, rng);
  return state;
}

GameState FromMoves(std::initializer_list<const char*> moves, bool forbiddenRulesOn) {
  GameState state;
  ClearGameState(state);
  state.forbiddenRulesOn = forbiddenRulesOn ? 1 : 0;
  for (const char* text : moves) {
    const int p = P(text);
    RecordMove(state, PointRow(p), PointCol(p));
  }
  return state;
}

GameState FromStones(std::initializer_list<const char*> black,
                     std::initializer_list<const char*> white, bool forbiddenRulesOn) {
  GameState state = FromMoves({}, forbiddenRulesOn);
  for (const char* point : black) state.SetUpStone(PointRow(P(point)), PointCol(P(point)), Black);
  for (const char* point : white) state.SetUpStone(PointRow(P(point)), PointCol(P(point)), White);
  return state;
}

int P(const char* text) {
  const int point = ParsePoint(text);
  EXPECT_NE(point, NoPoint) << text;
  return point;
}

bool IsLegalMove(GameState game, int point) {
  if (point < 0 || point >= CellCount || game.cell(PointRow(point), PointCol(point)) != Empty)
    return false;
  return game.SideToMove() != Black ||
         ForbiddenKindAt(game, PointRow(point), PointCol(point)) == None;
}

}  // namespace tesmor::test
