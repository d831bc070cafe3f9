#include "search/computer_move.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <vector>

#include "board/symmetry.h"
#include "book/opening_book.h"
#include "search/master_move.h"
#include "search/search_root.h"
#include "search/vcf.h"

namespace tesmor {

namespace {

constexpr int NoScore = -100000000;

constexpr std::array<LevelParameters, 9> kLevels = {{
    {1, 6, 1, 1},   // "1级"
    {2, 6, 1, 1},   // "2级"
    {3, 6, 1, 1},   // "3级"
    {4, 10, 3, 5},  // "4级"
    {5, 15, 3, 5},  // "5级"
    {5, 16, 3, 4},  // "6级"
    {6, 16, 4, 5},  // "7级"
    {6, 20, 4, 5},  // "8级"
    {6, 30, 5, 6},  // "9级"
}};

// Third moves of the level-0 opening: White next to the centre (A) or diagonal to it (B).
constexpr std::array<int, 13> kTableA = {114, 129, 144, 128, 143, 127, 142,
                                         111, 126, 141, 110, 125, 140};
constexpr std::array<int, 13> kTableB = {144, 143, 142, 141, 140, 127, 126,
                                         125, 111, 110, 96,  95,  80};

// A draw below n without bias: draws at or above the largest multiple of n under 32768 are drawn
// again. A source that keeps repeating such a number cannot hold the program: after a bounded
// number of redraws the last draw is used.
int DrawIndex(RandomSource& random, int n) {
  const int limit = (RandMax + 1) / n * n;
  int r = random.Next();
  for (int attempt = 0; attempt < 64 && r >= limit; ++attempt) r = random.Next();
  return r % n;
}

bool Occupied(const GameState& game, int point) {
  return game.cell(PointRow(point), PointCol(point)) != Empty;
}

// The choice between Black's two offered fifth moves by their book grades: the pair (rejected
// offering, White's reply). Sets known to false, and changes nothing, when the book knows
// neither offering.
int TwoOfferingChoice(SearchContext& context, GameState& game, int levelArg, bool& known) {
  const OpeningBook& book = *context.book();
  const MoveRecord first = game.history[4];
  const MoveRecord second = context.settings.secondOffer;
  const BookRules rules{context.settings.rifRules, context.offeringFifth};

  // Grade both offerings on the four-stone position under every symmetry.
  game.Undo();
  int firstScore = NoScore;
  int secondScore = NoScore;
  for (int id = 0; id < TransformCount; ++id) {
    const PositionKey key = MakePositionKey(game.cells, id);
    firstScore = std::max(firstScore, book.BookScoreAt(key, first.row, first.col, rules));
    secondScore = std::max(secondScore, book.BookScoreAt(key, second.row, second.col, rules));
  }
  // The book knows neither: the level's search decides.
  if (firstScore == NoScore && secondScore == NoScore) {
    game.Play(first.row, first.col);
    known = false;
    return 0;
  }
  known = true;

  // Keep the offering that is worse for Black; a tie is drawn at random.
  bool keepFirst = firstScore < secondScore;
  if (firstScore == secondScore) {
    context.random().Seed();
    keepFirst = context.random().Next() % 2 == 1;
  }
  const MoveRecord kept = keepFirst ? first : second;
  const MoveRecord removed = keepFirst ? second : first;

  // White's reply to the kept offering.
  game.Play(kept.row, kept.col);
  context.settings.rifFifthState = 0;
  const int reply = ChooseComputerMove(context, game, levelArg);
  context.settings.rifFifthState = 2;

  // Back to the position with the first offering, as the caller gave it.
  game.ReplaceNewestMove(first.row, first.col);

  // A reply that is no point (a resignation) travels alone.
  if (reply < 0 || reply >= CellCount) return reply;
  return MakePointPair(PointIndex(removed.row, removed.col), reply);
}

}  // namespace

int ChooseComputerMove(SearchContext& context, GameState& game, int levelArg) {
  if (std::ostream* console = context.console()) *console << "思考中...\n" << std::flush;
  context.offeringFifth = context.settings.rifRules && game.moveCount == 4;

  // The opening book, under forbidden rules from the third stone on.
  int result = NoPoint;
  bool answered = false;
  if (context.settings.useBook && game.forbiddenRulesOn && game.moveCount >= 3 && context.book()) {
    if (context.settings.rifFifthState == 2) {
      bool known = false;
      const int choice = TwoOfferingChoice(context, game, levelArg, known);
      if (known) return choice;
    } else {
      const int side = game.moveCount % 2 == 0 ? Black : White;
      const BookRules rules{context.settings.rifRules, context.offeringFifth};
      for (int id = 0; id < TransformCount && !answered; ++id) {
        const int move = context.book()->LookupBook(MakePositionKey(game.cells, id), side, rules,
                                                    context.random());
        if (move < NoPoint || move >= PointPairBase) {
          result = move;
          answered = true;
        }
      }
    }
  }

  // The master's report says so when the book answered for it.
  if (answered && levelArg == MasterLevelArg) {
    context.masterResult = MasterResult{};
    context.masterResult.point = result >= 0 && result < NoPoint ? result : NoPoint;
    context.masterResult.decidedBy = "book";
  }

  // Otherwise the level decides.
  if (!answered) {
    if (levelArg == 7) {
      result = QuickMove(context, game);
    } else if (levelArg == MasterLevelArg) {
      result = MasterMove(context, game);
    } else if (const LevelParameters* level = ParametersForLevel(levelArg)) {
      result =
          SearchRoot(context, game, level->depth, level->width, level->keepNum, level->keepDen);
    } else {
      result = NoPoint;  // no such level: no search
    }
  }

  return result;
}

ComputerAnswer AnswerFromSearch(int value) {
  auto isPoint = [](int point) { return point >= 0 && point < CellCount; };
  if (value == Resign) return ComputerAnswer::Resignation();
  if (value >= PointPairBase) {
    const int point = PairLow(value);
    const int offering = PairHigh(value);
    if (!isPoint(point) || !isPoint(offering)) return ComputerAnswer::None();
    return ComputerAnswer::Pair(point, offering);
  }
  return isPoint(value) ? ComputerAnswer::Play(value) : ComputerAnswer::None();
}

ComputerAnswer ComputerMoveAtLevel(SearchContext& context, GameState& game, int level) {
  return AnswerFromSearch(ChooseComputerMove(context, game, level + 7));
}

const LevelParameters* ParametersForLevel(int levelArg) {
  if (levelArg < 8 || levelArg > 16) return nullptr;
  return &kLevels[static_cast<size_t>(levelArg - 8)];
}

int QuickMove(SearchContext& context, GameState& game) {
  RandomSource& random = context.random();
  // Fixed opening answers.
  if (game.moveCount == 0) return 112;
  if (game.moveCount == 1 && game.cell(7, 7) != Empty) {
    random.Seed();
    return random.Next() % 2 == 1 ? 113 : 128;
  }
  if (game.moveCount == 2 && game.cell(7, 7) == Black) {
    if (Occupied(game, 113)) {
      random.Seed();
      return kTableA[static_cast<size_t>(DrawIndex(random, 13))];
    }
    if (Occupied(game, 128)) {
      random.Seed();
      return kTableB[static_cast<size_t>(DrawIndex(random, 13))];
    }
    // I8, G8, H7, I7, G7, G9: a random empty point of the square F6..J10.
    for (int neighbour : {127, 97, 111, 126, 96, 98}) {
      if (!Occupied(game, neighbour)) continue;
      random.Seed();
      for (int attempt = 0; attempt < 64; ++attempt) {
        const int k = DrawIndex(random, 25);
        const int point = PointIndex(k / 5 + 5, k % 5 + 5);
        if (!Occupied(game, point)) return point;
      }
      for (int k = 0; k < 25; ++k)
        if (!Occupied(game, PointIndex(k / 5 + 5, k % 5 + 5)))
          return PointIndex(k / 5 + 5, k % 5 + 5);
    }
  }

  // A short win by continuous fours.
  if (const int win = FindVcf(context, game, 8); win < VcfNone) return win;

  // The points of the highest value; none below 0 enters.
  const int side = game.SideToMove();
  std::vector<int> best;
  int bestValue = 0;
  int fallback = NoPoint;
  int fallbackValue = 0;
  for (int p = 0; p < CellCount; ++p) {
    if (Occupied(game, p)) continue;
    const int value = PointValue(game, PointRow(p), PointCol(p), side);
    if (fallback == NoPoint || value > fallbackValue) fallback = p, fallbackValue = value;
    if (value < bestValue) continue;
    if (value > bestValue) best.clear(), bestValue = value;
    best.push_back(p);
  }
  // Every empty point scores below 0 (all forbidden to Black, say): the least bad one. A full
  // board has no point at all.
  if (best.empty()) return fallback;

  // Ties are broken at random.
  random.Seed();
  return best[static_cast<size_t>(DrawIndex(random, static_cast<int>(best.size())))];
}

}  // namespace tesmor
