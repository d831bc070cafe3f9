#include "board/symmetry.h"

#include <gtest/gtest.h>

#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::P;

TEST(PositionKey, PacksCellCodesUnderTransforms) {
  GameState state;
  ClearGameState(state);
  state.cell(0, 0) = Black;
  PositionKey key = MakePositionKey(state.cells, 0);
  EXPECT_EQ(key[0], 0u);
  EXPECT_EQ(key[1], 1u);
  for (int i = 2; i < 16; ++i) EXPECT_EQ(key[i], 0u);

  state.cell(0, 0) = White;
  EXPECT_EQ(MakePositionKey(state.cells, 0)[1], 3u);

  state.cell(0, 0) = Black;
  key = MakePositionKey(state.cells, 4);
  EXPECT_EQ(key[0], 4u);
  EXPECT_EQ(key[15], 1u << 28);  // key row 14, key column 14
}

TEST(PositionKey, EveryTransformMapsEveryStoneBackToItsPoint) {
  std::mt19937 rng(7);
  for (int id = 0; id < TransformCount; ++id) EXPECT_EQ(MapKeyPointToBoard(112, id), 112);
  EXPECT_EQ(MapKeyPointToBoard(-1, 0), -1);
  EXPECT_EQ(MapKeyPointToBoard(225, 3), -1);
  for (int game = 0; game < 200; ++game) {
    const GameState state = test::RandomPosition(rng, 1 + game % 60, true);
    for (int id = 0; id < TransformCount; ++id) {
      const PositionKey key = MakePositionKey(state.cells, id);
      int stones = 0;
      for (int q = 0; q < CellCount; ++q) {
        const uint32_t code = (key[1 + PointRow(q)] >> (2 * PointCol(q))) & 3u;
        const int board = MapKeyPointToBoard(q, id);
        ASSERT_GE(board, 0);
        const int value = state.cell(PointRow(board), PointCol(board));
        ASSERT_EQ(code, static_cast<uint32_t>((value + 4) % 4)) << "id " << id;
        stones += code != 0;
      }
      EXPECT_EQ(stones, state.moveCount);
      for (int i = 1; i < 16; ++i) EXPECT_EQ(key[i] >> 30, 0u);
    }
  }
}

TEST(PositionKey, NormaliseMovesStonesToTheCorner) {
  GameState state;
  ClearGameState(state);
  state.cell(3, 5) = Black;
  state.cell(4, 7) = White;
  PositionKey key = MakePositionKey(state.cells, 0);
  NormaliseKey(key);
  GameState expected;
  ClearGameState(expected);
  expected.cell(0, 0) = Black;
  expected.cell(1, 2) = White;
  EXPECT_EQ(key, MakePositionKey(expected.cells, 0));
}

TEST(FifthOffering, EquivalentOfferingsUnderSymmetriesAboutAnyAxis) {
  auto fiveStones = [](std::initializer_list<const char*> points) {
    GameState state;
    ClearGameState(state);
    state.forbiddenRulesOn = 1;
    for (const char* text : points) {
      const int p = P(text);
      RecordMove(state, PointRow(p), PointCol(p));
    }
    return state;
  };
  // Four stones symmetric about the H column (H8, H9, H10, H6) and the fifth move G11.
  GameState state = fiveStones({"H8", "H9", "H10", "H6", "G11"});
  const GameState before = state;
  EXPECT_EQ(SameFifthOfferingExists(state, 10, 8), 1);  // I11, the mirror image of G11
  EXPECT_EQ(state, before);
  EXPECT_EQ(SameFifthOfferingExists(state, 10, 9), 0);  // J11 is not
  EXPECT_EQ(state, before);

  // Stones symmetric about the I column, one right of the centre: H8, I9 (White), J8, I12.
  state = fiveStones({"H8", "I9", "J8", "I12", "G10"});
  EXPECT_EQ(SameFifthOfferingExists(state, 9, 10), 1);  // K10 mirrors G10 across column I
  EXPECT_EQ(SameFifthOfferingExists(state, 9, 11), 0);
}

TEST(FifthOffering, ColoursMatterAndAxesNeedNotPassTheCentre) {
  // Black H8, White I8, Black H10, White I10, fifth move H12.
  GameState state;
  ClearGameState(state);
  for (const char* text : {"H8", "I8", "H10", "I10", "H12"}) {
    const int p = P(text);
    RecordMove(state, PointRow(p), PointCol(p));
  }
  const GameState before = state;
  // I12 gives the left-right mirror of the stones' shape, but with the colours of the columns
  // swapped: a different offering.
  EXPECT_EQ(SameFifthOfferingExists(state, 11, 8), 0);
  EXPECT_EQ(state, before);
  // H6 mirrors H12 across row 9, an axis off the centre.
  EXPECT_EQ(SameFifthOfferingExists(state, 5, 7), 1);
  EXPECT_EQ(SameFifthOfferingExists(state, 11, 7), 1);  // H12 itself
  EXPECT_EQ(SameFifthOfferingExists(state, 3, 7), 0);   // H4
  EXPECT_EQ(state, before);
}

}  // namespace
}  // namespace tesmor
