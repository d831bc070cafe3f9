#include "board/symmetry.h"

#include <gtest/gtest.h>

#include <random>

#include "support/diagram.h"

namespace tesmor {
namespace {

using test::FromMoves;
using test::P;

// The 2-bit code that a key holds at key point q.
uint32_t CodeAt(const PositionKey& key, int q) {
  return (key[1 + PointRow(q)] >> (2 * PointCol(q))) & 3u;
}

TEST(PositionKey, WhereEachTransformPutsAStone) {
  // A Black stone on D2 and a White one on C1, seen through each transform: 0 identity, 1 and 2
  // quarter turns, 3 mirror left-right, 4 half turn, 5 and 6 diagonal mirrors, 7 top-bottom.
  const GameState state = FromMoves({"D2", "C1"});
  const char* black[] = {"D2", "B12", "N4", "L2", "L14", "N12", "B4", "D14"};
  const char* white[] = {"C1", "A13", "O3", "M1", "M15", "O13", "A3", "C15"};
  for (int id = 0; id < TransformCount; ++id) {
    const PositionKey key = MakePositionKey(state.cells, id);
    EXPECT_EQ(CodeAt(key, P(black[id])), 1u) << id;
    EXPECT_EQ(CodeAt(key, P(white[id])), 3u) << id;  // mapped back: the next test
  }
  EXPECT_EQ(MapKeyPointToBoard(-1, 0), -1);
  EXPECT_EQ(MapKeyPointToBoard(225, 3), -1);
}

TEST(PositionKey, EveryTransformMapsEveryStoneBackToItsPoint) {
  std::mt19937 rng(7);
  for (int game = 0; game < 200; ++game) {
    const GameState state = test::RandomPosition(rng, 1 + game % 60, true);
    for (int id = 0; id < TransformCount; ++id) {
      const PositionKey key = MakePositionKey(state.cells, id);
      int stones = 0;
      for (int q = 0; q < CellCount; ++q) {
        const int board = MapKeyPointToBoard(q, id);
        ASSERT_GE(board, 0);
        const int value = state.cell(PointRow(board), PointCol(board));
        ASSERT_EQ(CodeAt(key, q), value == Black ? 1u : value == White ? 3u : 0u) << id;
        stones += value != Empty;
      }
      EXPECT_EQ(stones, state.moveCount);
    }
  }
  PositionKey key = MakePositionKey(FromMoves({"F4", "H5"}).cells, 0);
  NormaliseKey(key);
  EXPECT_EQ(key, MakePositionKey(FromMoves({"A1", "C2"}).cells, 0));
}

TEST(FifthOffering, SymmetriesAboutAnyAxisAndColoursThatMatter) {
  struct Case {
    std::initializer_list<const char*> moves;  // the first five moves
    const char* point;                         // tested instead of the fifth
    int same;
  };
  const Case cases[] = {
      // Symmetric about the H column: I11 mirrors G11, J11 does not.
      {{"H8", "H9", "H10", "H6", "G11"}, "I11", 1},
      {{"H8", "H9", "H10", "H6", "G11"}, "J11", 0},
      // Symmetric about the I column, one right of the centre.
      {{"H8", "I9", "J8", "I12", "G10"}, "K10", 1},
      {{"H8", "I9", "J8", "I12", "G10"}, "L10", 0},
      // I12 mirrors the shape left-right, but with the colours of the columns swapped.
      {{"H8", "I8", "H10", "I10", "H12"}, "I12", 0},
      {{"H8", "I8", "H10", "I10", "H12"}, "H6", 1},  // across row 9, off the centre
      {{"H8", "I8", "H10", "I10", "H12"}, "H12", 1},
      {{"H8", "I8", "H10", "I10", "H12"}, "H4", 0},
  };
  for (const auto& [moves, point, same] : cases) {
    GameState state = FromMoves(moves);
    const GameState before = state;
    EXPECT_EQ(SameFifthOfferingExists(state, PointRow(P(point)), PointCol(P(point))), same)
        << point;
    EXPECT_EQ(state, before);
  }
}

}  // namespace
}  // namespace tesmor
