// A book file's bytes, as the game reads M.lib, and lookups in the book they give.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "board/board.h"
#include "board/random_source.h"
#include "board/symmetry.h"
#include "book/book_format.h"
#include "book/opening_book.h"
#include "fuzz_check.h"

namespace {

// Asks the book about the empty board and the position after each top-level move and its
// first reply, under every rule setting.
void LookUpAlongTree(const tesmor::OpeningBook& book, const tesmor::BookTree& tree) {
  // Fixed draws, so that a run depends on the input alone.
  tesmor::SequenceRandom random({0, 7, 3});
  tesmor::GameState game;
  tesmor::ClearGameState(game);
  auto ask = [&] {
    for (int id = 0; id < tesmor::TransformCount; id += 3) {
      const tesmor::PositionKey key = tesmor::MakePositionKey(game.cells, id);
      for (const bool rif : {false, true})
        for (const bool offering : {false, true}) {
          const int answer = book.LookupBook(key, game.SideToMove(), {rif, offering}, random);
          FUZZ_CHECK(answer == tesmor::NoPoint || answer == tesmor::Resign ||
                     (answer >= 0 && answer < tesmor::CellCount) ||
                     answer >= tesmor::PointPairBase);
        }
    }
  };
  ask();
  for (size_t i = 0; i < tree.size() && i < 8; ++i) {
    const int point = tree[i].point;
    tesmor::RecordMove(game, tesmor::PointRow(point), tesmor::PointCol(point));
    ask();
    tesmor::UndoMove(game);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const tesmor::BookReadResult read = tesmor::ReadBookTree(bytes);
  // What the reader kept is a sound tree: written out, it reads back the same and undamaged.
  const std::vector<uint8_t> written = tesmor::WriteBookTree(read.tree);
  const tesmor::BookReadResult again = tesmor::ReadBookTree(written);
  FUZZ_CHECK(again.tree == read.tree);
  FUZZ_CHECK(!again.report.Damaged() && again.report.trailingBytes == 0);
  const tesmor::OpeningBook book = tesmor::OpeningBook::FromBytes(bytes);
  FUZZ_CHECK(static_cast<int64_t>(book.entries().size()) == tesmor::CountBookNodes(read.tree));
  LookUpAlongTree(book, read.tree);
  return 0;
}
