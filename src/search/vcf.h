#pragma once

#include "board/board.h"
#include "eval/threat_board.h"
#include "search/search_context.h"

namespace tesmor {

// Answers of the VCF search besides a point: no win by continuous fours exists at any length, or
// none was found within the limit.
constexpr int VcfNone = 225;
constexpr int VcfUnknown = 255;

// The first move of a win by continuous fours for the side to move (FindVcf) or for the given
// side (FindVcfFor), deepening the number of attacking steps from 1 to limit. The search plays on
// a threat board built from the position and leaves the position alone.
int FindVcf(SearchContext& context, const GameState& game, int limit);
int FindVcfFor(SearchContext& context, const GameState& game, int side, int limit);

// A VCF search's answer kept with what it read, so that the search of the same position with one
// more stone of the defender need not run where that stone lands on no point it read: there the
// search would read the same at every step and count the same nodes to the same end.
struct VcfRecord {
  ThreatWatch watch;
  uint64_t stonesKey = 0;
  int32_t rules = 0;
  int side = 0;
  int limit = 0;
  bool valid = false;  // false after a stop: the search proved nothing
  int answer = VcfUnknown;
  bool complete = false;
  int length = 0;
  int64_t nodes = 0;
};

// FindVcfFor that fills the record.
int FindVcfRecorded(SearchContext& context, const GameState& game, int side, int limit,
                    VcfRecord& record);
// FindVcf on a position that the record's has one more stone on: the defender's on point. From
// the record where that stone changes nothing the search read, with the same effects on the
// context (the nodes counted, the length and completeness of the search).
int FindVcfAfterDefence(SearchContext& context, const GameState& game, int limit,
                        const VcfRecord& record, int point);

// The node search below one attacking step, on the search's threat board.
int VcfNode(SearchContext& context, ThreatBoard& board, int side, int limit);

}  // namespace tesmor
