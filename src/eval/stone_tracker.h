#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "board/board.h"

namespace tesmor {

// A copy of a position's stones that is brought up to date with the changes alone. The caches
// built on a position (the evaluation's tallies, the threat board) are asked about a long run of
// positions that differ by the few moves a search played or took back since the last question;
// comparing every cell each time cost more than the answers. The tracker keeps the moves of the
// copy, so the moves after the first one where the position's record departs from them name
// every cell that can differ. A position changed outside its moves (set-up stones, probes) is
// caught by comparing the Zobrist numbers of the stones, and then every cell is compared.
class StoneTracker {
 public:
  using Cells = std::array<int32_t, CellCount>;

  // The stones as of the last Follow (by CellIndex); an empty board at first.
  const Cells& cells() const { return cells_; }

  // Calls changed(cell, before) for every cell whose stone differs from state's, after taking
  // state's stone into the copy; before is what the copy held. Afterwards cells() == state.cells.
  template <typename Changed>
  void Follow(const GameState& state, Changed changed) {
    FollowTo(state, state.moveCount, kNoCell, state.StonesKey(), changed);
  }

  // Follow to the position before state's last move (which state must have): its moves but the
  // last, its stones without the last move's. A cache that looks at the positions after one
  // stone more without keeping them stays on the position they share.
  template <typename Changed>
  void FollowBeforeLast(const GameState& state, Changed changed) {
    const int last = LastCell(state);
    FollowTo(state, state.moveCount - 1, last,
             state.StonesKey() ^ StoneNumber(state.cells[last], last), changed);
  }
  // The cell of state's last move.
  static int LastCell(const GameState& state) {
    const MoveRecord& move = state.history[state.moveCount - 1];
    return CellIndex(move.row, move.col);
  }

  // Follow in three steps, for a cache that can take a move back by undoing what playing it
  // did, and that must look at the position between the steps. TakeBack calls
  // takeBack(i, cell, before) for each move i of the copy that the record no longer holds, newest
  // first, with the cell already emptied in the copy and before the stone it held.
  template <typename TakeBackMove>
  void TakeBack(const GameState& state, TakeBackMove takeBack) {
    const int same = CommonMoves(state, state.moveCount);
    for (int i = moveCount_ - 1; i >= same; --i) {
      const int cell = moves_[i];
      const int before = cells_[cell];
      stonesKey_ ^= StoneNumber(before, cell);
      cells_[cell] = Empty;
      moveCount_ = i;
      takeBack(i, cell, before);
    }
  }
  // Then play(i, cell, before) for each move of the record that the copy lacks, oldest first,
  // with the stone already in the copy; before is Empty unless a stone was set there outside
  // the moves.
  template <typename PlayMove>
  void Play(const GameState& state, PlayMove play) {
    for (int i = moveCount_; i < state.moveCount; ++i) {
      const int cell = Record(state, i);
      const int before = cells_[cell];
      stonesKey_ ^= StoneNumber(before, cell) ^ StoneNumber(state.cells[cell], cell);
      cells_[cell] = state.cells[cell];
      moveCount_ = i + 1;
      play(i, cell, before);
    }
  }
  // Last, changed(cell, before) as Follow calls it for every cell that still differs: stones set
  // outside the moves.
  template <typename Changed>
  void CatchUp(const GameState& state, Changed changed) {
    if (stonesKey_ == state.StonesKey()) return;
    for (int cell = 0; cell < CellCount; ++cell) Take(state, cell, kNoCell, changed);
  }

 private:
  static constexpr int kNoCell = -1;

  // Follows the first `count` moves of the record and its stones, the cell `skip` taken as
  // empty; key is the Zobrist number of those stones.
  template <typename Changed>
  void FollowTo(const GameState& state, int count, int skip, uint64_t key, Changed& changed) {
    const int same = CommonMoves(state, count);
    for (int i = same; i < moveCount_; ++i) Take(state, moves_[i], skip, changed);
    for (int i = same; i < count; ++i) {
      Record(state, i);
      Take(state, moves_[i], skip, changed);
    }
    moveCount_ = count;
    if (stonesKey_ == key) return;
    for (int cell = 0; cell < CellCount; ++cell) Take(state, cell, skip, changed);
  }
  // Copies move i of the record; returns its cell.
  int Record(const GameState& state, int i) {
    const MoveRecord& move = state.history[i];
    records_[i] = move;
    moves_[i] = static_cast<uint8_t>(CellIndex(move.row, move.col));
    return moves_[i];
  }
  // How many moves the copy and the record share from the first one. A search asks about
  // positions that part from the last one in their last few moves: the long run of moves before
  // those is compared as one block of memory.
  int CommonMoves(const GameState& state, int count) const {
    constexpr int kTail = 8;
    const int common = std::min(count, moveCount_);
    int same = 0;
    if (common > kTail && std::memcmp(records_.data(), state.history.get().data(),
                                      (common - kTail) * sizeof(MoveRecord)) == 0)
      same = common - kTail;
    while (same < common && records_[same] == state.history[same]) ++same;
    return same;
  }
  static uint64_t StoneNumber(int value, int cell) {
    return value == Empty ? 0 : ZobristStone(value, cell);
  }
  template <typename Changed>
  void Take(const GameState& state, int cell, int skip, Changed& changed) {
    const int now = cell == skip ? Empty : state.cells[cell];
    const int before = cells_[cell];
    if (now == before) return;
    stonesKey_ ^= StoneNumber(before, cell) ^ StoneNumber(now, cell);
    cells_[cell] = now;
    changed(cell, before);
  }

  Cells cells_{};
  std::array<uint8_t, CellCount> moves_{};
  std::array<MoveRecord, CellCount> records_{};  // the same moves as the record holds them
  int moveCount_ = 0;
  uint64_t stonesKey_ = 0;
};

}  // namespace tesmor
