#pragma once

#include <array>
#include <string>

#include "arena/match.h"

namespace tesmor::arena {

// The match so far, from engine 1's side: results by colour, each engine's losses by reason and
// its answer times.
class Tally {
 public:
  void Add(const GameSetup& setup, const GameResult& result);
  int Games() const { return games_; }
  // The closing lines: results, score with its interval, losses by reason, answer times.
  std::string Summary(const std::array<std::string, 2>& names) const;

 private:
  struct Record {
    int wins = 0;
    int losses = 0;
    int draws = 0;
  };
  int games_ = 0;
  int interrupted_ = 0;
  Record all_;
  std::array<Record, 2> byColour_{};              // engine 1 as Black, as White
  std::array<std::array<int, 8>, 2> lossesBy_{};  // engine, EndReason
  std::array<AnswerTimes, 2> times_{};
};

// "1-0" when Black won, "0-1" when White won, "1/2-1/2" for a draw, "*" when interrupted.
std::string ResultText(const GameResult& result);

// The line printed when a game ends.
std::string GameLine(const GameSetup& setup, const GameResult& result, int gameCount,
                     const std::array<std::string, 2>& names);

// The games file: a comment header, then one tab-separated line per game with the columns
// game, opening, black engine (1 or 2), white engine, result, reason, moves, detail.
std::string GamesFileHeader(const std::string& settings);
std::string GamesFileLine(const GameSetup& setup, const GameResult& result);

}  // namespace tesmor::arena
