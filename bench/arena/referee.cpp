#include "arena/referee.h"

#include "board/input_echo.h"
#include "cli/gomocup_protocol.h"

namespace tesmor::arena {

namespace {
// An engine's line as a message may repeat it: short, one line, plain ASCII.
std::string Quoted(const std::string& line) {
  return "'" + EchoInput(line, {.maxChars = 40, .asciiOnly = true}) + "'";
}
}  // namespace

AnswerReading ReadAnswer(const GameState& game, const std::string& line) {
  AnswerReading reading;
  const auto move = gomocup::ParseMove(line);
  if (!move) {
    reading.fault = "no move: " + Quoted(line);
    return reading;
  }
  if (move->x < 0 || move->x >= BoardSize || move->y < 0 || move->y >= BoardSize) {
    reading.fault = "off the board: " + Quoted(line);
    return reading;
  }
  const int point = gomocup::PointFromProtocol(*move);
  if (game.cell(PointRow(point), PointCol(point)) != Empty) {
    reading.fault = "occupied point " + PointText(point);
    return reading;
  }
  reading.point = point;
  return reading;
}

MoveJudgement PlayAndJudge(GameState& game, int point) {
  const int row = PointRow(point);
  const int col = PointCol(point);
  RecordMove(game, row, col);
  MoveJudgement judgement;
  if (IsFiveAt(game, row, col)) {
    judgement.outcome = MoveOutcome::Five;
    return judgement;
  }
  if (game.forbiddenRulesOn && game.cell(row, col) == Black) {
    judgement.foul = ForbiddenKindAt(game, row, col);
    if (judgement.foul != None) {
      judgement.outcome = MoveOutcome::Foul;
      return judgement;
    }
  }
  if (game.moveCount == CellCount || NoPointOpenToBlack(game))
    judgement.outcome = MoveOutcome::FullBoard;
  return judgement;
}

}  // namespace tesmor::arena
