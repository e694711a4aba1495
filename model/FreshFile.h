#pragma once
// A file the program keeps open and appends to (the statistics, the log),
// made afresh under a name the program chose. Whatever stood under the name
// (a symbolic link planted in a shared folder, a hard link to someone's
// file) is replaced, never written through.

#include <string>

// Replaces path by a new empty file and opens it for appending. Returns the
// descriptor (the caller closes it), or -1 with the system's reason.
int OpenFreshFile(const std::string& path, std::string* reason = nullptr);
