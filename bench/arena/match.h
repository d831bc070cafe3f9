#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/forbidden.h"

namespace tesmor::arena {

// An engine as the arena runs it: its command and the INFO lines only it is sent.
struct EngineSetup {
  std::string name;
  std::vector<std::string> argv;
  std::vector<std::string> info;  // e.g. "level 9", sent as "INFO level 9"
};

// What every game of a match shares.
struct MatchSettings {
  bool renju = true;           // Black's forbidden moves (INFO rule 4), else rule 0
  int64_t turnMs = 1000;       // INFO timeout_turn
  int64_t matchMs = 0;         // INFO timeout_match per game and engine, 0: none
  int64_t toleranceMs = 1000;  // how late an answer may come before it loses on time
  int64_t memoryBytes = 0;     // INFO max_memory, 0: none
  int64_t startMs = 10000;     // how long START may take (an engine loads its book then)
  std::chrono::milliseconds endGrace{1000};  // after END, before the engine is killed
  // Every line to and from the engines, prefixed; called from the game's thread.
  std::function<void(const std::string&)> log;
  const std::atomic<bool>* interrupt = nullptr;  // set: games stop and count for nobody
};

// One game: a starting position and which engine (0 or 1) plays Black.
struct GameSetup {
  int number = 1;
  std::string opening;     // how the games file names the start, e.g. "3" or "pos2"
  std::vector<int> start;  // PointIndex stones, Black first
  int blackEngine = 0;
};

enum class EndReason { Five, Foul, Illegal, Crash, Timeout, MatchTime, FullBoard, Interrupted };
const char* EndReasonName(EndReason reason);

// How long one engine took for its moves of a game, as the arena measured it.
struct AnswerTimes {
  int moves = 0;
  int64_t totalMs = 0;
  int64_t maxMs = 0;
};

struct GameResult {
  int winner = -1;  // engine 0 or 1; -1 for a draw or an interrupted game
  int winnerColour = Empty;
  EndReason reason = EndReason::FullBoard;
  ForbiddenKind foul = None;
  std::string detail;  // what the loser did, in words
  std::string moves;   // the whole game in the project's move text, opening stones included
  int moveCount = 0;
  std::array<AnswerTimes, 2> times{};
  int Loser() const { return winner < 0 ? -1 : 1 - winner; }
};

// Plays one game between two engines started for it, and stops them whatever happens.
GameResult PlayGame(const GameSetup& game, const std::array<EngineSetup, 2>& engines,
                    const MatchSettings& settings);

}  // namespace tesmor::arena
