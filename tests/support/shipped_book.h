#pragma once

#include <string>
#include <vector>

#include "book/opening_book.h"

namespace tesmor::test {

// The opening book shipped in resources/ and the text it is compiled from.
std::string ShippedBookPath();
std::string ShippedBookSourcePath();

// The bytes of a file, empty when it cannot be read.
std::string FileContents(const std::string& path);

// The shipped book, read once; empty when the file cannot be read.
const OpeningBook& ShippedBook();

// A book move on the board: its point, its score for the side to move, its transform.
struct BoardBookMove {
  int point;
  int score;
  int id;
};

// Every move the book holds for the position, transform by transform, in file order.
std::vector<BoardBookMove> BookMovesOnBoard(const OpeningBook& book, const GameState& game);

// The moves with the best mark under each transform that finds the position.
std::vector<int> BestBookMoves(const OpeningBook& book, const GameState& game);

}  // namespace tesmor::test
