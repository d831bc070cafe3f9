#include "book/book_text.h"

#include <algorithm>
#include <vector>

#include "board/board.h"
#include "board/input_echo.h"

namespace tesmor {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

bool PrintableMark(uint8_t mark) {
  return mark > 0x20 && mark < 0x7F;
}

std::string MarkText(uint8_t mark) {
  if (PrintableMark(mark)) return std::string(1, static_cast<char>(mark));
  return std::string("\\x") + HexDigits[mark >> 4] + HexDigits[mark & 0x0F];
}

int HexValue(char digit) {
  const char* found = std::find(HexDigits, HexDigits + 16, digit);
  return found == HexDigits + 16 ? -1 : static_cast<int>(found - HexDigits);
}

// The mark a token names, or -1 when it names none in its one written form.
int ParseMark(std::string_view token) {
  if (token.size() == 1) {
    const auto mark = static_cast<uint8_t>(token[0]);
    return PrintableMark(mark) ? mark : -1;
  }
  if (token.size() != 4 || token[0] != '\\' || token[1] != 'x') return -1;
  const int high = HexValue(token[2]);
  const int low = HexValue(token[3]);
  if (high < 0 || low < 0) return -1;
  const int mark = high * 16 + low;
  return mark == 0 || PrintableMark(static_cast<uint8_t>(mark)) ? -1 : mark;
}

void WriteLines(const std::vector<BookNode>& nodes, int depth, std::string& out) {
  for (const BookNode& node : nodes) {
    out.append(static_cast<size_t>(2 * depth), ' ');
    out += PointText(node.point);
    if (node.mark != 0) out += ' ' + MarkText(node.mark);
    out += '\n';
    WriteLines(node.children, depth + 1, out);
  }
}

BookTextResult Refuse(int lineNumber, const std::string& reason) {
  BookTextResult result;
  result.error = "line " + std::to_string(lineNumber) + ": " + reason;
  return result;
}

}  // namespace

BookTextResult ParseBookText(std::string_view text) {
  BookTextResult result;
  // levels[d] receives the moves at depth d; path[d] is the move open at depth d.
  std::vector<std::vector<BookNode>*> levels{&result.tree};
  std::vector<int> path;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));

    if (line.find('\r') != std::string_view::npos)
      return Refuse(lineNumber, "carriage return; lines end with a plain line feed");
    const size_t indent = std::min(line.find_first_not_of(' '), line.size());
    if (indent == line.size() || line[indent] == '#') continue;
    if (line[indent] == '\t') return Refuse(lineNumber, "indent with spaces, not tabs");
    if (indent % 2 != 0) return Refuse(lineNumber, "indentation is two spaces per level");
    const size_t depth = indent / 2;
    if (depth > path.size())
      return Refuse(lineNumber, "indented more than one level below the move before it");

    const std::string_view words = line.substr(indent);
    const size_t space = words.find(' ');
    const std::string pointText(words.substr(0, space));
    const int point = ParsePoint(pointText);
    if (point == NoPoint || PointText(point) != pointText)
      return Refuse(lineNumber, "\"" + EchoInput(pointText) + "\" is not a point (A1 to O15)");
    int mark = 0;
    if (space != std::string_view::npos) {
      const std::string_view markText = words.substr(space + 1);
      mark = ParseMark(markText);
      if (mark < 0)
        return Refuse(lineNumber, "\"" + EchoInput(markText) +
                                      "\" is not a mark: one printable character, or \\xHH for "
                                      "any other byte but 00");
    }

    path.resize(depth);
    levels.resize(depth + 1);
    if (std::find(path.begin(), path.end(), point) != path.end())
      return Refuse(lineNumber, pointText + " is already played on this line of play");
    levels[depth]->push_back(BookNode{point, static_cast<uint8_t>(mark), {}});
    // The new node stays the last of its level until a line of this depth or above comes, and
    // that line drops the pointer first.
    levels.push_back(&levels[depth]->back().children);
    path.push_back(point);
  }
  result.ok = true;
  return result;
}

std::string BookText(const BookTree& tree) {
  std::string out;
  WriteLines(tree, 0, out);
  return out;
}

}  // namespace tesmor
