#include "game/openings.h"

#include <gtest/gtest.h>

#include <set>

#include "board/symmetry.h"
#include "support/diagram.h"

namespace tesmor {
namespace {

using test::FromMoves;

// Each of the 26 openings in each of the eight orientations: legal, named, keyed by its stones.
TEST(Openings, CatalogueInEveryOrientation) {
  std::set<int> keys;
  for (const NamedOpening& opening : OpeningCatalogue()) {
    for (int id = 0; id < TransformCount; ++id) {
      GameState state = FromMoves({});
      for (int p : OpeningStones(opening.number)) {
        const int q = MapKeyPointToBoard(p, id);
        RecordMove(state, PointRow(q), PointCol(q));
      }
      ASSERT_TRUE(IsLegalOpening(state)) << opening.name << id;
      EXPECT_EQ(OpeningName(state), opening.name) << "transform " << id;
      if (id == 0) {
        EXPECT_EQ(OpeningKey(state.history[0], state.history[1], state.history[2]), opening.key);
      }
    }
    keys.insert(opening.key);
  }
  EXPECT_EQ(keys.size(), 26u);
  // Only the first three stones count.
  EXPECT_EQ(OpeningName(FromMoves({"H8", "H9", "H10", "A1", "O15"})), "寒星");
}

TEST(Openings, LegalOpeningTest) {
  GameState two = FromMoves({"H8", "H9", "H10"});
  UndoMove(two);  // the third stone's entry stays behind in the history
  EXPECT_FALSE(IsLegalOpening(two));
  EXPECT_FALSE(IsLegalOpening(FromMoves({"H9", "H8", "H10"})));  // first stone off the centre
  EXPECT_FALSE(IsLegalOpening(FromMoves({"H8", "H10", "H9"})));  // second stone two away
  EXPECT_TRUE(IsLegalOpening(FromMoves({"H8", "H9", "F10"})));   // on the 5x5 border
  EXPECT_FALSE(IsLegalOpening(FromMoves({"H8", "H9", "E10"})));  // outside it
  EXPECT_FALSE(IsLegalOpening(FromMoves({"H8", "H9", "H11"})));
  EXPECT_EQ(OpeningName(FromMoves({"H8", "H9", "E10"})), "");
}

}  // namespace
}  // namespace tesmor
