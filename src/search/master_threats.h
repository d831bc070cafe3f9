#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "search/master_board.h"

namespace tesmor {

// A short list of padded board indices. Only the first `size` entries are ever read, so the
// arrays are left uninitialised: every node has a list, and clearing 1 350 bytes each time showed.
struct MoveList {
  std::array<int16_t, CellCount> moves;
  std::array<int32_t, CellCount> scores;
  int size = 0;
  void Add(int index, int score = 0) {
    moves[static_cast<size_t>(size)] = static_cast<int16_t>(index);
    scores[static_cast<size_t>(size)] = score;
    ++size;
  }
  // Among the first `count` entries.
  bool Contains(int index, int count) const {
    for (int i = 0; i < count; ++i)
      if (moves[static_cast<size_t>(i)] == index) return true;
    return false;
  }
  bool Contains(int index) const { return Contains(index, size); }
};

// What the threats on the board leave the side to move.
enum class NodeKind {
  WinsNow,     // a five is on the board for the taking: moves holds it
  WinsByFour,  // a straight four the opponent cannot stop: moves holds it
  Lost,        // the opponent completes a five whatever we do (moves may hold a hopeless block)
  Forced,      // the opponent threatens a five: moves holds the one block
  Defending,   // the opponent has an open three: moves holds the defences and our fours
  Open,        // nothing forced: moves holds the candidates near the stones
};

// How many candidates a node without threats needs: all of them to search, or one to know that
// the side to move has a move at all (at the horizon, where only the evaluation follows).
enum class OpenMoves { All, Any };

// Generates the moves of the side to move as the threats allow; Black's forbidden points are
// never among them under renju.
NodeKind GenerateMoves(MasterBoard& board, MoveList& list, OpenMoves open = OpenMoves::All);

// Every empty point of the board where `colour` has all the threat bits in mask (legal ones
// only: a Black point forbidden under renju is left out).
void CollectThreatPoints(MasterBoard& board, int colour, uint8_t mask, MoveList& list);

// When a search for a win must give up early: the stop flag or the clock.
struct ThreatAbort {
  const std::atomic<bool>* stop = nullptr;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

// A win by continuous fours (vctMode false) or by fours and threes (true) for the side to
// move, within `depth` attacking moves and `budget` nodes; the first move, or -1 (also when
// the abort fired).
int FindMasterWin(MasterBoard& board, int depth, bool vctMode, int64_t& budget,
                  const ThreatAbort& abort = {});

}  // namespace tesmor
