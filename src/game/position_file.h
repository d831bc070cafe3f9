#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"

namespace tesmor {

// The moves of a position file, checked and ready to apply: a move count, then one CellIndex byte
// per move, Black first. No header.
struct PositionFile {
  std::vector<MoveRecord> moves;
};

// Result of reading: the moves, or the reason the file was refused.
struct PositionFileResult {
  bool ok = false;
  PositionFile file;
  std::string error;
};

// Checks the bytes as a whole: a count of at most 225, exactly that many move bytes, each below
// 225, no point twice.
PositionFileResult ParsePositionBytes(const std::vector<uint8_t>& bytes);
// Reads and checks a file; anything but a regular file of at most 226 bytes is refused unread.
PositionFileResult ReadPositionFile(const std::string& path);

std::vector<uint8_t> PositionBytes(const GameState& state);
// Replaces the file as a whole or not at all: false (with a reason) when it cannot be written,
// and then a file that was there is left as it was.
bool WritePositionFile(const std::string& path, const GameState& state, std::string* error);

// Puts the file's moves on the board: cells, move count and the history entries of the moves.
// Everything else of the record (focus, last move, rule setting) stays as it was.
void ApplyPositionFile(GameState& state, const PositionFile& file);

}  // namespace tesmor
