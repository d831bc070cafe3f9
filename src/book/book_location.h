#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "book/opening_book.h"

namespace tesmor {

constexpr const char* BookFileName = "M.lib";
// What the window shows when no book could be read; play then goes on without one.
constexpr const char* BookFailureText = "棋谱读取失败！";
constexpr const char* BookFailureCaption = "提示信息";

// Where the book is looked for, in order: the working directory, the executable's directory
// and the installed data directory. A program started from a desktop menu runs in the user's
// home, so the working directory alone would miss the book it was installed with.
std::vector<std::filesystem::path> OpeningBookPlaces();

// The first place that holds a book file, or an empty path.
std::filesystem::path FindOpeningBook(const std::vector<std::filesystem::path>& places);

// Finds the book and reads it into book. When no book file could be read (loaded false) the
// caller tells the user (BookFailureText) and plays on with the empty book; when it was damaged
// the caller says so (BookDamageText, BookDamageNote) and plays on with what was kept.
BookLoadReport LoadOpeningBook(OpeningBook& book);

// The window's words for a damaged book, with the number of moves kept.
std::string BookDamageText(int64_t movesKept);
// One line for a console: the file, that it is damaged, and how many moves were kept.
std::string BookDamageNote(const BookLoadReport& report);

}  // namespace tesmor
