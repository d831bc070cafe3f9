#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "board/board.h"
#include "board/random_source.h"
#include "eval/evaluation.h"
#include "eval/stone_tracker.h"
#include "eval/threat_board.h"
#include "search/keyed_table.h"
#include "search/master_search.h"
#include "search/path_keys.h"
#include "search/search_settings.h"

namespace tesmor {

class OpeningBook;

// Everything one search works with: the evaluation's caches, the VCF cache and path, the path
// scores of the deepening search, the counters, and where progress and console lines go. One
// context serves the consecutive searches of one player (the evaluation's snapshots carry over
// from one call to the next); searches on one context never overlap. Not copyable: it owns
// large caches, and the searches hold references into it.
class SearchContext {
 public:
  // The caches' default size in megabytes: it holds a whole search at levels 1 to 8 without
  // replacing an entry.
  static constexpr size_t DefaultTableMegabytes = 128;

  // `tablePool`, when given, lends and takes back the caches' memory and must outlive the
  // context: for a program that makes a context per position.
  SearchContext(RandomSource& random, const OpeningBook* book, std::ostream* console,
                TableBlocks* tablePool = nullptr);
  SearchContext(const SearchContext&) = delete;
  SearchContext& operator=(const SearchContext&) = delete;

  // The flag the window sets to stop the search; a context without one uses its own.
  void SetStopFlag(std::atomic<bool>* stop) { stopRequested_ = stop ? stop : &ownStop_; }
  std::atomic<bool>& stopRequested() { return *stopRequested_; }
  bool Stopped() const { return stopRequested_->load(std::memory_order_relaxed); }

  // Sizes the caches to share at most about `megabytes` (at least a few kilobytes each) and
  // empties them: three eighths each for the path scores and the searched replies, a quarter for
  // the VCF cache. Each starts small and grows to its share as a search fills it.
  void SetTableMegabytes(size_t megabytes);
  // Cache entries that displaced another key since the caches were last sized; while it is 0 the
  // caches held everything, and the node counts are those of unbounded ones.
  uint64_t TableReplacements() const {
    return pathScores.replacements() + searchedReplies.replacements() + vcfCache.replacements();
  }

  // The master search, made on first use so that contexts of the classic levels do not carry its
  // table; the table is sized in megabytes of its own.
  MasterSearch& master();
  void SetMasterTableMegabytes(size_t megabytes);
  // How long the master search thinks for one move, and what its last search found.
  std::chrono::milliseconds masterTime{3000};
  int masterThreads = 1;
  MasterResult masterResult;

  RandomSource& random() { return random_; }
  const OpeningBook* book() const { return book_; }
  std::ostream* console() const { return console_; }

  // Settings of the current call.
  SearchSettings settings;
  bool offeringFifth = false;
  SearchProgress* progress = nullptr;

  // The evaluation's snapshots, tally caches and candidate table.
  EvalContext eval;

  // VCF search: results by the key of the attacking and blocking stones placed so far.
  KeyedTable<int32_t> vcfCache;
  uint64_t vcfPathKey = 0;
  // The threat board of the last VCF search and the stones it was made from; every search
  // leaves it as it found it.
  struct VcfBoard {
    ThreatBoard board;
    StoneTracker stones;
    // Each line's four points for Black and for White as last found, with what the line held.
    std::array<std::array<uint64_t, ThreatLineCount>, 2> fourPoints{};
    bool valid = false;
  };
  VcfBoard vcfBoard;
  bool vcfComplete = false;
  // The attacker's moves of the last win found, up to the one that cannot be stopped (a five, a
  // straight four, or a four Black may not block).
  int vcfLength = 0;
  int64_t vcfNodes = 0;  // VCF nodes entered, for the benchmark

  // Deepening alpha-beta search.
  // Values of the previous iteration by the key of the move sequence that reached them.
  KeyedTable<int32_t> pathScores;
  // Which replies of a node have a value there, by the node's key: a node looks its replies up
  // only when it has searched them before, instead of once for every empty point.
  KeyedTable<PointSet> searchedReplies;
  uint64_t pathKey = 0;
  int64_t nodeCount = 0;
  int maxDepth = 0;
  int width = 0;
  int keepNum = 1;
  int keepDen = 1;
  int iteration = 0;
  std::chrono::steady_clock::time_point start;
  // The lowest score that the last plain reply list of each depth kept: a guess at where the
  // next one at that depth will end, which only speeds the ordering up.
  static constexpr int ReplyFloorDepths = 32;
  std::array<int, ReplyFloorDepths> replyFloors{};

 private:
  RandomSource& random_;
  const OpeningBook* book_;
  std::ostream* console_;
  std::unique_ptr<MasterSearch> master_;
  size_t masterMegabytes_ = DefaultTableMegabytes / 2;
  std::atomic<bool> ownStop_{false};
  std::atomic<bool>* stopRequested_ = &ownStop_;
};

}  // namespace tesmor
