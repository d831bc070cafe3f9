#include "game/position_file.h"

#include <array>

#include "board/file_io.h"

#include "board/input_echo.h"

namespace tesmor {

namespace {

PositionFileResult Refuse(std::string reason) {
  PositionFileResult result;
  result.error = std::move(reason);
  return result;
}

}  // namespace

PositionFileResult ParsePositionBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return Refuse("the file is empty");
  const size_t count = bytes[0];
  if (count > CellCount) return Refuse("it counts " + std::to_string(count) + " moves");
  if (bytes.size() < count + 1)
    return Refuse("it counts " + std::to_string(count) + " moves but holds " +
                  std::to_string(bytes.size() - 1));
  if (bytes.size() > count + 1)
    return Refuse("it holds more bytes than its " + std::to_string(count) + " moves");

  std::array<bool, CellCount> taken{};
  PositionFileResult result;
  result.file.moves.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const int cellIndex = bytes[i + 1];
    const std::string where = "move " + std::to_string(i + 1);
    if (cellIndex >= CellCount) return Refuse(where + " is off the board");
    if (taken[cellIndex]) return Refuse(where + " is played on an occupied point");
    taken[cellIndex] = true;
    result.file.moves.push_back({cellIndex / BoardSize, cellIndex % BoardSize});
  }
  result.ok = true;
  return result;
}

PositionFileResult ReadPositionFile(const std::string& path) {
  // A real position file is at most 226 bytes: the count and 225 moves.
  const FileBytes read = ReadRegularFile(path, CellCount + 1);
  if (!read.ok) return Refuse(read.error);
  return ParsePositionBytes(read.bytes);
}

std::vector<uint8_t> PositionBytes(const GameState& state) {
  std::vector<uint8_t> bytes;
  bytes.push_back(static_cast<uint8_t>(state.moveCount));
  for (int i = 0; i < state.moveCount; ++i)
    bytes.push_back(static_cast<uint8_t>(CellIndex(state.history[i].row, state.history[i].col)));
  return bytes;
}

bool WritePositionFile(const std::string& path, const GameState& state, std::string* error) {
  return WriteFileAtomically(path, PositionBytes(state), error);
}

void ApplyPositionFile(GameState& state, const PositionFile& file) {
  state.ClearStones();
  for (const MoveRecord& move : file.moves) state.Play(move.row, move.col);
}

}  // namespace tesmor
