#pragma once

#include <filesystem>
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

// Finds the book and reads it into book. False when no book file could be read: the caller
// tells the user (BookFailureText) and plays on with the empty book.
bool LoadOpeningBook(OpeningBook& book);

}  // namespace tesmor
