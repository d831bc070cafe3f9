#pragma once

#include <string>
#include <string_view>

#include "book/book_format.h"

namespace tesmor {

// The book's text form, which a person writes and reads. One line per move: two spaces of
// indentation per level below the empty board, the point ("H8"), and the mark after one space
// when the move has one. A mark is a printable ASCII character, or \xHH (upper-case hex) for any
// other byte. Lines starting with '#' after their indentation, and blank lines, are comments:
//
//   # the centre, then a direct and an indirect reply
//   H8
//     H9 !
//       I10 A
//     I9 b
//
// A tree's text reads back to the same tree, and accepted text without comments prints back
// unchanged.
struct BookTextResult {
  bool ok = false;
  BookTree tree;
  std::string error;  // "line N: ..." when the text was refused
};

// Refuses, with the first line at fault, any text that is not in the form above or that plays a
// point twice on one line of play (the reader would drop such a move).
BookTextResult ParseBookText(std::string_view text);

std::string BookText(const BookTree& tree);

}  // namespace tesmor
