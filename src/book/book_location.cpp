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

BookLoadReport LoadOpeningBook(OpeningBook& book) {
  const std::filesystem::path path = FindOpeningBook(OpeningBookPlaces());
  if (path.empty()) {
    book = OpeningBook();
    BookLoadReport report;
    report.path = BookFileName;
    report.error = "not found";
    return report;
  }
  return book.Load(path.string());
}

std::string BookDamageText(int64_t movesKept) {
  return "棋谱文件已损坏，只读出 " + std::to_string(movesKept) + " 步！";
}

std::string BookDamageNote(const BookLoadReport& report) {
  return report.path + ": the opening book is damaged; " + std::to_string(report.movesKept) +
         (report.movesKept == 1 ? " move" : " moves") + " of it kept";
}

}  // namespace tesmor
