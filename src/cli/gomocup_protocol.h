#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "board/board.h"
#include "search/computer_answer.h"

// The pieces of the Gomocup protocol that need no process around them: splitting the input into
// lines, reading and writing points, the forbidden-point list and the time budget of a move.
namespace tesmor::gomocup {

// A line of input; tooLong marks one that was cut at MaxLineLength.
struct InputLine {
  std::string text;
  bool tooLong = false;
};

// Splits a byte stream into lines at CR, LF or CR LF, whichever the manager sends. Empty lines
// are dropped, so a CR LF pair that arrives split over two reads costs nothing. A line longer
// than MaxLineLength keeps its first MaxLineLength bytes and loses the rest, so that a manager
// that never sends a line end cannot make the engine's memory grow.
class LineSplitter {
 public:
  static constexpr size_t MaxLineLength = 4096;

  void Feed(std::string_view bytes);
  // The end of the input: an unterminated last line becomes a line.
  void Finish();
  std::optional<InputLine> Next();
  bool HasLine() const { return !lines_.empty(); }

 private:
  void EndLine();

  std::string partial_;
  bool partialTooLong_ = false;
  std::deque<InputLine> lines_;
};

// The first word of a line in upper case and the rest with surrounding blanks removed.
struct CommandWords {
  std::string keyword;
  std::string rest;
};
CommandWords SplitCommand(std::string_view line);
std::string UpperCase(std::string_view text);

// Protocol coordinates: x is the column from the left, y the row from the top.
struct ProtocolPoint {
  int x;
  int y;
};
constexpr int PointFromProtocol(ProtocolPoint p) {
  return PointIndex(BoardSize - 1 - p.y, p.x);
}
constexpr ProtocolPoint PointToProtocol(int point) {
  return {PointCol(point), BoardSize - 1 - PointRow(point)};
}
// "x,y" for a PointIndex.
std::string MoveText(int point);

// Parses "x,y" (blanks around the numbers allowed) or, with three numbers, "x,y,f". Range
// checks are the caller's: the values come back as written, -1,-1 included.
std::optional<ProtocolPoint> ParseMove(std::string_view text);
struct BoardEntry {
  ProtocolPoint point;
  int field;
};
std::optional<BoardEntry> ParseBoardEntry(std::string_view text);
// A whole decimal number with an optional sign; nothing for anything else or an overflow.
std::optional<int64_t> ParseInteger(std::string_view text);

// "FORBID " and the points forbidden to Black as XXYY groups in reading order (top row first),
// then "."; "FORBID ." when the game has no forbidden moves.
std::string ForbidLine(GameState& game);

// The point the engine answers for the side to move: the search's choice when it is an empty
// point that is not forbidden to Black, else the empty point of the highest value that is not,
// else the first empty point; NoPoint on a full board. A manager takes any other answer as a
// lost game, so this holds whatever the search returned (a resignation, no point, a stopped
// search's guess).
int LegalAnswer(GameState& game, const ComputerAnswer& answer);

// The time limits the manager announces, in milliseconds.
constexpr int64_t UnlimitedMs = 2147483647;
struct TimeLimits {
  int64_t turnMs = 30000;        // timeout_turn, 0: as fast as possible
  int64_t matchMs = 0;           // timeout_match, 0: no limit
  int64_t leftMs = UnlimitedMs;  // time_left, or what our own clock leaves of the match
};

// The share of the match's remaining time that one move may take.
constexpr int64_t MovesToPlan = 15;
// What a limit keeps back for stopping the search, taking the answer out and writing it.
int64_t SafetyMarginMs(int64_t limitMs);
// How long the search may think before it is stopped; 0 asks for the immediate level-0 move.
int64_t ThinkingTimeMs(const TimeLimits& limits);

// How INFO rule maps onto the engine's two rule settings.
struct RuleChoice {
  bool forbidden;  // Black's forbidden moves
  bool supported;  // false: the value is not one the engine plays; it plays without them
};
RuleChoice RuleFromInfo(int64_t value);

}  // namespace tesmor::gomocup
