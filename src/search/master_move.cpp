#include "search/master_move.h"

#include <algorithm>
#include <vector>

#include "board/symmetry.h"

namespace tesmor {

namespace {

constexpr int Centre = 112;  // H8

MasterLimits LimitsFor(SearchContext& context, std::chrono::milliseconds time) {
  MasterLimits limits;
  // A time of 0 means no limit: half of a 1 ms thinking time must not become that.
  limits.time = std::max(time, std::chrono::milliseconds(1));
  limits.stop = &context.stopRequested();
  limits.threads = context.masterThreads;
  return limits;
}

MasterResult RunMaster(SearchContext& context, const GameState& game, const MasterLimits& limits) {
  MasterResult result = context.master().Search(game, limits, context.progress);
  context.masterResult = result;
  return result;
}

// Black offers two fifth moves: the best point, and the best of those that are not the same
// offering as it under the board's symmetries.
int OfferTwoFifths(SearchContext& context, GameState& game) {
  const MasterResult best = RunMaster(context, game, LimitsFor(context, context.masterTime / 2));
  if (best.point >= NoPoint) return NoPoint;
  MasterLimits limits = LimitsFor(context, context.masterTime / 2);
  limits.excludedPoints.push_back(best.point);
  {
    const ScopedPlay fifth(game, PointRow(best.point), PointCol(best.point));
    for (int p = 0; p < CellCount; ++p)
      if (game.cell(PointRow(p), PointCol(p)) == Empty &&
          SameFifthOfferingExists(game, PointRow(p), PointCol(p)))
        limits.excludedPoints.push_back(p);
  }
  const MasterResult second = RunMaster(context, game, limits);
  context.masterResult = best;
  if (second.point >= NoPoint) return best.point;
  return MakePointPair(second.point, best.point);
}

// White chooses between Black's two offered fifth moves: it searches the position with each,
// keeps the one worse for Black and answers it.
int ChooseBetweenFifths(SearchContext& context, GameState& game) {
  const MoveRecord first = game.history[4];
  const MoveRecord second = context.settings.secondOffer;
  const MasterLimits limits = LimitsFor(context, context.masterTime / 2);
  const MasterResult withFirst = RunMaster(context, game, limits);
  game.ReplaceNewestMove(second.row, second.col);
  const MasterResult withSecond = RunMaster(context, game, limits);
  game.ReplaceNewestMove(first.row, first.col);
  if (withFirst.point >= NoPoint && withSecond.point >= NoPoint) return NoPoint;
  if (withFirst.point >= NoPoint ||
      (withSecond.point < NoPoint && withSecond.score > withFirst.score)) {
    context.masterResult = withSecond;
    return MakePointPair(PointIndex(first.row, first.col), withSecond.point);
  }
  context.masterResult = withFirst;
  return MakePointPair(PointIndex(second.row, second.col), withFirst.point);
}

}  // namespace

int MasterMove(SearchContext& context, GameState& game) {
  context.masterResult = MasterResult{};
  if (game.moveCount == 0) {
    context.masterResult.point = Centre;
    context.masterResult.decidedBy = "opening";
    return Centre;
  }
  if (context.settings.rifRules && game.moveCount == 5 && context.settings.rifFifthState == 2)
    return ChooseBetweenFifths(context, game);
  if (context.offeringFifth) return OfferTwoFifths(context, game);
  return RunMaster(context, game, LimitsFor(context, context.masterTime)).point;
}

}  // namespace tesmor
