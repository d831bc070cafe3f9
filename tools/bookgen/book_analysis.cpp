#include "bookgen/book_analysis.h"

#include <algorithm>
#include <array>

#include "board/symmetry.h"
#include "search/alpha_beta.h"
#include "search/path_keys.h"
#include "search/search_context.h"
#include "search/vcf.h"

namespace tesmor::bookgen {

namespace {

// Attacking steps of the win by continuous fours that proves a move: well beyond what the
// opening can hold, cheap while the board is this empty.
constexpr int ProofLimit = 12;
// The depth at which the search's root tests the opponent's threat and its refutations.
constexpr int ThreatLimit = 7;

using Rows = std::array<uint32_t, BoardSize>;

// The least of the eight transformed keys of the stones, each shifted to the key's corner: equal
// for positions that a symmetry or a shift carries into each other.
Rows CanonicalRows(const GameState& game) {
  Rows best;
  best.fill(~0u);
  for (int id = 0; id < TransformCount; ++id) {
    PositionKey key = MakePositionKey(game.cells, id);
    NormaliseKey(key);
    Rows rows;
    std::copy(key.begin() + 1, key.end(), rows.begin());
    best = std::min(best, rows);
  }
  return best;
}

bool BetterFirst(const GradedMove& a, const GradedMove& b) {
  if (a.proven != b.proven) return a.proven;
  if (a.value != b.value) return a.value > b.value;
  if (a.order != b.order) return a.order > b.order;
  return a.point < b.point;
}

}  // namespace

std::string NodePlan::Text() const {
  return "candidates=" + std::to_string(candidates) + ",depth=" + std::to_string(depth) +
         ",width=" + std::to_string(width) + ",keep=" + std::to_string(keepNum) + "/" +
         std::to_string(keepDen);
}

std::vector<GradedMove> AnalysePosition(const GameState& position, const NodePlan& plan) {
  GameState game = position;
  SequenceRandom random({0});
  SearchContext context(random, nullptr, nullptr);
  const int side = game.SideToMove();

  std::vector<GradedMove> moves;
  const int win = FindVcf(context, game, ProofLimit);
  if (win < VcfNone) moves.push_back({win, WonValue, 0, true});
  const bool threatened = FindVcfFor(context, game, -side, ThreatLimit) < VcfNone;

  // The candidates by their table value, forbidden points (negative values) left out.
  RefreshCandidates(context.eval, game);
  std::vector<GradedMove> candidates;
  for (int p = 0; p < CellCount; ++p) {
    const int cell = CellIndex(PointRow(p), PointCol(p));
    if (game.cells[cell] != Empty || p == win) continue;
    const int score = context.eval.Candidate(side, cell);
    if (score >= 0) candidates.push_back({p, 0, score, false});
  }
  std::sort(candidates.begin(), candidates.end(), BetterFirst);

  std::vector<GradedMove> searched;
  for (const GradedMove& candidate : candidates) {
    if (static_cast<int>(searched.size()) >= plan.candidates) break;
    if (threatened) {
      const ScopedPlay move(game, PointRow(candidate.point), PointCol(candidate.point));
      if (FindVcf(context, game, ThreatLimit) < VcfNone) continue;  // the threat stands
    }
    const bool twin = std::any_of(moves.begin(), moves.end(),
                                  [&](const GradedMove& m) {
                                    return EquivalentMoves(game, m.point, candidate.point);
                                  }) ||
                      std::any_of(searched.begin(), searched.end(), [&](const GradedMove& m) {
                        return EquivalentMoves(game, m.point, candidate.point);
                      });
    if (!twin) searched.push_back(candidate);
  }

  // Iterative deepening as the search's root runs it, but every move with the full window, so
  // that each gets its own value rather than a bound against the best so far. A decided value is
  // not searched again.
  context.maxDepth = plan.depth;
  context.width = plan.width;
  context.keepNum = plan.keepNum;
  context.keepDen = plan.keepDen;
  const int childWidth = plan.keepNum * plan.width / plan.keepDen;
  for (int d = 0; d <= plan.depth; ++d) {
    context.iteration = d;
    for (GradedMove& move : searched) {
      if (d > 0 && (move.value >= DecidedValue || move.value <= -DecidedValue)) continue;
      context.pathKey = ExtendPathKey(0, move.point);
      move.value = AlphaBeta(context, game, move.point, childWidth, 2 * d, -WonValue, WonValue);
    }
  }
  context.pathKey = 0;

  moves.insert(moves.end(), searched.begin(), searched.end());
  std::sort(moves.begin(), moves.end(), BetterFirst);
  return moves;
}

bool EquivalentMoves(GameState& game, int a, int b) {
  if (a == b) return true;
  const int side = game.SideToMove();
  if (game.moveCount == 4 && side == Black) {
    const ScopedPlay fifth(game, PointRow(a), PointCol(a));
    return SameFifthOfferingExists(game, PointRow(b), PointCol(b)) != 0;
  }
  Rows withA;
  Rows withB;
  {
    const ScopedPlay move(game, PointRow(a), PointCol(a));
    withA = CanonicalRows(game);
  }
  {
    const ScopedPlay move(game, PointRow(b), PointCol(b));
    withB = CanonicalRows(game);
  }
  return withA == withB;
}

std::vector<GradedMove> TakeDistinct(GameState& game, const std::vector<GradedMove>& bestFirst,
                                     size_t count) {
  std::vector<GradedMove> taken;
  for (const GradedMove& move : bestFirst) {
    if (taken.size() >= count) break;
    const bool twin = std::any_of(taken.begin(), taken.end(), [&](const GradedMove& t) {
      return EquivalentMoves(game, t.point, move.point);
    });
    if (!twin) taken.push_back(move);
  }
  return taken;
}

std::vector<GradedMove> FillWithTwins(GameState& game, std::vector<GradedMove> moves,
                                      size_t count) {
  if (game.moveCount == 4) return moves;
  for (size_t i = 0; i < moves.size() && moves.size() < count; ++i) {
    for (int p = 0; p < CellCount && moves.size() < count; ++p) {
      if (game.cell(PointRow(p), PointCol(p)) != Empty) continue;
      const bool listed = std::any_of(moves.begin(), moves.end(),
                                      [&](const GradedMove& m) { return m.point == p; });
      if (listed || !EquivalentMoves(game, moves[i].point, p)) continue;
      GradedMove twin = moves[i];
      twin.point = p;
      moves.insert(moves.begin() + static_cast<std::ptrdiff_t>(i) + 1, twin);
    }
  }
  return moves;
}

std::string MarksFor(const std::vector<GradedMove>& bestFirst, int side) {
  constexpr int MaxShared = 4;
  constexpr int Letters = 7;
  std::string marks;
  int rank = -1;
  int shared = 0;
  const GradedMove* previous = nullptr;
  for (const GradedMove& move : bestFirst) {
    if (move.proven) {
      marks += '!';
      continue;
    }
    if (!previous || move.value != previous->value || shared == MaxShared) {
      rank = std::min(rank + 1, Letters - 1);
      shared = 0;
    }
    ++shared;
    previous = &move;
    marks += static_cast<char>(side == Black ? 'A' + rank : 'G' - rank);
  }
  return marks;
}

GameState PositionOf(const std::vector<int>& moves) {
  GameState game;
  ClearGameState(game);
  game.forbiddenRulesOn = 1;
  for (int p : moves) RecordMove(game, PointRow(p), PointCol(p));
  return game;
}

std::string StonesText(const GameState& position) {
  std::string text;
  for (int colour : {Black, White}) {
    text += colour == Black ? "B:" : " W:";
    bool first = true;
    for (int p = 0; p < CellCount; ++p) {
      if (position.cell(PointRow(p), PointCol(p)) != colour) continue;
      if (!first) text += ',';
      text += PointText(p);
      first = false;
    }
  }
  return text;
}

}  // namespace tesmor::bookgen
