// Costs of the evaluation's hot paths: one pattern classification, one incremental evaluation
// and one candidate refresh after a single move, and the threat board's most frequent queries.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "board/board.h"
#include "eval/evaluation.h"
#include "eval/patterns.h"
#include "eval/threat_board.h"

namespace tesmor {
namespace {

// A middle game from a fixed seed: stones clustered as in play, no five check.
GameState MiddleGame(unsigned seed, int moves, bool forbiddenRulesOn) {
  std::mt19937 rng(seed);
  GameState state;
  ClearGameState(state);
  state.forbiddenRulesOn = forbiddenRulesOn ? 1 : 0;
  RecordMove(state, 7, 7);
  while (state.moveCount < moves) {
    const MoveRecord near = state.history[rng() % static_cast<unsigned>(state.moveCount)];
    const int row = near.row + static_cast<int>(rng() % 5) - 2;
    const int col = near.col + static_cast<int>(rng() % 5) - 2;
    if (OnBoard(row, col) && state.cell(row, col) == Empty) RecordMove(state, row, col);
  }
  return state;
}

// Empty points next to a stone: the moves a search would try.
std::vector<int> NearbyEmptyCells(const GameState& state) {
  std::vector<int> cells;
  for (int row = 0; row < BoardSize; ++row)
    for (int col = 0; col < BoardSize; ++col) {
      if (state.cell(row, col) != Empty) continue;
      bool near = false;
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc)
          near = near || (OnBoard(row + dr, col + dc) && state.cell(row + dr, col + dc) != Empty);
      if (near) cells.push_back(CellIndex(row, col));
    }
  return cells;
}

void BM_ClassifyLinePoint(benchmark::State& bench) {
  const bool forbidden = bench.range(0) != 0;
  struct Probe {
    Line line;
    int pos;
  };
  std::vector<Probe> probes;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    const GameState state = MiddleGame(seed, 50, forbidden);
    for (int row = 0; row < BoardSize; ++row)
      for (int col = 0; col < BoardSize; ++col)
        if (state.cell(row, col) != Empty)
          for (int d = 0; d < 4; ++d)
            probes.push_back(
                {ExtractLine(state.cells, d, LineNumber(d, row, col)), LinePosition(d, row, col)});
  }
  size_t i = 0;
  for (auto _ : bench) {
    const Probe& probe = probes[i];
    benchmark::DoNotOptimize(ClassifyLinePoint(probe.line, probe.pos, forbidden));
    if (++i == probes.size()) i = 0;
  }
}
BENCHMARK(BM_ClassifyLinePoint)->Arg(0)->Arg(1);

// Each iteration changes the board by one stone, alternately a move and its take-back, and then
// asks the context once: the pattern of a search's leaves and nodes.
template <typename Query>
void AfterEachMove(benchmark::State& bench, Query query) {
  GameState state = MiddleGame(3, 40, bench.range(0) != 0);
  const std::vector<int> moves = NearbyEmptyCells(state);
  EvalContext context;
  query(context, state);
  size_t next = 0;
  bool played = false;
  for (auto _ : bench) {
    if (played) {
      UndoMove(state);
    } else {
      RecordMove(state, moves[next] / BoardSize, moves[next] % BoardSize);
      if (++next == moves.size()) next = 0;
    }
    played = !played;
    query(context, state);
  }
}

void BM_EvaluatePositionAfterMove(benchmark::State& bench) {
  AfterEachMove(bench, [](EvalContext& context, const GameState& state) {
    benchmark::DoNotOptimize(EvaluatePosition(context, state, state.SideToMove()));
  });
}
BENCHMARK(BM_EvaluatePositionAfterMove)->Arg(0)->Arg(1);

void BM_RefreshCandidatesAfterMove(benchmark::State& bench) {
  AfterEachMove(bench, [](EvalContext& context, const GameState& state) {
    RefreshCandidates(context, state);
    benchmark::DoNotOptimize(context.Candidate(Black, 112));
  });
}
BENCHMARK(BM_RefreshCandidatesAfterMove)->Arg(0)->Arg(1);

void BM_PointValue(benchmark::State& bench) {
  const GameState state = MiddleGame(3, 40, bench.range(0) != 0);
  const std::vector<int> points = NearbyEmptyCells(state);
  size_t i = 0;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(
        PointValue(state, points[i] / BoardSize, points[i] % BoardSize, state.SideToMove()));
    if (++i == points.size()) i = 0;
  }
}
BENCHMARK(BM_PointValue)->Arg(0)->Arg(1);

void BM_ThreatFivePoints(benchmark::State& bench) {
  ThreatBoard board;
  BuildThreatBoard(board, MiddleGame(3, 40, bench.range(0) != 0));
  int colour = Black;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(ThreatFivePoints(board, colour));
    colour = -colour;
  }
}
BENCHMARK(BM_ThreatFivePoints)->Arg(0)->Arg(1);

void BM_ThreatForbiddenKind(benchmark::State& bench) {
  const GameState state = MiddleGame(3, 40, true);
  ThreatBoard board;
  BuildThreatBoard(board, state);
  const std::vector<int> points = NearbyEmptyCells(state);
  size_t i = 0;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(
        ThreatForbiddenKind(board, points[i] / BoardSize, points[i] % BoardSize));
    if (++i == points.size()) i = 0;
  }
}
BENCHMARK(BM_ThreatForbiddenKind);

}  // namespace
}  // namespace tesmor

BENCHMARK_MAIN();
