// A move list as the engine program's POSITION argument gives it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/board.h"
#include "cli/position_arg.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tesmor::GameState state;
  tesmor::ClearGameState(state);
  std::string error;
  if (!tesmor::ParseMoveList(text, state, error)) {
    // Refused: the board is untouched and the reason is one short line.
    FUZZ_CHECK(state.moveCount == 0);
    FUZZ_CHECK(error.find('\n') == std::string::npos && error.find('\r') == std::string::npos);
    FUZZ_CHECK(error.size() < 400);
    return 0;
  }
  // Accepted: the moves printed back read as the same game.
  std::string printed;
  for (int k = 0; k < state.moveCount; ++k) {
    const tesmor::MoveRecord& move = state.history[static_cast<size_t>(k)];
    printed += tesmor::PointText(tesmor::PointIndex(move.row, move.col)) + " ";
  }
  tesmor::GameState again;
  tesmor::ClearGameState(again);
  FUZZ_CHECK(tesmor::ParseMoveList(printed, again, error));
  FUZZ_CHECK(again.moveCount == state.moveCount);
  FUZZ_CHECK(std::equal(state.history.begin(), state.history.begin() + state.moveCount,
                        again.history.begin()));
  return 0;
}
