// Runs a fuzz target's entry function once on each file given, or on each file of each folder
// given: the corpus replayed in the normal test run, by any compiler, without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path given(argv[i]);
    if (!std::filesystem::is_directory(given)) {
      failures += Replay(given);
      ++replayed;
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(given)) {
      if (!entry.is_regular_file()) continue;
      failures += Replay(entry.path());
      ++replayed;
    }
  }
  std::printf("%d inputs replayed\n", replayed);
  return failures == 0 && replayed > 0 ? 0 : 1;
}
