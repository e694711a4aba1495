#pragma once
// Writing an exported file whole or not at all: the bytes go to a temporary
// file in the same folder, which then replaces the target in one rename, so
// a full disk or a crash never leaves a half-written file under the name.

#include <string>

#include "model/AtomicFile.h"

// False with a message naming the file and the reason (the system's). A
// symbolic link under the name is replaced unless links says kFollow (a file
// the user chose).
bool WriteExportFile(const std::string& path, const std::string& bytes, std::string& error,
                     LinkPolicy links = LinkPolicy::kReplace);
