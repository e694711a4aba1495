#pragma once
// Reading a whole input file in one go, with every way it can fail told
// apart: a missing file, something other than a regular file (a FIFO would
// block the reader for ever, a device never ends), a file larger than its
// kind can sensibly be, and a read that fails part-way, which must never
// pass for the end of the file.

#include <cstdint>
#include <string>

enum class ReadStatus {
  kRead,
  kMissing,  // no such file (its reason is still set)
  kFailed,   // anything else: the reason says what
};

// Reads the regular file `path` into `bytes`, refusing one larger than
// `max_bytes`. Anything but kRead sets `reason` to a short text without the
// path ("Input/output error", "not a regular file", "larger than 1048576
// bytes") and leaves `bytes` empty.
ReadStatus ReadRegularFile(const std::string& path, uint64_t max_bytes, std::string& bytes, std::string& reason);
