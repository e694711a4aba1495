#pragma once
// Writing a whole file so that it is either complete under its name or not
// there at all: the bytes go to a temporary beside the target, which is
// renamed over the target only once everything reached it. A failed write
// leaves the previous file (or no file) and no temporary behind.

#include <string>
#include <string_view>

enum class FileSync {
  kNone,    // the rename alone: enough for new files and for crashes of the program
  kToDisk,  // fsync before the rename: the old contents survive a crash of the machine too
};

// Writes `bytes` to `path`. On failure returns false and, when `reason` is
// given, sets it to why (the system's text, "No space left on device").
// An existing target keeps its permission bits; a symbolic link is followed
// and the file it names is replaced.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason = nullptr,
                         FileSync sync = FileSync::kNone);
