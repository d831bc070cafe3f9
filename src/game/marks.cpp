#include "game/marks.h"

#include "board/forbidden.h"

namespace tesmor {

std::vector<BoardPoint> ForbiddenPoints(const GameState& state) {
  std::vector<BoardPoint> points;
  if (!state.forbiddenRulesOn) return points;
  // The rule test lays a probe stone for its length; a copy keeps the caller's record const.
  GameState probe = state;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col)
      if (probe.cell(row, col) == Empty && ForbiddenKindAt(probe, row, col) != None)
        points.push_back({row, col});
  return points;
}

std::vector<BoardPoint> FiveStones(const GameState& state, int row, int col) {
  std::vector<BoardPoint> stones;
  const int colour = state.cell(row, col);
  if (colour != Black && colour != White) return stones;
  for (int d = 0; d < 4; ++d) {
    const int number = LineNumber(d, row, col);
    const int pos = LinePosition(d, row, col);
    const Line line = ExtractLine(state.cells, d, number);
    if (!IsFiveInLine(line, pos, state.forbiddenRulesOn)) continue;
    // The unbroken run of the stone's colour through it; the test above says it makes a five.
    int first = pos;
    // The stone itself lies on every line through it: listed once, first.
    if (stones.empty()) stones.push_back({row, col});
    while (line[first + 1] == colour) --first;
    for (int p = first; line[p + 2] == colour; ++p) {
      const BoardPoint point = LinePointToBoard(d, row, col, p);
      if (p != pos) stones.push_back(point);
    }
  }
  return stones;
}

}  // namespace tesmor
