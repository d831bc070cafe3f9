#pragma once

#include <iosfwd>
#include <string>

#include "board/random_source.h"
#include "book/opening_book.h"
#include "game/computer_player.h"
#include "search/search_context.h"

namespace tesmor {

// The program's computer: the search with its opening book and one search context that lives
// as long as the player, so that the evaluation's caches carry over from move to move. Console
// lines of the search ("思考中..." and the node counts) go to the given stream. One computation
// at a time: the context is not shared between threads.
class EngineComputer final : public ComputerPlayer {
 public:
  explicit EngineComputer(std::ostream& console);
  EngineComputer(const EngineComputer&) = delete;
  EngineComputer& operator=(const EngineComputer&) = delete;

  BookLoadReport LoadOpeningBook() override;
  // Reads the book from this file rather than from where the program looks for it.
  BookLoadReport LoadOpeningBookFile(const std::string& path) { return book_.Load(path); }
  ComputerAnswer ChooseMove(GameState game, const MoveRequest& request) override;
  std::optional<int> FindVcf(GameState game, int limit, std::atomic<bool>* stop) override;
  std::optional<VcfWin> FindVcfWin(GameState game, int limit, std::atomic<bool>* stop) override;

  const OpeningBook& book() const { return book_; }
  // Sizes the search's caches, and the master search's table to half as many megabytes; between
  // computations only.
  void SetTableMegabytes(size_t megabytes) {
    context_.SetTableMegabytes(megabytes);
    context_.SetMasterTableMegabytes(megabytes / 2);
  }
  // The evaluation and ordering weights of "大师".
  void SetMasterWeights(const MasterWeights& weights) { context_.master().SetWeights(weights); }
  // What the last master search found: depth, score, nodes, principal variation.
  const MasterResult& LastMasterResult() const { return context_.masterResult; }

 private:
  ClockRandom random_;
  OpeningBook book_;
  SearchContext context_;
};

}  // namespace tesmor
