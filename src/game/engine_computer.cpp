#include "game/engine_computer.h"

#include "book/book_location.h"
#include "search/computer_move.h"
#include "search/vcf.h"

namespace tesmor {

EngineComputer::EngineComputer(std::ostream& console) : context_(random_, &book_, &console) {}

BookLoadReport EngineComputer::LoadOpeningBook() {
  return tesmor::LoadOpeningBook(book_);
}

ComputerAnswer EngineComputer::ChooseMove(GameState game, const MoveRequest& request) {
  context_.settings.searchMode = request.mode;
  context_.settings.rifRules = request.rules == RuleSet::Rif;
  context_.settings.useBook = request.useBook;
  context_.settings.rifFifthState = request.offeringsOpen ? 2 : 0;
  context_.settings.secondOffer = request.secondOffer;
  context_.progress = request.progress;
  context_.masterTime = request.masterTime;
  context_.masterThreads = request.masterThreads;
  context_.SetStopFlag(request.stopRequested);
  game.forbiddenRulesOn = request.rules != RuleSet::Free;
  return ComputerMoveAtLevel(context_, game, request.level);
}

std::optional<int> EngineComputer::FindVcf(GameState game, int limit, std::atomic<bool>* stop) {
  context_.SetStopFlag(stop);
  const int point = tesmor::FindVcf(context_, game, limit);
  if (point >= VcfNone || context_.Stopped()) return std::nullopt;
  return point;
}

std::optional<VcfWin> EngineComputer::FindVcfWin(GameState game, int limit,
                                                 std::atomic<bool>* stop) {
  const std::optional<int> point = FindVcf(game, limit, stop);
  if (!point) return std::nullopt;
  return VcfWin{*point, context_.vcfLength};
}

}  // namespace tesmor
