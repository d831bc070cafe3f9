#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <unordered_map>

#include "board/board.h"
#include "board/random_source.h"
#include "eval/evaluation.h"
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
  SearchContext(RandomSource& random, const OpeningBook* book, std::ostream* console);
  SearchContext(const SearchContext&) = delete;
  SearchContext& operator=(const SearchContext&) = delete;

  // The flag the window sets to stop the search; a context without one uses its own.
  void SetStopFlag(std::atomic<bool>* stop) { stopRequested_ = stop ? stop : &ownStop_; }
  std::atomic<bool>& stopRequested() { return *stopRequested_; }
  bool Stopped() const { return stopRequested_->load(std::memory_order_relaxed); }

  RandomSource& random() { return random_; }
  const OpeningBook* book() const { return book_; }
  std::ostream* console() const { return console_; }

  // Settings of the current call.
  SearchSettings settings;
  bool offeringFifth = false;
  SearchProgress* progress = nullptr;

  // The evaluation's snapshots, tally caches and candidate table.
  EvalContext eval;

  // VCF search.
  std::unordered_map<std::string, uint32_t> vcfCache;
  std::string vcfPath;
  bool vcfComplete = false;
  // The attacker's moves of the last win found, up to the one that cannot be stopped (a five, a
  // straight four, or a four Black may not block).
  int vcfLength = 0;
  int64_t vcfNodes = 0;  // VCF nodes entered, for the benchmark

  // Deepening alpha-beta search.
  std::unordered_map<std::string, int> pathScores;
  std::string searchPath;
  int64_t nodeCount = 0;
  int maxDepth = 0;
  int width = 0;
  int keepNum = 1;
  int keepDen = 1;
  int iteration = 0;
  std::chrono::steady_clock::time_point start;

 private:
  RandomSource& random_;
  const OpeningBook* book_;
  std::ostream* console_;
  std::atomic<bool> ownStop_{false};
  std::atomic<bool>* stopRequested_ = &ownStop_;
};

// A search path byte: PointIndex + 15, so that no byte of a path is 0.
constexpr char PathByte(int point) {
  return static_cast<char>(point + 15);
}

}  // namespace tesmor
