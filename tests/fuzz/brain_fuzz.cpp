// A whole session of protocol lines fed to the Gomocup brain.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/gomocup_brain.h"
#include "fuzz_check.h"

namespace {

// The session with every line that could lift the time per move removed, after one that sets
// it to nothing: each move is then the immediate level-0 answer, and an input runs in
// milliseconds. Lines are split as the brain splits them, at CR or LF.
std::string QuickSession(std::string_view input) {
  std::string session = "INFO timeout_turn 0\n";
  size_t start = 0;
  while (start <= input.size()) {
    size_t end = input.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = input.size();
    std::string line(input.substr(start, end - start));
    std::string upper = line;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    if (upper.find("TIMEOUT_TURN") == std::string::npos) session += line + "\n";
    start = end + 1;
  }
  return session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string session =
      QuickSession(std::string_view(reinterpret_cast<const char*>(data), size));
  const int input = memfd_create("brain-session", 0);
  FUZZ_CHECK(input >= 0);
  FUZZ_CHECK(write(input, session.data(), session.size()) == static_cast<ssize_t>(session.size()));
  FUZZ_CHECK(lseek(input, 0, SEEK_SET) == 0);
  std::ostringstream out;
  tesmor::RunGomocupBrain(input, out);
  close(input);
  // Every reply is a line of printable ASCII, so a manager reads it as one reply.
  for (const char ch : out.str()) {
    const auto byte = static_cast<unsigned char>(ch);
    FUZZ_CHECK(ch == '\n' || (byte >= 0x20 && byte < 0x7F));
  }
  return 0;
}
