#include "arena/score.h"

#include <algorithm>
#include <cmath>

namespace tesmor::arena {

namespace {
constexpr double Z95 = 1.959963984540054;  // two-sided 95 % quantile of the normal distribution
constexpr double EloLimit = 999;
}  // namespace

ScoreInterval WilsonInterval(double points, int games) {
  ScoreInterval interval;
  if (games <= 0) return interval;
  const double n = games;
  const double p = points / n;
  const double z2 = Z95 * Z95;
  const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
  const double half = Z95 / (1 + z2 / n) * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n));
  interval.score = p;
  interval.low = std::max(0.0, centre - half);
  interval.high = std::min(1.0, centre + half);
  return interval;
}

double EloDifference(double score) {
  if (score <= 0) return -EloLimit;
  if (score >= 1) return EloLimit;
  return std::clamp(-400.0 * std::log10(1.0 / score - 1.0), -EloLimit, EloLimit);
}

}  // namespace tesmor::arena
