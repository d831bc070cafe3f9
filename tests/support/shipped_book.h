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

// A book move for the position on the board: its point, its mark's score for the side to move
// and the transform under whose key the book holds the position.
struct BoardBookMove {
  int point;
  int score;
  int id;
};

// Every move the book holds for the position, under each of the eight transforms in turn, in
// file order; a symmetric position can show the same move more than once.
std::vector<BoardBookMove> BookMovesOnBoard(const OpeningBook& book, const GameState& game);

// The moves with the side to move's best mark, under each transform that finds the position:
// what the book may answer, whichever transform answers first.
std::vector<int> BestBookMoves(const OpeningBook& book, const GameState& game);

}  // namespace tesmor::test
