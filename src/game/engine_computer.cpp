#include "game/engine_computer.h"

#include "book/book_location.h"
#include "search/computer_move.h"
#include "search/vcf.h"

namespace tesmor {

EngineComputer::EngineComputer(std::ostream& console) : context_(random_, &book_, &console) {}

BookLoadReport EngineComputer::LoadOpeningBook() {
  return tesmor::LoadOpeningBook(book_);
}

int EngineComputer::ChooseComputerMove(GameState& game, const MoveRequest& request) {
  context_.settings = request.settings;
  context_.progress = request.progress;
  context_.SetStopFlag(request.stopRequested);
  return tesmor::ChooseComputerMove(context_, game, request.levelArg);
}

int EngineComputer::FindVcf(GameState& game, int limit) {
  return tesmor::FindVcf(context_, game, limit);
}

}  // namespace tesmor
