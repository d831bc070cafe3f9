#include "search/search_root.h"

#include <ostream>

#include "board/symmetry.h"
#include "search/alpha_beta.h"
#include "search/computer_move.h"
#include "search/path_keys.h"
#include "search/vcf.h"

namespace tesmor {

namespace {

constexpr int Centre = 112;  // H8

void Report(SearchContext& context, ProgressField field, int value) {
  if (context.progress) context.progress->Progress(field, value);
}

struct Choice {
  int value = -WonValue;
  int point = -1;
};

// How one deepening run ended.
enum class RunEnd {
  Finished,  // all iterations ran, or a decided value or a stop ended them
  Answered,  // no candidate or a single one: `answer` is the move, without a search
};

class RootSearch {
 public:
  RootSearch(SearchContext& context, GameState& game) : context_(context), game_(game) {}

  int Run();

 private:
  RunEnd Deepen(bool resetBestEachIteration, bool stopAfterCompare);
  int CollectCandidates(CandidateList& list);
  void RootLoop(const CandidateList& list, int count, bool stopAfterCompare);
  void OfferingLoop(const CandidateList& list, int count);
  int TwoOfferings();
  int Finish(int answer);

  SearchContext& context_;
  GameState& game_;
  int side_ = Black;
  bool threatened_ = false;
  VcfRecord threat_;  // the search that found the opponent's win
  Choice best_;
  Choice second_;  // the offering loop's second-best point
  int answer_ = -1;
  int firstCandidate_ = -1;
};

int RootSearch::Run() {
  // Opening answers, returned without a search.
  if (game_.moveCount == 0) return Centre;
  if (game_.moveCount == 1 && game_.cell(7, 7) != Empty) {
    context_.random().Seed();
    return context_.random().Next() % 2 == 1 ? 113 : 128;
  }
  if (game_.moveCount <= 2 && game_.cell(7, 7) == Black) {
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc)
        if ((dr || dc) && game_.cell(7 + dr, 7 + dc) == White) return QuickMove(context_, game_);
  }

  // A win by continuous fours is played at once.
  if (const int win = FindVcf(context_, game_, 8); win < VcfNone) return win;

  // Does the opponent threaten such a win? Then only moves that stop it are candidates.
  side_ = game_.SideToMove();
  threatened_ = FindVcfRecorded(context_, game_, -side_, 7, threat_) < VcfNone;
  if (context_.settings.rifFifthState == 2) return TwoOfferings();

  if (Deepen(false, false) == RunEnd::Answered) return answer_;
  // Stopped before any root move was finished: the best candidate by its static value rather
  // than no move, which would resign the game.
  if (best_.point < 0 && context_.Stopped()) best_.point = firstCandidate_;
  if (second_.point >= 0) return Finish(MakePointPair(second_.point, best_.point));
  return Finish(best_.point);
}

// The iterations d = 0 .. maxDepth, each ordered by the values the one before it found.
RunEnd RootSearch::Deepen(bool resetBestEachIteration, bool stopAfterCompare) {
  for (context_.iteration = 0; context_.iteration <= context_.maxDepth; ++context_.iteration) {
    const int d = context_.iteration;
    Report(context_, ProgressField::Depth, d);
    if (resetBestEachIteration) best_.point = -1;
    best_.value = -WonValue;

    CandidateList list;
    const int count = CollectCandidates(list);
    if (count == 0) {
      answer_ = QuickMove(context_, game_);
      return RunEnd::Answered;
    }
    if (count == 1) {
      answer_ = list.slots[0].point;
      return RunEnd::Answered;
    }
    firstCandidate_ = list.slots[0].point;
    if (context_.settings.rifRules && game_.moveCount == 4 && d == context_.maxDepth)
      OfferingLoop(list, count);
    else
      RootLoop(list, count, stopAfterCompare);

    if (context_.Stopped() || best_.value >= DecidedValue || best_.value <= -DecidedValue) break;
  }
  return RunEnd::Finished;
}

int RootSearch::CollectCandidates(CandidateList& list) {
  const int d = context_.iteration;
  RefreshCandidates(context_.eval, game_);
  for (int p = 0; p < CellCount; ++p) {
    const int cell = CellIndex(PointRow(p), PointCol(p));
    if (game_.cells[cell] != Empty) continue;
    const int score = context_.eval.Candidate(side_, cell);
    if (threatened_) {
      const ScopedPlay move(game_, PointRow(p), PointCol(p));
      if (FindVcfAfterDefence(context_, game_, 7, threat_, p) < VcfNone)
        continue;  // leaves the opponent's win standing
    }
    int key = score;
    if (d > 0) {
      if (score < 0) continue;
      const int32_t* known = context_.pathScores.Find(ExtendPathKey(0, p));
      if (!known)
        key = FillerScore + score;
      else
        key = *known > -DecidedValue ? *known : *known + score;
    }
    list.Insert(key, p, context_.width);
  }
  int count = 0;
  for (int i = 0; i < context_.width; ++i) {
    const int key = list.slots[i].score;
    if (list.slots[i].point >= 0 && (d > 0 ? key > FillerScore : key >= 0)) ++count;
  }
  return count;
}

void RootSearch::RootLoop(const CandidateList& list, int count, bool stopAfterCompare) {
  const int childWidth = context_.keepNum * context_.width / context_.keepDen;
  for (int i = 0; i < count; ++i) {
    const int p = list.slots[i].point;
    Report(context_, ProgressField::CurrentPoint, p);
    context_.pathKey = ExtendPathKey(0, p);
    const int value =
        AlphaBeta(context_, game_, p, childWidth, 2 * context_.iteration, best_.value, WonValue);
    context_.pathKey = 0;
    // A root move interrupted by a stop returned 0, which is not its value.
    if (!stopAfterCompare && context_.Stopped()) return;
    if (value > best_.value) {
      best_ = {value, p};
      Report(context_, ProgressField::Score, value);
      Report(context_, ProgressField::BestPoint, p);
      if (value >= WonValue) return;
    }
    if (stopAfterCompare && context_.Stopped()) return;
  }
}

// The computer offers two fifth moves; the second must not be equivalent to the best.
void RootSearch::OfferingLoop(const CandidateList& list, int count) {
  const int childWidth = context_.keepNum * context_.width / context_.keepDen;
  best_ = {};
  second_ = {};
  for (int i = 0; i < count; ++i) {
    const int p = list.slots[i].point;
    if (best_.point >= 0) {
      // The best offering played as the fifth move, to compare the next one with it.
      const ScopedPlay fifth(game_, PointRow(best_.point), PointCol(best_.point));
      if (SameFifthOfferingExists(game_, PointRow(p), PointCol(p))) continue;
    }
    Report(context_, ProgressField::CurrentPoint, p);
    context_.pathKey = ExtendPathKey(0, p);
    const int value =
        AlphaBeta(context_, game_, p, childWidth, 2 * context_.iteration, second_.value, WonValue);
    context_.pathKey = 0;
    if (value > best_.value) {
      second_ = best_;
      best_ = {value, p};
      Report(context_, ProgressField::Score, value);
      Report(context_, ProgressField::BestPoint, p);
    } else if (value > second_.value) {
      second_ = {value, p};
    }
    if (context_.Stopped()) break;
  }
}

// The computer plays White and chooses between Black's two offered fifth moves: it searches the
// position with each, keeps the one worse for Black and answers it.
int RootSearch::TwoOfferings() {
  const MoveRecord first = game_.history[4];
  const MoveRecord second = context_.settings.secondOffer;
  const int firstPoint = PointIndex(first.row, first.col);
  const int secondPoint = PointIndex(second.row, second.col);

  if (Deepen(true, true) == RunEnd::Answered) return answer_;
  const Choice withFirst = best_;

  game_.ReplaceNewestMove(second.row, second.col);
  const RunEnd end = Deepen(true, true);
  const Choice withSecond = best_;
  game_.ReplaceNewestMove(first.row, first.col);
  // An answer found with the second offering on the board replies to the second offering.
  if (end == RunEnd::Answered) return MakePointPair(firstPoint, answer_);

  if (withFirst.point < 0 && withSecond.point < 0) return -1;
  if (withFirst.point < 0 || (withSecond.point >= 0 && withSecond.value > withFirst.value))
    return MakePointPair(firstPoint, withSecond.point);
  return MakePointPair(secondPoint, withFirst.point);
}

// The end of a search that ran its iterations: the stop is spent and the count reported.
int RootSearch::Finish(int answer) {
  if (std::ostream* console = context_.console()) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - context_.start);
    *console << "节点数目：" << context_.nodeCount << "\n总时间：" << elapsed.count() << "\n"
             << std::flush;
  }
  return answer;
}

}  // namespace

int SearchRoot(SearchContext& context, GameState& game, int maxDepth, int width, int keepNum,
               int keepDen) {
  // The search mode widens the deeper plies.
  if (context.settings.searchMode == SearchMode::Exact) {
    keepNum = keepDen = 1;
  } else if (context.settings.searchMode == SearchMode::Accurate) {
    keepNum += keepDen;
    keepDen *= 2;
  }
  // A fresh search: counters, path scores and the path start empty.
  context.nodeCount = 0;
  context.start = std::chrono::steady_clock::now();
  context.pathScores.Clear();
  context.searchedReplies.Clear();
  context.maxDepth = maxDepth;
  context.width = width;
  context.keepNum = keepNum;
  context.keepDen = keepDen;
  context.iteration = 0;
  context.pathKey = 0;
  return RootSearch(context, game).Run();
}

}  // namespace tesmor
