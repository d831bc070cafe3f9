#include <algorithm>
#include <array>
#include <ostream>

#include "board/input_echo.h"
#include "cli/commands.h"
#include "cli/position_arg.h"
#include "eval/evaluation.h"

namespace tesmor {

namespace {

constexpr int kShownPoints = 10;

}  // namespace

int EvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {"rules"}, error)) {
    err << "tesmor-engine eval: " << error << "\n";
    return ExitBadInput;
  }
  if (parsed.positional.empty()) {
    err << "tesmor-engine eval: no position given\n";
    return ExitBadInput;
  }
  const std::string rules = parsed.Option("rules", "forbidden");
  if (rules != "free" && rules != "forbidden") {
    err << "tesmor-engine eval: --rules must be free or forbidden, not '" << EchoInput(rules)
        << "'\n";
    return ExitBadInput;
  }
  GameState state;
  state.forbiddenRulesOn = rules == "forbidden" ? 1 : 0;
  if (!ParsePositionArgument(parsed.JoinedPositional(), state, error)) {
    err << "tesmor-engine eval: " << error << "\n";
    return ExitBadInput;
  }

  EvalContext context;
  out << "black " << EvaluatePosition(context, state, Black) << "\n";
  out << "white " << EvaluatePosition(context, state, White) << "\n";

  RefreshCandidates(context, state);
  const int side = state.SideToMove();
  std::array<int, CellCount> points{};
  int count = 0;
  for (int point = 0; point < CellCount; ++point)
    if (state.cell(PointRow(point), PointCol(point)) == Empty) points[count++] = point;
  auto value = [&](int point) {
    return context.Candidate(side, CellIndex(PointRow(point), PointCol(point)));
  };
  // Best first; equal values in PointIndex order.
  const int shown = std::min(count, kShownPoints);
  std::partial_sort(
      points.begin(), points.begin() + shown, points.begin() + count,
      [&](int a, int b) { return value(a) > value(b) || (value(a) == value(b) && a < b); });
  for (int i = 0; i < shown; ++i) out << PointText(points[i]) << ' ' << value(points[i]) << '\n';
  return ExitOk;
}

}  // namespace tesmor
