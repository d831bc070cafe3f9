#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tesmor {

// The whole content of a file, or why it was not read.
struct FileBytes {
  bool ok = false;
  std::vector<uint8_t> bytes;
  std::string error;  // "cannot open …", "… is not a regular file", "… is larger than N bytes"
};

// Reads a regular file of at most maxBytes bytes. Anything else (a FIFO, a directory, a device)
// is refused without a blocking open or read, and a larger file is refused before it is read, so
// that no input can hang a program or fill its memory.
FileBytes ReadRegularFile(const std::string& path, size_t maxBytes);

// Replaces the file at path by bytes, or leaves it exactly as it was. The bytes go to a new file
// in the same directory, which is flushed to the disk and then renamed over path; on any
// failure (a full disk, a file-size limit, an I/O error) the new file is removed and false
// comes back with the reason. A file-size limit becomes a write error here rather than the
// signal that would end the process. A symbolic link at path keeps pointing at the file it
// names, which is the one replaced; anything at path that is not a regular file is refused.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                         std::string* error);

}  // namespace tesmor
