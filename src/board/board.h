#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>

namespace tesmor {

constexpr int BoardSize = 15;
constexpr int CellCount = BoardSize * BoardSize;
constexpr int NoPoint = 225;

constexpr int Empty = 0;
constexpr int Black = 1;
constexpr int White = -1;
// Fills the positions of a Line that lie beyond the board; never stored in GameState::cells.
constexpr int OffBoard = 1024;

constexpr int CellIndex(int row, int col) {
  return row * BoardSize + col;
}
constexpr int PointIndex(int row, int col) {
  return col * BoardSize + row;
}
constexpr int PointRow(int point) {
  return point % BoardSize;
}
constexpr int PointCol(int point) {
  return point / BoardSize;
}
constexpr bool OnBoard(int row, int col) {
  return row >= 0 && row < BoardSize && col >= 0 && col < BoardSize;
}

// A move travels as one integer: a PointIndex, -1 for the resignation of the side to move, or a
// PointPair carrying the two points of the RIF fifth-move exchange.
constexpr int Resign = -1;
constexpr int PointPairBase = 65536;
constexpr int MakePointPair(int high, int low) {
  return PointPairBase + 256 * high + low;
}
constexpr int PairHigh(int value) {
  return ((value - PointPairBase) >> 8) & 0xFF;
}
constexpr int PairLow(int value) {
  return (value - PointPairBase) & 0xFF;
}

// "H8" for the centre: column letter from the left, row number from the bottom.
std::string PointText(int point);
// Parses "h8", "H8", "O15"; returns NoPoint for anything else.
int ParsePoint(const std::string& text);

struct MoveRecord {
  int32_t row = 0;
  int32_t col = 0;
  bool operator==(const MoveRecord&) const = default;
};

// A field of the position that everyone reads as a plain value and only GameState writes, so
// that the Zobrist key cannot fall out of step with the stones.
template <typename T>
class ReadOnly {
 public:
  constexpr operator const T&() const { return value_; }
  constexpr const T& get() const { return value_; }
  constexpr decltype(auto) operator[](size_t i) const requires requires(const T& t) { t[i]; }
  { return value_[i]; }
  constexpr auto begin() const requires requires(const T& t) { t.begin(); }
  { return value_.begin(); }
  constexpr auto end() const requires requires(const T& t) { t.end(); }
  { return value_.end(); }
  // The arrays compare through these; a number compares as the plain number it converts to.
  friend constexpr bool operator==(const ReadOnly& a,
                                   const ReadOnly& b) requires(!std::is_arithmetic_v<T>) {
    return a.value_ == b.value_;
  }
  friend constexpr bool operator==(const ReadOnly& a,
                                   const T& b) requires(!std::is_arithmetic_v<T>) {
    return a.value_ == b;
  }

 private:
  friend class GameState;
  T value_{};
};

// Fixed Zobrist numbers, the same in every build: one per colour and point, and one for White to
// move. A position's key is the exclusive or of the numbers of its stones and its side to move.
struct ZobristTable {
  std::array<uint64_t, 2 * CellCount> stones{};
  uint64_t whiteToMove = 0;
};
// Scrambles the bits of a word so that nearby inputs give unrelated outputs.
constexpr uint64_t MixBits(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
constexpr uint64_t SplitMix64(uint64_t& state) {
  return MixBits(state += 0x9E3779B97F4A7C15ull);
}
constexpr ZobristTable MakeZobristTable() {
  ZobristTable table;
  uint64_t state = 0x7E5305u;
  for (uint64_t& number : table.stones) number = SplitMix64(state);
  table.whiteToMove = SplitMix64(state);
  return table;
}
inline constexpr ZobristTable kZobrist = MakeZobristTable();
// The number of a Black or White stone on a cell (CellIndex).
constexpr uint64_t ZobristStone(int colour, int cell) {
  return kZobrist.stones[static_cast<size_t>(colour == Black ? cell : CellCount + cell)];
}

// The position that every part of the engine reads and the searches change: the stones, the
// move count and the moves in their order, with a Zobrist key kept in step by every change. It
// carries the forbidden-move setting so that the rule tests, the evaluation and the searches all
// see the same value as the game logic that plays on it. Stones change only through the named
// operations below; the focus and the forbidden-move setting are the game's to set.
class GameState {
 public:
  ReadOnly<std::array<int32_t, CellCount>> cells;  // indexed by CellIndex
  ReadOnly<int32_t> moveCount;
  int32_t focusRow = 0;  // the point that the game-end and forbidden-move tests examine
  int32_t focusCol = 0;
  ReadOnly<std::array<MoveRecord, CellCount>> history;  // entry k is move k + 1
  int32_t forbiddenRulesOn = 0;

  int32_t cell(int row, int col) const { return cells.value_[CellIndex(row, col)]; }
  int32_t SideToMove() const { return moveCount.value_ % 2 == 0 ? Black : White; }
  uint64_t Key() const { return key_; }
  // The key once the side to move has played at (row, col), without playing there.
  uint64_t KeyAfter(int row, int col) const {
    return key_ ^ ZobristStone(SideToMove(), CellIndex(row, col)) ^ kZobrist.whiteToMove;
  }
  // The numbers of the stones alone, without the side to move.
  uint64_t StonesKey() const {
    return key_ ^ (moveCount.value_ % 2 != 0 ? kZobrist.whiteToMove : 0);
  }

  // A stone of the side to move on the empty point (row, col), recorded as the next move.
  void Play(int row, int col) {
    key_ = KeyAfter(row, col);
    cells.value_[CellIndex(row, col)] = SideToMove();
    history.value_[moveCount.value_] = {row, col};
    ++moveCount.value_;
  }
  // Takes back the newest move; nothing happens on an empty record.
  void Undo() {
    if (moveCount.value_ == 0) return;
    --moveCount.value_;
    const MoveRecord undone = history.value_[moveCount.value_];
    const int index = CellIndex(undone.row, undone.col);
    key_ ^= ZobristStone(cells.value_[index], index) ^ kZobrist.whiteToMove;
    cells.value_[index] = Empty;
  }
  // The newest move moves to the empty point (row, col), keeping its colour and its number: the
  // RIF opening's choice between two offered fifth moves.
  void ReplaceNewestMove(int row, int col) {
    Undo();
    Play(row, col);
  }

  // The forbidden-move rule looks ahead by putting a Black stone on an empty point and taking it
  // away again; such a stone is no move, so the count and the order stay as they are.
  void PlaceProbeStone(int row, int col) { SetCell(CellIndex(row, col), Black); }
  void RemoveProbeStone(int row, int col) { SetCell(CellIndex(row, col), Empty); }

  // A position given by its stones rather than by its moves (a diagram, a puzzle): stones put or
  // taken away outside the move order, and the count that says whose turn it is.
  void SetUpStone(int row, int col, int colour) { SetCell(CellIndex(row, col), colour); }
  void SetUpMoveCount(int count) {
    if (count % 2 != moveCount.value_ % 2) key_ ^= kZobrist.whiteToMove;
    moveCount.value_ = count;
  }
  // An empty board with Black to move; the history entries stay behind, unread.
  void ClearStones() {
    cells.value_.fill(Empty);
    moveCount.value_ = 0;
    key_ = 0;
  }

  // Two positions are equal when everything that is read of them is: the history beyond the
  // move count is not.
  bool operator==(const GameState& other) const;

 private:
  void SetCell(int index, int value) {
    const int old = cells.value_[index];
    if (old == Black || old == White) key_ ^= ZobristStone(old, index);
    if (value == Black || value == White) key_ ^= ZobristStone(value, index);
    cells.value_[index] = value;
  }

  uint64_t key_ = 0;
};

// Plays a move for a short look-ahead and takes it back when the scope ends.
class ScopedPlay {
 public:
  ScopedPlay(GameState& state, int row, int col) : state_(state) { state_.Play(row, col); }
  ~ScopedPlay() { state_.Undo(); }
  ScopedPlay(const ScopedPlay&) = delete;
  ScopedPlay& operator=(const ScopedPlay&) = delete;

 private:
  GameState& state_;
};

// The key computed from scratch, for checking the one kept in step.
uint64_t ComputeKey(const GameState& state);

// Empties the board and clears the forbidden-move setting; history entries are left behind.
GameState& ClearGameState(GameState& state);

// Records a stone of the side to move on an empty point as the game's newest move: the focus and
// the last move follow it.
void RecordMove(GameState& state, int row, int col);
// Takes back the newest move; the focus and the last move go back to the move before it.
void UndoMove(GameState& state);

// A board line with two OffBoard guards at each end: position k of the line is entry k + 2.
using Line = std::array<int32_t, 19>;

enum Direction : int { Row = 0, Column = 1, Diagonal = 2, AntiDiagonal = 3 };

// The line number and position of (row, col) on its line of the given direction.
constexpr int LineNumber(int direction, int row, int col) {
  switch (direction) {
    case 0:
      return row;
    case 1:
      return col;
    case 2:
      return row + col;
    default:
      return row - col + 14;
  }
}
constexpr int LinePosition(int direction, int row, int col) {
  switch (direction) {
    case 0:
      return col;
    case 1:
      return row;
    case 2:
      return col;
    default:
      return 14 - col;
  }
}
// The board point at position pos of the line of the given direction through (row, col).
struct BoardPoint {
  int row;
  int col;
};
constexpr BoardPoint LinePointToBoard(int direction, int row, int col, int pos) {
  switch (direction) {
    case 0:
      return {row, pos};
    case 1:
      return {pos, col};
    case 2:
      return {row + col - pos, pos};
    default:
      return {row - col + 14 - pos, 14 - pos};
  }
}

Line ExtractLine(const std::array<int32_t, CellCount>& cells, int direction, int lineNumber);

// The four lines through one point, with the pattern counters that the evaluation fills.
struct LineSet {
  GameState* state = nullptr;
  std::array<Line, 4> lines{};
  std::array<int32_t, 22> counters{};
};

LineSet ExtractLines(GameState& state, int row, int col);

// Does the stone at position pos belong to a five on this line? Under forbidden rules Black's
// five must be exact.
int IsFiveInLine(const Line& line, int pos, bool forbiddenRulesOn);
int IsFiveAt(const GameState& state, int row, int col);
// The colour of the five through the focus point, or 0.
int WinnerAtFocus(const GameState& state);

}  // namespace tesmor
