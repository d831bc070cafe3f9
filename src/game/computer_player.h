#pragma once

#include <atomic>
#include <chrono>
#include <optional>

#include "board/board.h"
#include "book/opening_book.h"
#include "search/computer_answer.h"
#include "search/search_settings.h"

namespace tesmor {

// The menu's "大师", after "9级": the master search, which thinks for a set time.
inline constexpr int MasterLevel = 10;

// One request for the computer's move, in the menu's terms.
struct MoveRequest {
  int level = 8;                               // the menu's "0级".."9级", or MasterLevel
  std::chrono::milliseconds masterTime{3000};  // how long "大师" thinks for one move
  int masterThreads = 1;                       // the threads "大师" searches with
  SearchMode mode = SearchMode::Fast;
  RuleSet rules = RuleSet::Rif;
  bool useBook = true;
  // Black has offered two fifth moves: the first is on the board, this one beside it.
  bool offeringsOpen = false;
  MoveRecord secondOffer{-1, -1};
  std::atomic<bool>* stopRequested = nullptr;  // may be null: nothing stops the search
  SearchProgress* progress = nullptr;          // may be null
};

// A win by continuous fours: its first move, and how many moves of the attacker it takes until
// the win cannot be stopped (0 when not known).
struct VcfWin {
  int point;
  int length;
};

// What the game controller and its workers ask of the engine. Each call searches the copy of
// the record it is given, so the caller's record may change while it runs. The program plays
// with the search engine behind it; controller tests script the answers.
class ComputerPlayer {
 public:
  virtual ~ComputerPlayer() = default;
  // Finds and reads the opening book: whether one was read, and whether it was damaged.
  virtual BookLoadReport LoadOpeningBook() = 0;
  virtual ComputerAnswer ChooseMove(GameState game, const MoveRequest& request) = 0;
  // The first move of a win by continuous fours for the side to move, searched up to limit
  // attacking steps; nothing when there is none, none was found, or stop was set.
  virtual std::optional<int> FindVcf(GameState game, int limit, std::atomic<bool>* stop) = 0;
  // The same search, with the length of the win when the player knows it.
  virtual std::optional<VcfWin> FindVcfWin(GameState game, int limit, std::atomic<bool>* stop) {
    const std::optional<int> point = FindVcf(game, limit, stop);
    if (!point) return std::nullopt;
    return VcfWin{*point, 0};
  }
};

}  // namespace tesmor
