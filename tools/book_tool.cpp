// tesmor-book: compiles an opening book from its text form and dumps a book file as text.

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "app/standard_options.h"
#include "board/file_io.h"
#include "board/input_echo.h"
#include "book/book_format.h"
#include "book/book_text.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;  // also an input that cannot be read

// A book's text: many times the bytes of the largest book, for the indentation of deep lines.
constexpr size_t BookTextMaxBytes = 16 * tesmor::BookMaxBytes;

const char* const Usage =
    "usage: tesmor-book compile SOURCE.txt BOOK.lib   write a book file from its text form\n"
    "       tesmor-book dump BOOK.lib                 print a book file as text\n";

int Fail(const std::string& message, int status = ExitFailed) {
  std::cerr << "tesmor-book: " << message << '\n';
  return status;
}

int Compile(const std::string& sourcePath, const std::string& bookPath) {
  const tesmor::FileBytes source = tesmor::ReadRegularFile(sourcePath, BookTextMaxBytes);
  if (!source.ok) return Fail(tesmor::EchoInput(sourcePath) + ": " + source.error, ExitUsage);
  const tesmor::BookTextResult parsed =
      tesmor::ParseBookText(std::string(source.bytes.begin(), source.bytes.end()));
  if (!parsed.ok) return Fail(tesmor::EchoInput(sourcePath) + ": " + parsed.error);

  const std::vector<uint8_t> bytes = tesmor::WriteBookTree(parsed.tree);
  std::string error;
  if (!tesmor::WriteFileAtomically(bookPath, bytes, &error))
    return Fail(tesmor::EchoInput(bookPath) + ": " + error);
  std::cout << bookPath << ": " << tesmor::CountBookNodes(parsed.tree) << " moves, " << bytes.size()
            << " bytes\n";
  return ExitOk;
}

// Says on standard error what the reader passed over; the text shows what it kept.
void ReportOddities(const std::string& path, const tesmor::BookReadReport& report) {
  auto note = [&](int64_t count, const char* what) {
    if (count > 0)
      std::cerr << "tesmor-book: " << tesmor::EchoInput(path) << ": " << count << ' ' << what
                << '\n';
  };
  if (report.truncated)
    std::cerr << "tesmor-book: " << tesmor::EchoInput(path) << ": the file ends too early\n";
  note(report.offBoardRecords, "moves off the board, left out with what follows them");
  note(report.occupiedRecords, "moves on a taken point, left out with what follows them");
  note(report.skippedRecords, "records left out below those moves");
  note(report.droppedRecords, "records of no known shape, dropped");
  note(report.blankRecords, "blank records (00 00), passed over");
  note(report.trailingBytes, "bytes after the end of the tree, passed over");
}

int Dump(const std::string& bookPath) {
  const tesmor::FileBytes file = tesmor::ReadRegularFile(bookPath, tesmor::BookMaxBytes);
  if (!file.ok) return Fail(tesmor::EchoInput(bookPath) + ": " + file.error, ExitUsage);
  const tesmor::BookReadResult read = tesmor::ReadBookTree(file.bytes);
  std::cout << tesmor::BookText(read.tree);
  if (!read.report.Damaged()) return ExitOk;
  ReportOddities(bookPath, read.report);
  const int64_t kept = tesmor::CountBookNodes(read.tree);
  return Fail(bookPath + ": the book is damaged; " + std::to_string(kept) +
              (kept == 1 ? " move" : " moves") + " kept");
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = tesmor::AnswerStandardOption(argc, argv, "tesmor-book",
                                                    [](std::ostream& out) { out << Usage; });
  if (answered >= 0) return answered;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "compile") return Compile(args[1], args[2]);
  if (args.size() == 2 && args[0] == "dump") return Dump(args[1]);
  std::cerr << Usage;
  return ExitUsage;
}
