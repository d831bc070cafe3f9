#pragma once

#include <atomic>
#include <optional>

#include "board/board.h"
#include "book/opening_book.h"
#include "search/computer_answer.h"
#include "search/search_settings.h"

namespace tesmor {

// One request for the computer's move, in the menu's terms.
struct MoveRequest {
  int level = 8;  // the menu's "0级".."9级"
  SearchMode mode = SearchMode::Fast;
  RuleSet rules = RuleSet::Rif;
  bool useBook = true;
  // Black has offered two fifth moves: the first is on the board, this one beside it.
  bool offeringsOpen = false;
  MoveRecord secondOffer{-1, -1};
  std::atomic<bool>* stopRequested = nullptr;  // may be null: nothing stops the search
  SearchProgress* progress = nullptr;          // may be null
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
};

}  // namespace tesmor
