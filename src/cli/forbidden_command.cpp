#include <ostream>

#include "board/forbidden.h"
#include "cli/commands.h"
#include "cli/position_arg.h"

namespace tesmor {

int ForbiddenCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {}, error)) {
    err << "tesmor-engine forbidden: " << error << "\n";
    return ExitBadInput;
  }
  if (parsed.positional.empty()) {
    err << "tesmor-engine forbidden: no position given\n";
    return ExitBadInput;
  }
  GameState state;
  state.forbiddenRulesOn = 1;
  if (!ParsePositionArgument(parsed.JoinedPositional(), state, error)) {
    err << "tesmor-engine forbidden: " << error << "\n";
    return ExitBadInput;
  }
  state.forbiddenRulesOn = 1;
  for (int point = 0; point < CellCount; ++point) {
    const int row = PointRow(point);
    const int col = PointCol(point);
    if (state.cell(row, col) != Empty) continue;
    const ForbiddenKind kind = ForbiddenKindAt(state, row, col);
    if (kind != None) out << PointText(point) << ' ' << ForbiddenKindName(kind) << '\n';
  }
  return ExitOk;
}

}  // namespace tesmor
