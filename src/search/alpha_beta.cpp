#include "search/alpha_beta.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The empty points that score at least `floor` (at least kScoreCap where the floor is higher),
// as a bit set by CellIndex, and whether any empty point scores as a five. One pass over the
// board without branches.
struct ScoredCells {
  std::array<uint64_t, 4> words{};
  bool five = false;
};
// The scores are compared as 16-bit numbers, eight at a time; every five scores above the cap.
constexpr int kScoreCap = 32767;
static_assert(FiveScoreMin > kScoreCap);
// Occupied points score below every floor and every five.
#if defined(__SSE2__)
// The scores of sixteen cells from `cell` on, packed to 16 bits: higher ones to the cap.
struct PackedScores {
  __m128i low;
  __m128i high;
  PackedScores(const std::array<int32_t, CellCount>& scores, int cell) {
    const auto* from = reinterpret_cast<const __m128i*>(&scores[cell]);
    low = _mm_packs_epi32(_mm_loadu_si128(from), _mm_loadu_si128(from + 1));
    high = _mm_packs_epi32(_mm_loadu_si128(from + 2), _mm_loadu_si128(from + 3));
  }
  // Which of them are above `bound`, a bit each.
  uint64_t Above(__m128i bound) const {
    const __m128i bytes =
        _mm_packs_epi16(_mm_cmpgt_epi16(low, bound), _mm_cmpgt_epi16(high, bound));
    return static_cast<uint16_t>(_mm_movemask_epi8(bytes));
  }
};

// Whether any of the cells at the cap scores as a five.
bool FiveAtCap(const std::array<int32_t, CellCount>& scores) {
  const __m128i belowCap = _mm_set1_epi16(kScoreCap - 1);
  bool five = false;
  for (int cell = 0; cell < CellCount; cell += 16) {
    uint64_t capped = cell + 16 <= CellCount ? PackedScores(scores, cell).Above(belowCap)
                                             : static_cast<uint64_t>(scores[cell] >= kScoreCap);
    for (; capped != 0; capped &= capped - 1) {
      const int score = scores[cell + std::countr_zero(capped)];
      five = five || (score >= FiveScoreMin && score < FiveScoreEnd);
    }
  }
  return five;
}

// Sixteen cells at a time: their scores packed to 16 bits, compared and packed to a byte each
// give their bits at once. Only a board with a score at the cap is looked at again for fives.
ScoredCells CellsAtLeast(const std::array<int32_t, CellCount>& scores, int floor) {
  static_assert(CellCount == 14 * 16 + 1);
  floor = std::min(floor, kScoreCap);
  const __m128i below = _mm_set1_epi16(static_cast<int16_t>(floor - 1));
  __m128i highest = _mm_set1_epi16(-1);
  ScoredCells found;
  for (int w = 0; w < 4; ++w) {
    uint64_t word = 0;
    for (int part = 0; part < 4 && w * 64 + part * 16 + 16 <= CellCount; ++part) {
      const PackedScores packed(scores, w * 64 + part * 16);
      highest = _mm_max_epi16(highest, _mm_max_epi16(packed.low, packed.high));
      word |= packed.Above(below) << (part * 16);
    }
    found.words[w] = word;
  }
  constexpr int last = CellCount - 1;
  found.words[last >> 6] |= static_cast<uint64_t>(scores[last] >= floor) << (last & 63);
  const __m128i capped = _mm_cmpeq_epi16(highest, _mm_set1_epi16(kScoreCap));
  found.five = (_mm_movemask_epi8(capped) != 0 || scores[last] >= kScoreCap) && FiveAtCap(scores);
  return found;
}
#else
ScoredCells CellsAtLeast(const std::array<int32_t, CellCount>& scores, int floor) {
  // A byte per cell first, which the compiler computes many cells at a time; then the bytes
  // eight at a time into bits: the multiplication gathers the low bit of each byte into the top
  // byte of the product.
  std::array<uint8_t, 256> picked{};
  uint8_t fives = 0;
  floor = std::min(floor, kScoreCap);
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
#endif

// The best `width` of the keys offered, highest first. A key is a reply's key times 256 plus its
// point, so that one comparison orders both and no two are equal: of two equal reply keys the
// later point in PointIndex order goes first. Kept in order as they come: most fall below the
// last one kept at once.
class BestKeys {
 public:
  explicit BestKeys(int width) : width_(width) {}

  void Offer(int replyKey, int point) {
    const int64_t key = static_cast<int64_t>(replyKey) * 256 + point;
    if (kept_ == width_ && (width_ <= 0 || key < keys_[width_ - 1])) return;
    int j = kept_ < width_ ? kept_++ : width_ - 1;
    for (; j > 0 && keys_[j - 1] < key; --j) keys_[j] = keys_[j - 1];
    keys_[j] = key;
  }
  int kept() const { return kept_; }
  bool full() const { return kept_ == width_; }
  // The reply key of the last one kept; the list is full.
  int LastReplyKey() const { return static_cast<int>(keys_[width_ - 1] >> 8); }

  void Fill(CandidateList& list) const {
    for (int i = 0; i < kept_; ++i)
      list.slots[i] = {static_cast<int>(keys_[i] >> 8), static_cast<int>(keys_[i] & 255)};
  }

 private:
  std::array<int64_t, CandidateSlots> keys_;
  int width_;
  int kept_ = 0;
};

// The replies that the threat test keeps, with their keys; false when one of them completes a
// five, which ends the node at once. A reply's key is its value from the previous iteration
// where it has one, else its score.
class ReplyScan {
 public:
  // `threat`: the opponent's win by continuous fours that a reply must stop, or null.
  ReplyScan(SearchContext& context, GameState& game, int depth, const VcfRecord* threat)
      : context_(context),
        game_(game),
        searched_(depth > 2 ? context.searchedReplies.Find(context.pathKey) : nullptr),
        threat_(threat) {}

  const PointSet* searched() const { return searched_; }

  // Whether a reply on the empty point leaves the opponent's win by continuous fours standing.
  bool AttackStands(int row, int col) {
    if (threat_ == nullptr) return false;
    const ScopedPlay reply(game_, row, col);
    return FindVcfAfterDefence(context_, game_, threat_->limit, *threat_, PointIndex(row, col)) <
           VcfNone;
  }
  // The reply's value from the previous iteration, or null.
  const int32_t* Known(int point) const {
    const int32_t* known = searched_ && searched_->Has(point)
                               ? context_.pathScores.Find(ExtendPathKey(context_.pathKey, point))
                               : nullptr;
    return known && *known > -DecidedValue ? known : nullptr;
  }
  int Key(int point, int score) const {
    const int32_t* known = Known(point);
    return known ? *known : score + UnsearchedOffset;
  }
  static bool Five(int key) { return key >= FiveKeyMin && key < FiveKeyEnd; }

 private:
  SearchContext& context_;
  GameState& game_;
  const PointSet* searched_;
  const VcfRecord* threat_;
};

// Offers the cells of `cells` to the keys as unsearched replies.
void OfferCells(const std::array<int32_t, CellCount>& scores, const std::array<uint64_t, 4>& cells,
                BestKeys& keys) {
  for (int w = 0; w < 4; ++w) {
    for (uint64_t bits = cells[w]; bits != 0; bits &= bits - 1) {
      const int cell = w * 64 + std::countr_zero(bits);
      keys.Offer(scores[cell] + UnsearchedOffset, kPointOfCell[cell]);
    }
  }
}

// Offers the searched replies that have a known value and returns their cells.
std::array<uint64_t, 4> OfferKnown(const ReplyScan& scan,
                                   const std::array<int32_t, CellCount>& scores, BestKeys& keys) {
  std::array<uint64_t, 4> cells{};
  if (scan.searched() == nullptr) return cells;
  for (int w = 0; w < 4; ++w) {
    for (uint64_t bits = scan.searched()->words[w]; bits != 0; bits &= bits - 1) {
      const int p = w * 64 + std::countr_zero(bits);
      const int cell = CellIndex(PointRow(p), PointCol(p));
      if (scores[cell] < 0) continue;
      if (const int32_t* known = scan.Known(p)) {
        keys.Offer(*known, p);
        cells[cell >> 6] |= uint64_t{1} << (cell & 63);
      }
    }
  }
  return cells;
}

// What OrderReplies returns when a reply completes a five.
constexpr int FiveReply = -1;

// OrderReplies where a point scores as a five: the points go in PointIndex order, since the
// node ends at the first five kept and the threat tests of the points before it count.
int OrderRepliesInPointOrder(ReplyScan& scan, const std::array<int32_t, CellCount>& scores,
                             int width, CandidateList& list) {
  int count = 0;
  for (int col = 0, p = 0; col < BoardSize; ++col) {
    for (int row = 0; row < BoardSize; ++row, ++p) {
      const int score = scores[CellIndex(row, col)];
      if (score < 0 || scan.AttackStands(row, col)) continue;
      const int key = scan.Key(p, score);
      if (ReplyScan::Five(key)) return FiveReply;
      list.Insert(key, p, width);
      ++count;
    }
  }
  return std::clamp(count, 0, std::max(width, 0));
}

// OrderReplies without a threat test: the known replies, then the best unsearched ones, which
// are picked from the points at or above a floor: three quarters of the lowest score that the
// same depth's last plain list kept, which nearby positions mostly reach. While the floor leaves
// the list short, the points down to an eighth of it are added, and so on down to 0: a pass over
// the board costs less than offering many points that fall off the list.
int OrderUnthreatenedReplies(SearchContext& context, ReplyScan& scan,
                             const std::array<int32_t, CellCount>& scores, int depth, int width,
                             CandidateList& list) {
  int& guess = context.replyFloors[std::min(depth, SearchContext::ReplyFloorDepths - 1)];
  int floor = std::max(guess / 4 * 3, 0);
  const ScoredCells picked = CellsAtLeast(scores, floor);
  // Where a point scores as a five, the node ends unless that point has a known value.
  if (picked.five)
    return scan.searched() ? OrderRepliesInPointOrder(scan, scores, width, list) : FiveReply;
  BestKeys keys(width);
  std::array<uint64_t, 4> offered = OfferKnown(scan, scores, keys);
  std::array<uint64_t, 4> added;
  for (int w = 0; w < 4; ++w) added[w] = picked.words[w] & ~offered[w];
  for (;;) {
    OfferCells(scores, added, keys);
    for (int w = 0; w < 4; ++w) offered[w] |= added[w];
    if (keys.full() || floor == 0) break;
    floor = floor > 8 ? floor / 8 : 0;
    const ScoredCells more = CellsAtLeast(scores, floor);
    for (int w = 0; w < 4; ++w) added[w] = more.words[w] & ~offered[w];
  }
  keys.Fill(list);
  if (scan.searched() == nullptr && keys.full()) guess = keys.LastReplyKey() - UnsearchedOffset;
  return keys.kept();
}

// Orders the replies of the side to move into the list: the previous iteration's path scores
// first, then the candidate values. With a threat, only replies that stop the opponent's win by
// continuous fours within its limit are kept; `threat` is the search that found the win. Returns
// the number of replies listed, or FiveReply when one completes a five, which ends the node.
int OrderReplies(SearchContext& context, GameState& game, int depth, int width,
                 const VcfRecord* threat, CandidateList& list) {
  RefreshCandidates(context.eval, game);
  ReplyScan scan(context, game, depth, threat);
  if (const PointSet* searched = scan.searched()) {
    // The scan below looks up the value of each searched reply; start the loads now.
    for (int w = 0; w < 4; ++w)
      for (uint64_t bits = searched->words[w]; bits != 0; bits &= bits - 1)
        context.pathScores.Prefetch(
            ExtendPathKey(context.pathKey, w * 64 + std::countr_zero(bits)));
  }
  const auto& scores = context.eval.Candidates(game.SideToMove());
  if (threat == nullptr && width > 0)
    return OrderUnthreatenedReplies(context, scan, scores, depth, width, list);
  const ScoredCells picked = CellsAtLeast(scores, 0);
  if (picked.five) return OrderRepliesInPointOrder(scan, scores, width, list);
  // No reply completes a five, so every point is looked at, and the threat tests leave nothing
  // behind that a later one reads: the order of the points decides nothing but ties of keys.
  BestKeys keys(width);
  for (int w = 0; w < 4; ++w) {
    for (uint64_t bits = picked.words[w]; bits != 0; bits &= bits - 1) {
      const int cell = w * 64 + std::countr_zero(bits);
      if (scan.AttackStands(cell / BoardSize, cell % BoardSize)) continue;
      const int p = kPointOfCell[cell];
      keys.Offer(scan.Key(p, scores[cell]), p);
    }
  }
  keys.Fill(list);
  return keys.kept();
}

// A leaf: the move played and the position scored statically, never stored. Apart from the
// inner nodes' search, whose frame is far larger, so that a depth-1 node calls it directly.
int LeafValue(SearchContext& context, GameState& game, int move) {
  if (context.Stopped()) return 0;
  ++context.nodeCount;
  const int mover = game.SideToMove();
  const ScopedPlay stone(game, PointRow(move), PointCol(move));
  return EvaluatePosition(context.eval, game, mover);
}

}  // namespace

int AlphaBeta(SearchContext& context, GameState& game, int move, int width, int depth, int alpha,
              int beta) {
  if (depth == 0) return LeafValue(context, game, move);
  // A stop unwinds the whole search with zeros.
  if (context.Stopped()) return 0;
  // Count the node and play its move. An inner node reads and writes its own table entries only
  // after its threat test and move ordering: their loads start first.
  ++context.nodeCount;
  if (context.iteration < context.maxDepth) context.pathScores.Prefetch(context.pathKey);
  if (depth >= 2) context.searchedReplies.Prefetch(context.pathKey);
  const int mover = game.SideToMove();
  NodeStone stone(context, game, move);

  CandidateList list;
  int best = -WonValue;
  int localAlpha = -beta;

  // Does the mover now threaten a win by continuous fours?
  const int threatLimit = depth + 2 * (3 - context.maxDepth);
  // (Made only where asked: a record is larger than the rest of the node.)
  std::optional<VcfRecord> threat;
  const bool mustDefend = threatLimit > 0 && FindVcfRecorded(context, game, mover, threatLimit,
                                                             threat.emplace()) < VcfNone;

  const int count =
      OrderReplies(context, game, depth, width, mustDefend ? &*threat : nullptr, list);
  if (count == FiveReply) return stone.Return(-depth * 1000000, depth);
  const uint64_t pathKey = context.pathKey;

  // Search the kept replies; a reply that reaches the bound of the window cuts the node off.
  const int childWidth = std::min(context.keepNum * width / context.keepDen + 1, width);
  for (int i = 0; i < count; ++i) {
    const int reply = list.slots[i].point;
    context.pathKey = ExtendPathKey(pathKey, reply);
    const int value =
        depth == 1 ? LeafValue(context, game, reply)
                   : AlphaBeta(context, game, reply, childWidth, depth - 1, localAlpha, -alpha);
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
