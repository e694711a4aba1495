#include "StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WriteToStandardOutput(std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
  if (written) return true;
  const int error = errno != 0 ? errno : EIO;
  std::fprintf(stderr, "velmora-cli: cannot write to standard output: %s\n", std::strerror(error));
  return false;
}
