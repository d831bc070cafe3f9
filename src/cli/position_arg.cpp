#include "cli/position_arg.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "board/input_echo.h"
#include "board/move_text.h"
#include "game/position_file.h"

namespace tesmor {

namespace {

bool LooksLikeFile(const std::string& text) {
  if (text.find('/') != std::string::npos) return true;
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".pos") == 0) return true;
  std::error_code ignored;
  return std::filesystem::is_regular_file(text, ignored);
}

}  // namespace

bool ParseMoveList(const std::string& text, GameState& state, std::string& error) {
  MoveTextError fault;
  if (ReadMoveList(text, state, fault)) return true;
  switch (fault.fault) {
    case MoveTextFault::UnknownPoint:
      error = "unknown point '" + EchoInput(fault.word) + "'";
      break;
    case MoveTextFault::PlayedTwice:
      error = "point " + PointText(ParsePoint(fault.word)) + " is played twice";
      break;
    case MoveTextFault::None:
      break;
  }
  return false;
}

bool ParsePositionArgument(const std::string& text, GameState& state, std::string& error) {
  if (!text.empty() && text.find_first_not_of(" \t\n\r\f\v,") == std::string::npos) {
    error = "no moves in '" + EchoInput(text) + "' (the empty board is written \"\")";
    return false;
  }
  if (!LooksLikeFile(text)) return ParseMoveList(text, state, error);
  const PositionFileResult read = ReadPositionFile(text);
  if (!read.ok) {
    error = "position file " + EchoInput(text) + " refused: " + read.error;
    return false;
  }
  GameState loaded;
  ClearGameState(loaded);
  loaded.forbiddenRulesOn = state.forbiddenRulesOn;
  ApplyPositionFile(loaded, read.file);
  if (loaded.moveCount > 0) {
    const MoveRecord last = loaded.history[loaded.moveCount - 1];
    loaded.focusRow = last.row;
    loaded.focusCol = last.col;
  }
  state = loaded;
  return true;
}

int StoneOfFive(const GameState& state) {
  GameState anyRules = state;
  anyRules.forbiddenRulesOn = 0;
  for (int point = 0; point < CellCount; ++point)
    if (IsFiveAt(anyRules, PointRow(point), PointCol(point))) return point;
  return NoPoint;
}

}  // namespace tesmor
