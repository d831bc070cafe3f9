#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "book/book_format.h"
#include "book/opening_book.h"

namespace tesmor::test {

// The opening book shipped in resources/ and the text it is compiled from.
std::string ShippedBookPath();
std::string ShippedBookSourcePath();

// The shipped book's tree and lookup book, read once; empty when the file cannot be read.
const BookTree& ShippedBookTree();
const OpeningBook& ShippedBook();

// The moves the tree holds after the given path from the empty board, or nullptr when the path
// leaves the tree.
const std::vector<BookNode>* BookMovesAfter(const std::vector<int>& path);

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
