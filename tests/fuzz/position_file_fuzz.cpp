// A position file's bytes, as the window's open command reads them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "fuzz_check.h"
#include "game/position_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  const tesmor::PositionFileResult read = tesmor::ParsePositionBytes(bytes);
  FUZZ_CHECK(read.ok == read.error.empty());
  FUZZ_CHECK(read.error.find('\n') == std::string::npos);
  if (!read.ok) return 0;
  // An accepted file is a game that can be put on the board and written back byte for byte.
  tesmor::GameState state;
  tesmor::ClearGameState(state);
  tesmor::ApplyPositionFile(state, read.file);
  FUZZ_CHECK(static_cast<size_t>(state.moveCount) == read.file.moves.size());
  FUZZ_CHECK(tesmor::PositionBytes(state) == bytes);
  return 0;
}
