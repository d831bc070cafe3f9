#include "arena/match.h"

#include <algorithm>

#include "arena/referee.h"
#include "board/input_echo.h"
#include "board/move_text.h"
#include "cli/engine_process.h"
#include "cli/gomocup_protocol.h"

namespace tesmor::arena {

using gomocup::Clock;
using gomocup::EngineProcess;
using gomocup::ReadStatus;

namespace {

using std::chrono::milliseconds;

int64_t MsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration_cast<milliseconds>(to - from).count();
}

// Lines an engine may write besides its answer; the arena logs them and reads on.
bool IsCommentLine(const std::string& line) {
  const std::string word = gomocup::SplitCommand(line).keyword;
  return word == "MESSAGE" || word == "DEBUG" || word == "UNKNOWN" || word == "ERROR";
}

// One game in progress: the position as the referee keeps it, the two engine processes, and
// which of them has been shown the board.
class Game {
 public:
  Game(const GameSetup& setup, const std::array<EngineSetup, 2>& engines,
       const MatchSettings& settings)
      : setup_(setup), engines_(engines), settings_(settings) {
    ClearGameState(game_);
    game_.forbiddenRulesOn = settings.renju;
    for (const int point : setup.start) RecordMove(game_, PointRow(point), PointCol(point));
    for (int64_t& left : leftMs_) left = settings.matchMs;
  }

  GameResult Play();

 private:
  int EngineToMove() const {
    return game_.SideToMove() == Black ? setup_.blackEngine : 1 - setup_.blackEngine;
  }
  bool StartEngine(int e);
  void SendPosition(int e);
  bool AskMove(int e, int& point);
  void Lose(int e, EndReason reason, const std::string& detail);
  void Log(int e, const char* direction, const std::string& line) const;
  bool Send(int e, const std::string& line);
  bool AwaitAnswer(int e, Clock::time_point deadline, bool onMatchClock, const char* request,
                   std::string& line);

  const GameSetup& setup_;
  const std::array<EngineSetup, 2>& engines_;
  const MatchSettings& settings_;
  GameState game_;
  std::array<EngineProcess, 2> process_;
  std::array<bool, 2> shown_{false, false};  // has the engine been sent the position yet?
  std::array<int64_t, 2> leftMs_{};
  GameResult result_;
  bool over_ = false;
};

void Game::Log(int e, const char* direction, const std::string& line) const {
  if (settings_.log)
    settings_.log("game " + std::to_string(setup_.number) + " engine " + std::to_string(e + 1) +
                  direction + line);
}

bool Game::Send(int e, const std::string& line) {
  Log(e, " < ", line);
  return process_[e].Send(line);
}

void Game::Lose(int e, EndReason reason, const std::string& detail) {
  result_.winner = 1 - e;
  result_.winnerColour = e == setup_.blackEngine ? White : Black;
  result_.reason = reason;
  result_.detail = "engine " + std::to_string(e + 1) + ": " + detail;
  over_ = true;
}

// Reads lines up to the first that is not a comment. False when the game ended instead: the
// engine lost on time or by leaving, or the match was interrupted.
bool Game::AwaitAnswer(int e, Clock::time_point deadline, bool onMatchClock, const char* request,
                       std::string& line) {
  while (true) {
    const ReadStatus status = process_[e].ReadLine(deadline, line, settings_.interrupt);
    if (status == ReadStatus::Line) {
      Log(e, " > ", line);
      if (!IsCommentLine(line)) return true;
      // Comments do not stop the clock: an engine that writes them without end runs out of time.
      if (Clock::now() < deadline) continue;
    }
    if (status == ReadStatus::Line || status == ReadStatus::Timeout) {
      Lose(e, onMatchClock ? EndReason::MatchTime : EndReason::Timeout,
           onMatchClock ? "match time used up" : std::string("no answer in time to ") + request);
    } else if (status == ReadStatus::Closed) {
      const std::string how = process_[e].Stop(settings_.endGrace);
      Lose(e, EndReason::Crash, "closed its output (" + how + ")");
    } else {
      result_.reason = EndReason::Interrupted;
      over_ = true;
    }
    return false;
  }
}

bool Game::StartEngine(int e) {
  std::string error;
  if (!process_[e].Start(engines_[e].argv, error)) {
    Lose(e, EndReason::Crash, error);
    return false;
  }
  Send(e, "START " + std::to_string(BoardSize));
  std::string line;
  if (!AwaitAnswer(e, Clock::now() + milliseconds(settings_.startMs), false, "START", line))
    return false;
  if (gomocup::UpperCase(line) != "OK") {
    Lose(e, EndReason::Illegal,
         "answered START with '" + EchoInput(line, {.maxChars = 40, .asciiOnly = true}) + "'");
    return false;
  }
  Send(e, "INFO timeout_turn " + std::to_string(settings_.turnMs));
  Send(e, "INFO timeout_match " + std::to_string(settings_.matchMs));
  if (settings_.matchMs > 0) Send(e, "INFO time_left " + std::to_string(settings_.matchMs));
  Send(e, "INFO max_memory " + std::to_string(settings_.memoryBytes));
  Send(e, std::string("INFO rule ") + (settings_.renju ? "4" : "0"));
  for (const std::string& info : engines_[e].info) Send(e, "INFO " + info);
  return true;
}

// The request for a move: the whole position the first time an engine is asked (BEGIN on an
// empty board), the opponent's newest stone after that.
void Game::SendPosition(int e) {
  if (settings_.matchMs > 0) Send(e, "INFO time_left " + std::to_string(leftMs_[e]));
  if (shown_[e]) {
    const MoveRecord last = game_.history[static_cast<size_t>(game_.moveCount - 1)];
    Send(e, "TURN " + gomocup::MoveText(PointIndex(last.row, last.col)));
    return;
  }
  shown_[e] = true;
  if (game_.moveCount == 0) {
    Send(e, "BEGIN");
    return;
  }
  // The engine's own stones are field 1 and the opponent's 2; the engine is to move, so its
  // colour is the side to move's.
  Send(e, "BOARD");
  for (int i = 0; i < game_.moveCount; ++i) {
    const MoveRecord move = game_.history[static_cast<size_t>(i)];
    const bool own = (i % 2 == 0) == (game_.SideToMove() == Black);
    Send(e, gomocup::MoveText(PointIndex(move.row, move.col)) + (own ? ",1" : ",2"));
  }
  Send(e, "DONE");
}

bool Game::AskMove(int e, int& point) {
  SendPosition(e);
  const Clock::time_point sent = Clock::now();
  const int64_t turnLimit = settings_.turnMs + settings_.toleranceMs;
  const bool matchBound = settings_.matchMs > 0 && leftMs_[e] < settings_.turnMs;
  const int64_t limit =
      matchBound ? std::max<int64_t>(leftMs_[e], 0) + settings_.toleranceMs : turnLimit;
  std::string line;
  if (!AwaitAnswer(e, sent + milliseconds(limit), matchBound, "a move request", line)) return false;
  const int64_t took = MsBetween(sent, Clock::now());
  if (took > limit) {
    Lose(e, matchBound ? EndReason::MatchTime : EndReason::Timeout,
         "answered after " + std::to_string(took) + " ms");
    return false;
  }
  AnswerTimes& times = result_.times[static_cast<size_t>(e)];
  ++times.moves;
  times.totalMs += took;
  times.maxMs = std::max(times.maxMs, took);
  if (settings_.matchMs > 0) leftMs_[e] -= took;
  const AnswerReading reading = arena::ReadAnswer(game_, line);
  if (!reading.fault.empty()) {
    Lose(e, EndReason::Illegal, reading.fault);
    return false;
  }
  point = reading.point;
  return true;
}

GameResult Game::Play() {
  if (StartEngine(0) && StartEngine(1)) {
    while (!over_) {
      const int e = EngineToMove();
      int point = NoPoint;
      if (!AskMove(e, point)) break;
      const MoveJudgement judgement = PlayAndJudge(game_, point);
      if (judgement.outcome == MoveOutcome::Five) {
        result_.winner = e;
        result_.winnerColour = game_.cell(PointRow(point), PointCol(point));
        result_.reason = EndReason::Five;
        over_ = true;
      } else if (judgement.outcome == MoveOutcome::Foul) {
        Lose(e, EndReason::Foul,
             ForbiddenKindName(judgement.foul) + std::string(" at ") + PointText(point));
        result_.foul = judgement.foul;
      } else if (judgement.outcome == MoveOutcome::FullBoard) {
        result_.reason = EndReason::FullBoard;
        over_ = true;
      }
    }
  }
  for (EngineProcess& process : process_) process.Stop(settings_.endGrace);
  result_.moves = MoveListText(game_);
  result_.moveCount = game_.moveCount;
  return result_;
}

}  // namespace

const char* EndReasonName(EndReason reason) {
  switch (reason) {
    case EndReason::Five:
      return "five";
    case EndReason::Foul:
      return "foul";
    case EndReason::Illegal:
      return "illegal";
    case EndReason::Crash:
      return "crash";
    case EndReason::Timeout:
      return "timeout";
    case EndReason::MatchTime:
      return "match-time";
    case EndReason::FullBoard:
      return "draw";
    case EndReason::Interrupted:
      return "interrupted";
  }
  return "?";
}

GameResult PlayGame(const GameSetup& game, const std::array<EngineSetup, 2>& engines,
                    const MatchSettings& settings) {
  return Game(game, engines, settings).Play();
}

}  // namespace tesmor::arena
