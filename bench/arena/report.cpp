#include "arena/report.h"

#include <cstdio>

#include "arena/score.h"

namespace tesmor::arena {

namespace {

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
  return buffer;
}

std::string RecordText(int wins, int losses, int draws) {
  return std::to_string(wins) + " won, " + std::to_string(losses) + " lost, " +
         std::to_string(draws) + " drawn";
}

}  // namespace

void Tally::Add(const GameSetup& setup, const GameResult& result) {
  if (result.reason == EndReason::Interrupted) {
    ++interrupted_;
    return;
  }
  ++games_;
  Record& colour = byColour_[setup.blackEngine == 0 ? 0 : 1];
  for (Record* record : {&all_, &colour}) {
    if (result.winner == 0) ++record->wins;
    if (result.winner == 1) ++record->losses;
    if (result.winner < 0) ++record->draws;
  }
  if (result.Loser() >= 0) ++lossesBy_[result.Loser()][static_cast<size_t>(result.reason)];
  for (size_t e = 0; e < 2; ++e) {
    times_[e].moves += result.times[e].moves;
    times_[e].totalMs += result.times[e].totalMs;
    times_[e].maxMs = std::max(times_[e].maxMs, result.times[e].maxMs);
  }
}

std::string Tally::Summary(const std::array<std::string, 2>& names) const {
  const double points = all_.wins + 0.5 * all_.draws;
  const ScoreInterval interval = WilsonInterval(points, games_);
  std::string text = "Engine 1 (" + names[0] + ") against engine 2 (" + names[1] + "), " +
                     std::to_string(games_) +
                     " games: " + RecordText(all_.wins, all_.losses, all_.draws) + "\n";
  text += "  as Black " + RecordText(byColour_[0].wins, byColour_[0].losses, byColour_[0].draws) +
          "; as White " + RecordText(byColour_[1].wins, byColour_[1].losses, byColour_[1].draws) +
          "\n";
  if (games_ == 0) {
    text += "No game finished\n";
  } else {
    text += Format("Score %.1f = %.1f %%, 95 %% Wilson interval %.1f %% .. %.1f %%", points,
                   100 * interval.score, 100 * interval.low, 100 * interval.high);
    text += Format("; Elo %+.0f (%+.0f .. %+.0f)\n", EloDifference(interval.score),
                   EloDifference(interval.low), EloDifference(interval.high));
  }
  for (size_t e = 0; e < 2; ++e) {
    const auto& by = lossesBy_[e];
    auto count = [&](EndReason reason) { return std::to_string(by[static_cast<size_t>(reason)]); };
    text += "Engine " + std::to_string(e + 1) + " lost by foul " + count(EndReason::Foul) +
            ", illegal move " + count(EndReason::Illegal) + ", crash " + count(EndReason::Crash) +
            ", timeout " + count(EndReason::Timeout) + ", match time " +
            count(EndReason::MatchTime) + "; answers: ";
    const AnswerTimes& t = times_[e];
    text += t.moves == 0
                ? std::string("none\n")
                : Format("%.0f, mean %.0f ms, longest %.0f ms\n", t.moves,
                         static_cast<double>(t.totalMs) / t.moves, static_cast<double>(t.maxMs));
  }
  if (interrupted_ > 0)
    text += "Interrupted and not counted: " + std::to_string(interrupted_) + "\n";
  return text;
}

std::string ResultText(const GameResult& result) {
  if (result.reason == EndReason::Interrupted) return "*";
  if (result.winner < 0) return "1/2-1/2";
  return result.winnerColour == Black ? "1-0" : "0-1";
}

std::string GameLine(const GameSetup& setup, const GameResult& result, int gameCount,
                     const std::array<std::string, 2>& names) {
  const size_t black = setup.blackEngine == 0 ? 0 : 1;
  std::string line = "Game " + std::to_string(setup.number) + "/" + std::to_string(gameCount) +
                     "  opening " + setup.opening + "  " + names[black] + " (Black) - " +
                     names[1 - black] + " (White)  " + ResultText(result) + " " +
                     EndReasonName(result.reason) + ", " + std::to_string(result.moveCount) +
                     " stones";
  if (!result.detail.empty()) line += "  [" + result.detail + "]";
  return line;
}

std::string GamesFileHeader(const std::string& settings) {
  return "# tesmor-arena " + settings +
         "\n# game\topening\tblack\twhite\tresult\treason\tmoves\tdetail\n";
}

std::string GamesFileLine(const GameSetup& setup, const GameResult& result) {
  const int black = setup.blackEngine + 1;
  std::string reason = EndReasonName(result.reason);
  if (result.reason == EndReason::Foul) reason += std::string("-") + ForbiddenKindName(result.foul);
  return std::to_string(setup.number) + "\t" + setup.opening + "\t" + std::to_string(black) + "\t" +
         std::to_string(3 - black) + "\t" + ResultText(result) + "\t" + reason + "\t" +
         result.moves + "\t" + result.detail + "\n";
}

}  // namespace tesmor::arena
