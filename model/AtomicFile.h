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

// What a symbolic link under the target's name means.
enum class LinkPolicy {
  // The link itself is replaced by the new file; what it names is untouched.
  // For every name the program makes up (class files, autosaves, exports
  // into a folder): a folder may be shared, and a link planted there must
  // not turn the write on a file elsewhere.
  kReplace,
  // The file the link names is replaced and the link stays: only for a file
  // the user named (the settings file, a file chosen in a dialog).
  kFollow,
};

// Writes `bytes` to `path`. On failure returns false and, when `reason` is
// given, sets it to why (the system's text, "No space left on device").
// An existing regular file keeps its permission bits. A hard link is never
// written through: the name gets a new file.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason = nullptr,
                         FileSync sync = FileSync::kNone, LinkPolicy links = LinkPolicy::kReplace);
