#include "support/shipped_book.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "board/symmetry.h"

namespace tesmor::test {

std::string ShippedBookPath() {
  return TESMOR_SHIPPED_BOOK;
}

std::string ShippedBookSourcePath() {
  return TESMOR_SHIPPED_BOOK_SOURCE;
}

std::string FileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const OpeningBook& ShippedBook() {
  static const OpeningBook book = [] {
    OpeningBook read;
    read.Load(ShippedBookPath());
    return read;
  }();
  return book;
}

std::vector<BoardBookMove> BookMovesOnBoard(const OpeningBook& book, const GameState& game) {
  std::vector<BoardBookMove> moves;
  const int side = game.moveCount % 2 == 0 ? Black : White;
  for (int id = 0; id < TransformCount; ++id) {
    const PositionKey key = MakePositionKey(game.cells, id);
    for (const BookEntry& entry : book.entries()) {
      if (!std::equal(entry.rows.begin(), entry.rows.end(), key.begin() + 1)) continue;
      moves.push_back({MapKeyPointToBoard(entry.point, id),
                       MarkScore(static_cast<char>(entry.mark), side, true), id});
    }
  }
  return moves;
}

std::vector<int> BestBookMoves(const OpeningBook& book, const GameState& game) {
  const std::vector<BoardBookMove> moves = BookMovesOnBoard(book, game);
  std::vector<int> best;
  for (int id = 0; id < TransformCount; ++id) {
    int top = -1000000;
    for (const BoardBookMove& move : moves)
      if (move.id == id) top = std::max(top, move.score);
    for (const BoardBookMove& move : moves)
      if (move.id == id && move.score == top) best.push_back(move.point);
  }
  return best;
}

}  // namespace tesmor::test
