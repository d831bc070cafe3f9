// tesmor-book: compiles an opening book from its text form and dumps a book file as text.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/standard_options.h"
#include "board/input_echo.h"
#include "book/book_format.h"
#include "book/book_text.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const Usage =
    "usage: tesmor-book compile SOURCE.txt BOOK.lib   write a book file from its text form\n"
    "       tesmor-book dump BOOK.lib                 print a book file as text\n";

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

int Fail(const std::string& message) {
  std::cerr << "tesmor-book: " << message << '\n';
  return ExitFailed;
}

int Compile(const std::string& sourcePath, const std::string& bookPath) {
  const std::optional<std::string> source = ReadFile(sourcePath);
  if (!source)
    return Fail("cannot read " + tesmor::EchoInput(sourcePath) + ": " + std::strerror(errno));
  const tesmor::BookTextResult parsed = tesmor::ParseBookText(*source);
  if (!parsed.ok) return Fail(tesmor::EchoInput(sourcePath) + ": " + parsed.error);

  const std::vector<uint8_t> bytes = tesmor::WriteBookTree(parsed.tree);
  std::ofstream out(bookPath, std::ios::binary | std::ios::trunc);
  if (!out)
    return Fail("cannot create " + tesmor::EchoInput(bookPath) + ": " + std::strerror(errno));
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Fail("cannot write " + tesmor::EchoInput(bookPath));
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
  note(report.blankRecords, "blank records (00 00), ignored");
  note(report.trailingBytes, "bytes after the end of the tree, ignored");
}

int Dump(const std::string& bookPath) {
  const std::optional<std::string> bytes = ReadFile(bookPath);
  if (!bytes)
    return Fail("cannot read " + tesmor::EchoInput(bookPath) + ": " + std::strerror(errno));
  const tesmor::BookReadResult read =
      tesmor::ReadBookTree({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()});
  std::cout << tesmor::BookText(read.tree);
  ReportOddities(bookPath, read.report);
  return read.report.Damaged() ? ExitFailed : ExitOk;
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
