#pragma once

#include <string>
#include <vector>

#include "board/board.h"

namespace tesmor::bookgen {

// How the moves of one book position are found and graded.
struct NodePlan {
  int candidates = 8;  // moves graded: the best by the candidate table, symmetric twins dropped
  int depth = 3;       // the last deepening iteration; iteration d searches 2d plies below a move
  int width = 16;      // replies kept below each graded move, as the level table's width
  int keepNum = 3;     // fraction of the width kept from one ply to the next
  int keepDen = 4;

  // The settings in one word, for the cache and the book's header.
  std::string Text() const;
};

// One graded move: its search value for the side that plays it (WonValue for a proven win) and
// the candidate table's value, which breaks ties.
struct GradedMove {
  int point = NoPoint;
  int value = 0;
  int order = 0;
  bool proven = false;  // the first move of a win by continuous fours

  bool operator==(const GradedMove&) const = default;
};

// The candidates of the position for the side to move, each valued by an iterative deepening
// alpha-beta search with a full window of its own, best first (ties by candidate value, then by
// point). A win by continuous fours for the side to move comes first, proven. Points after which
// the opponent's win by continuous fours stands are left out, as the search's root leaves them.
// The answer depends on the stones alone, not on how they came on the board.
std::vector<GradedMove> AnalysePosition(const GameState& position, const NodePlan& plan);

// Would move b give the position that move a gives, under a symmetry of the board or a shift?
// For Black's fifth move the RIF test itself decides. Leaves the game as it was.
bool EquivalentMoves(GameState& game, int a, int b);

// The first count moves of a best-first list, passing over moves equivalent to one taken.
std::vector<GradedMove> TakeDistinct(GameState& game, const std::vector<GradedMove>& bestFirst,
                                     size_t count);

// Adds, while the list is shorter than count, the twins of its moves in list order, each with the
// value of the move it mirrors: when a symmetry leaves one good move (White's one block of an open
// three and its mirror image), both are book moves. Twins are no choice for Black's fifth move,
// whose offerings must differ, so there the list is returned as it is.
std::vector<GradedMove> FillWithTwins(GameState& game, std::vector<GradedMove> moves, size_t count);

// Marks for a best-first list of the moves of side (Black or White): "!" for a proven win, then
// letters by rank, from Black's side, so that the book's mark scores for side order the moves as
// the values do (Black's best A, then B...; White's best G, then F...). Equal values share a
// letter, except that no letter is given to more than four moves, since the book passes over
// five equally good moves.
std::string MarksFor(const std::vector<GradedMove>& bestFirst, int side);

// The position of the stones given as "H8 H9 J10", Black first, under the forbidden-move rules.
GameState PositionOf(const std::vector<int>& moves);

// The stones of a position as "B:H8,J10 W:H9", each colour in PointIndex order; equal exactly when
// the stones are.
std::string StonesText(const GameState& position);

}  // namespace tesmor::bookgen
