#pragma once

namespace tesmor::arena {

// A score (wins plus half the draws, as a share of the games) with its 95 % interval. The
// interval is Wilson's score interval for a proportion, with a draw counted as half a win: unlike
// the normal approximation it stays inside 0..1 and is not empty at 0 % or 100 %, which short
// matches between engines of very different strength reach.
struct ScoreInterval {
  double score = 0.5;
  double low = 0;
  double high = 1;
};
ScoreInterval WilsonInterval(double points, int games);

// The rating difference that a score means under the logistic model; clamped at +-999 for the
// scores of 0 and 1, which have none.
double EloDifference(double score);

}  // namespace tesmor::arena
