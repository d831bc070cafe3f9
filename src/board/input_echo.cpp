#include "board/input_echo.h"

#include <algorithm>
#include <cstdint>

namespace tesmor {

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when it is not one
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
size_t Utf8Length(std::string_view text, char32_t& codePoint) {
  const auto lead = static_cast<uint8_t>(text[0]);
  size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
    codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<uint8_t>(text[i]);
    if ((next & 0xC0u) != 0x80u) return 0;
    codePoint = (codePoint << 6) | (next & 0x3Fu);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
  return length;
}

// C1 controls and the Unicode line and paragraph separators break or garble a line as surely as
// a newline does.
bool BreaksLine(char32_t codePoint) {
  return (codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
  constexpr char Hex[] = "0123456789ABCDEF";
  for (const char ch : bytes) {
    const auto byte = static_cast<uint8_t>(ch);
    out += "\\x";
    out += Hex[byte >> 4];
    out += Hex[byte & 0x0F];
  }
}

}  // namespace

std::string EchoInput(std::string_view text, EchoLimits limits) {
  std::string out;
  size_t width = 0;  // characters shown so far, an escape counting as the four it shows
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<uint8_t>(text[i]);
    size_t length = 1;
    bool escape = byte < 0x20 || byte >= 0x7F;
    if (byte >= 0x80 && !limits.asciiOnly) {
      char32_t codePoint = 0;
      length = Utf8Length(text.substr(i), codePoint);
      escape = length == 0 || BreaksLine(codePoint);
      length = std::max<size_t>(length, 1);
    }
    const size_t shown = escape ? 4 * length : 1;
    if (width + shown > limits.maxChars) break;
    width += shown;
    if (escape)
      AppendEscaped(out, text.substr(i, length));
    else
      out.append(text.substr(i, length));
    i += length;
  }
  if (i < text.size()) out += "...";
  return out;
}

}  // namespace tesmor
