#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tesmor {

// What a message may repeat of the user's input (a file name, a move text, a protocol line) so
// that the message stays one readable line however the input looks: control characters and bytes
// that are not UTF-8 become \xHH escapes, and what would show more than maxChars characters (an
// escape shows four) is cut at a character's end and ends in "...". A backslash stays as it is, so
// that the book text's own \xHH marks read as the user wrote them. With asciiOnly every byte
// outside printable ASCII is escaped, for peers that read only ASCII.
struct EchoLimits {
  size_t maxChars = 80;
  bool asciiOnly = false;
};

std::string EchoInput(std::string_view text, EchoLimits limits = {});

}  // namespace tesmor
