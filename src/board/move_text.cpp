#include "board/move_text.h"

#include <cctype>

namespace tesmor {

namespace {

bool IsSeparator(char ch) {
  return std::isspace(static_cast<unsigned char>(ch)) || ch == ',';
}

}  // namespace

std::string MoveListText(const GameState& state) {
  std::string text;
  for (int i = 0; i < state.moveCount; ++i) {
    const MoveRecord move = state.history[static_cast<size_t>(i)];
    if (i > 0) text += ' ';
    text += PointText(PointIndex(move.row, move.col));
  }
  return text;
}

bool ReadMoveList(const std::string& text, GameState& state, MoveTextError& error) {
  GameState parsed;
  ClearGameState(parsed);
  parsed.forbiddenRulesOn = state.forbiddenRulesOn;
  size_t i = 0;
  while (i < text.size()) {
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string word = text.substr(i, end - i);
    i = end;
    const int point = ParsePoint(word);
    const auto refuse = [&](MoveTextFault fault) {
      error = {fault, word};
      return false;
    };
    if (point == NoPoint) return refuse(MoveTextFault::UnknownPoint);
    if (parsed.cell(PointRow(point), PointCol(point)) != Empty)
      return refuse(MoveTextFault::PlayedTwice);
    RecordMove(parsed, PointRow(point), PointCol(point));
  }
  state = parsed;
  return true;
}

}  // namespace tesmor
