#include "cli/StandardOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WriteToStandardOutput(std::string_view text) {
  // Straight to the descriptor, so that a write cut short by a signal (Ctrl-C
  // while a full pipe blocks it) is carried on where it stopped.
  if (std::fflush(stdout) != 0) {
    std::fprintf(stderr, "velmora-cli: cannot write to standard output: %s\n", std::strerror(errno ? errno : EIO));
    return false;
  }
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t got = ::write(STDOUT_FILENO, text.data() + written, text.size() - written);
    if (got > 0) {
      written += static_cast<size_t>(got);
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      const int error = got < 0 ? errno : EIO;
      std::fprintf(stderr, "velmora-cli: cannot write to standard output: %s\n", std::strerror(error));
      return false;
    }
  }
  return true;
}
