#include "cli/gomocup_protocol.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "board/forbidden.h"
#include "eval/evaluation.h"

namespace tesmor::gomocup {

namespace {

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Splits at commas; each part trimmed.
std::vector<std::string_view> CommaParts(std::string_view text) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t comma = text.find(',', start);
    parts.push_back(
        Trim(text.substr(start, comma == std::string_view::npos ? comma : comma - start)));
    if (comma == std::string_view::npos) return parts;
    start = comma + 1;
  }
}

// Coordinates stay small so that the caller's range checks see the written value.
std::optional<ProtocolPoint> ParsePointParts(std::string_view xText, std::string_view yText) {
  const auto x = ParseInteger(xText);
  const auto y = ParseInteger(yText);
  if (!x || !y || *x < -1 || *x > 999 || *y < -1 || *y > 999) return std::nullopt;
  return ProtocolPoint{static_cast<int>(*x), static_cast<int>(*y)};
}

}  // namespace

void LineSplitter::Feed(std::string_view bytes) {
  for (const char ch : bytes) {
    if (ch == '\r' || ch == '\n') {
      EndLine();
    } else if (partial_.size() < MaxLineLength) {
      partial_.push_back(ch);
    } else {
      partialTooLong_ = true;
    }
  }
}

void LineSplitter::Finish() {
  EndLine();
}

void LineSplitter::EndLine() {
  if (!partial_.empty()) lines_.push_back({std::move(partial_), partialTooLong_});
  partial_.clear();
  partialTooLong_ = false;
}

std::optional<InputLine> LineSplitter::Next() {
  if (lines_.empty()) return std::nullopt;
  InputLine line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return upper;
}

CommandWords SplitCommand(std::string_view line) {
  line = Trim(line);
  size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return {UpperCase(line.substr(0, end)), std::string(Trim(line.substr(end)))};
}

std::string MoveText(int point) {
  const ProtocolPoint p = PointToProtocol(point);
  return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::optional<int64_t> ParseInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 12) return std::nullopt;
  int64_t value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
  }
  return negative ? -value : value;
}

std::optional<ProtocolPoint> ParseMove(std::string_view text) {
  const std::vector<std::string_view> parts = CommaParts(text);
  if (parts.size() != 2) return std::nullopt;
  return ParsePointParts(parts[0], parts[1]);
}

std::optional<BoardEntry> ParseBoardEntry(std::string_view text) {
  const std::vector<std::string_view> parts = CommaParts(text);
  if (parts.size() != 3) return std::nullopt;
  const auto point = ParsePointParts(parts[0], parts[1]);
  const auto field = ParseInteger(parts[2]);
  if (!point || !field || *field < 0 || *field > 999) return std::nullopt;
  return BoardEntry{*point, static_cast<int>(*field)};
}

std::string ForbidLine(GameState& game) {
  std::string line = "FORBID ";
  if (game.forbiddenRulesOn) {
    for (int y = 0; y < BoardSize; ++y) {
      for (int x = 0; x < BoardSize; ++x) {
        const int point = PointFromProtocol({x, y});
        const int row = PointRow(point);
        const int col = PointCol(point);
        if (game.cell(row, col) != Empty || ForbiddenKindAt(game, row, col) == None) continue;
        char group[8];
        std::snprintf(group, sizeof group, "%02d%02d", x, y);
        line += group;
      }
    }
  }
  return line + ".";
}

int LegalAnswer(GameState& game, const ComputerAnswer& answer) {
  const int chosen = answer.kind == ComputerAnswer::Kind::Point ? answer.point : NoPoint;
  const int side = game.SideToMove();
  const bool blackRules = game.forbiddenRulesOn && side == Black;
  auto playable = [&](int point) {
    const int row = PointRow(point);
    const int col = PointCol(point);
    return game.cell(row, col) == Empty && (!blackRules || ForbiddenKindAt(game, row, col) == None);
  };
  if (chosen >= 0 && chosen < CellCount && playable(chosen)) return chosen;

  int best = NoPoint;
  int bestValue = 0;
  int firstEmpty = NoPoint;
  for (int point = 0; point < CellCount; ++point) {
    if (game.cell(PointRow(point), PointCol(point)) != Empty) continue;
    if (firstEmpty == NoPoint) firstEmpty = point;
    if (!playable(point)) continue;
    const int value = PointValue(game, PointRow(point), PointCol(point), side);
    if (best == NoPoint || value > bestValue) best = point, bestValue = value;
  }
  return best != NoPoint ? best : firstEmpty;
}

int64_t SafetyMarginMs(int64_t limitMs) {
  return std::clamp<int64_t>(limitMs / 10, 50, 1000);
}

int64_t ThinkingTimeMs(const TimeLimits& limits) {
  int64_t think = limits.turnMs <= 0 ? 0 : limits.turnMs - SafetyMarginMs(limits.turnMs);
  if (limits.leftMs < UnlimitedMs) {
    const int64_t left = limits.leftMs;
    think = std::min({think, left / MovesToPlan, left - SafetyMarginMs(left)});
  }
  return std::max<int64_t>(think, 0);
}

RuleChoice RuleFromInfo(int64_t value) {
  switch (value) {
    case 0:
      return {false, true};
    case 2:  // renju as older renju boards number it
    case 4:
      return {true, true};
    default:
      return {false, false};
  }
}

}  // namespace tesmor::gomocup
