#include "search/alpha_beta.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "search/path_keys.h"
#include "search/vcf.h"

namespace tesmor {

namespace {

// Candidate scores come offset by this so that a value learned from the previous iteration (a
// path score, never below -WonValue) sorts above every unsearched point.
constexpr int UnsearchedOffset = -200000000;
// The keys of unsearched replies that complete a five: candidate scores from 500000 on.
constexpr int FiveKeyMin = -199500000;
constexpr int FiveKeyEnd = -150000000;

// Takes the node's stone back and records the value it returns for the next iteration.
class NodeStone {
 public:
  NodeStone(SearchContext& context, GameState& game, int move) : context_(context), game_(game) {
    game_.Play(PointRow(move), PointCol(move));
  }
  NodeStone(const NodeStone&) = delete;
  NodeStone& operator=(const NodeStone&) = delete;

  int Return(int value, int depth) {
    game_.Undo();
    if (depth >= 1 && context_.iteration < context_.maxDepth)
      context_.pathScores.Store(context_.pathKey, value);
    return value;
  }

 private:
  SearchContext& context_;
  GameState& game_;
};

// The PointIndex of each cell, for scans that read the board in CellIndex order.
constexpr std::array<uint8_t, CellCount> MakePointOfCell() {
  std::array<uint8_t, CellCount> points{};
  for (int cell = 0; cell < CellCount; ++cell)
    points[cell] = static_cast<uint8_t>(PointIndex(cell / BoardSize, cell % BoardSize));
  return points;
}
constexpr std::array<uint8_t, CellCount> kPointOfCell = MakePointOfCell();

// The candidate scores that make an unsearched reply's key a five's.
constexpr int FiveScoreMin = FiveKeyMin - UnsearchedOffset;
constexpr int FiveScoreEnd = FiveKeyEnd - UnsearchedOffset;

// The empty points that score at least `floor`, as a bit set by CellIndex, and whether one of
// them completes a five. One pass over the board without branches.
struct ScoredCells {
  std::array<uint64_t, 4> words{};
  bool five = false;

  int Count() const {
    int count = 0;
    for (const uint64_t word : words) count += std::popcount(word);
    return count;
  }
};
// Occupied points score below every floor and every five.
ScoredCells CellsAtLeast(const std::array<int32_t, CellCount>& scores, int floor) {
  // A byte per cell first, which the compiler computes many cells at a time; then the bytes
  // eight at a time into bits: the multiplication gathers the low bit of each byte into the top
  // byte of the product.
  std::array<uint8_t, 256> picked{};
  uint8_t fives = 0;
  for (int cell = 0; cell < CellCount; ++cell) {
    picked[cell] = scores[cell] >= floor;
    fives |= static_cast<unsigned>(scores[cell] - FiveScoreMin) <
             static_cast<unsigned>(FiveScoreEnd - FiveScoreMin);
  }
  ScoredCells found;
  for (int i = 0; i < 32; ++i) {
    uint64_t bytes;
    std::memcpy(&bytes, &picked[8 * i], sizeof bytes);
    const uint64_t bits = (bytes * 0x0102040810204080ull) >> 56;
    found.words[i >> 3] |= bits << (8 * (i & 7));
  }
  found.five = fives != 0;
  return found;
}

// OrderReplies without a threat test or known replies: a reply's key is its score, ties going
// to the later point in PointIndex order. The list is the `width` best of the points scoring 0
// or more. They are picked from those at or above a floor: half the lowest score that the same
// depth's last list kept, which nearby positions mostly reach (points above the list's end cost
// little; a second pass costs more). A floor that leaves too few is dropped to 0.
bool OrderPlainReplies(SearchContext& context, const GameState& game, int depth, int width,
                       CandidateList& list) {
  const auto& scores = context.eval.Candidates(game.SideToMove());
  int& guess = context.replyFloors[std::min(depth, SearchContext::ReplyFloorDepths - 1)];
  int floor = std::max(guess / 2, 0);
  ScoredCells picked = CellsAtLeast(scores, floor);
  if (picked.five) return false;
  if (floor > 0 && picked.Count() < width) picked = CellsAtLeast(scores, 0);
  // Score and point in one number, so that one comparison orders both; no two are equal. The
  // best `width` kept in order as they come: most fall below the last one kept at once.
  std::array<int64_t, CandidateSlots> keys;
  int kept = 0;
  for (int w = 0; w < 4; ++w) {
    for (uint64_t bits = picked.words[w]; bits != 0; bits &= bits - 1) {
      const int cell = w * 64 + std::countr_zero(bits);
      const int64_t key = static_cast<int64_t>(scores[cell]) * 256 + kPointOfCell[cell];
      if (kept == width && key < keys[width - 1]) continue;
      int j = kept < width ? kept++ : width - 1;
      for (; j > 0 && keys[j - 1] < key; --j) keys[j] = keys[j - 1];
      keys[j] = key;
    }
  }
  for (int i = 0; i < kept; ++i) {
    const int64_t key = keys[i];
    list.slots[i] = {static_cast<int>(key >> 8) + UnsearchedOffset, static_cast<int>(key & 255)};
  }
  if (kept == width) guess = static_cast<int>(keys[kept - 1] >> 8);
  return true;
}

// Orders the replies of the side to move into the list: the previous iteration's path scores
// first, then the candidate values. With a threat limit, only replies that stop the opponent's
// win by continuous fours within it are kept; `threat` is the search that found the win. False
// when a reply completes a five, which ends the node at once.
bool OrderReplies(SearchContext& context, GameState& game, int depth, int width, int threatLimit,
                  const VcfRecord& threat, CandidateList& list) {
  RefreshCandidates(context.eval, game);
  const uint64_t pathKey = context.pathKey;
  const PointSet* searched = depth > 2 ? context.searchedReplies.Find(pathKey) : nullptr;
  if (threatLimit == 0 && searched == nullptr && width > 0)
    return OrderPlainReplies(context, game, depth, width, list);
  if (searched != nullptr) {
    // The scan below looks up the value of each searched reply; start the loads now.
    for (int w = 0; w < 4; ++w)
      for (uint64_t bits = searched->words[w]; bits != 0; bits &= bits - 1)
        context.pathScores.Prefetch(ExtendPathKey(pathKey, w * 64 + std::countr_zero(bits)));
  }
  const auto& candidates = context.eval.Candidates(game.SideToMove());
  // The points in PointIndex order (column by column), which decides among equal keys.
  for (int col = 0, p = 0; col < BoardSize; ++col) {
    for (int row = 0; row < BoardSize; ++row, ++p) {
      const int cell = CellIndex(row, col);
      const int score = candidates[cell];
      if (score < 0 || game.cells[cell] != Empty) continue;
      if (threatLimit > 0) {
        const ScopedPlay reply(game, row, col);
        if (FindVcfAfterDefence(context, game, threatLimit, threat, PointIndex(row, col)) < VcfNone)
          continue;  // the attack stands
      }
      int key = score + UnsearchedOffset;
      if (depth > 2) {
        const int32_t* known = searched && searched->Has(p)
                                   ? context.pathScores.Find(ExtendPathKey(pathKey, p))
                                   : nullptr;
        if (known && *known > -DecidedValue) key = *known;
      }
      if (key >= FiveKeyMin && key < FiveKeyEnd) return false;
      list.Insert(key, p, width);
    }
  }
  return true;
}

}  // namespace

int AlphaBeta(SearchContext& context, GameState& game, int move, int width, int depth, int alpha,
              int beta) {
  // A stop unwinds the whole search with zeros.
  if (context.Stopped()) return 0;
  // Count the node and play its move. An inner node reads and writes its own table entries only
  // after its threat test and move ordering: their loads start first.
  ++context.nodeCount;
  if (depth >= 1 && context.iteration < context.maxDepth)
    context.pathScores.Prefetch(context.pathKey);
  if (depth >= 2) context.searchedReplies.Prefetch(context.pathKey);
  const int mover = game.SideToMove();
  NodeStone stone(context, game, move);

  // Leaves are scored statically and never stored.
  if (depth == 0) {
    const int value = EvaluatePosition(context.eval, game, mover);
    return stone.Return(value, 0);
  }
  CandidateList list;
  int best = -WonValue;
  int localAlpha = -beta;

  // Does the mover now threaten a win by continuous fours?
  const int threatLimit = depth + 2 * (3 - context.maxDepth);
  VcfRecord threat;
  const bool mustDefend =
      threatLimit > 0 && FindVcfRecorded(context, game, mover, threatLimit, threat) < VcfNone;

  if (!OrderReplies(context, game, depth, width, mustDefend ? threatLimit : 0, threat, list))
    return stone.Return(-depth * 1000000, depth);
  const uint64_t pathKey = context.pathKey;

  // Search the kept replies; a reply that reaches the bound of the window cuts the node off.
  int count = 0;
  while (count < width && list.slots[count].score >= UnsearchedOffset) ++count;
  const int childWidth = std::min(context.keepNum * width / context.keepDen + 1, width);
  for (int i = 0; i < count; ++i) {
    const int reply = list.slots[i].point;
    context.pathKey = ExtendPathKey(pathKey, reply);
    const int value = AlphaBeta(context, game, reply, childWidth, depth - 1, localAlpha, -alpha);
    context.pathKey = pathKey;
    if (depth >= 2 && context.iteration < context.maxDepth)
      context.searchedReplies.Slot(pathKey).Add(reply);
    if (value > best) {
      best = value;
      if (value >= -alpha) return stone.Return(-DecidedValue - depth, depth);
      localAlpha = std::max(localAlpha, value);
    }
  }
  // A node without replies is a won position for the mover.
  return stone.Return(-best, depth);
}

}  // namespace tesmor
