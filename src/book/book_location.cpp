#include "book/book_location.h"

#include <system_error>

namespace tesmor {

std::vector<std::filesystem::path> OpeningBookPlaces() {
  std::vector<std::filesystem::path> places{BookFileName};
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) places.push_back(executable.parent_path() / BookFileName);
  places.push_back(std::filesystem::path(TESMOR_DATA_DIR) / BookFileName);
  return places;
}

std::filesystem::path FindOpeningBook(const std::vector<std::filesystem::path>& places) {
  for (const std::filesystem::path& place : places) {
    std::error_code error;
    if (std::filesystem::is_regular_file(place, error)) return place;
  }
  return {};
}

bool LoadOpeningBook(OpeningBook& book) {
  const std::filesystem::path path = FindOpeningBook(OpeningBookPlaces());
  if (path.empty()) {
    book = OpeningBook();
    return false;
  }
  return book.Load(path.string());
}

}  // namespace tesmor
