// A new file beside the target (O_EXCL, so never someone else's), write,
// fsync, rename; the temporary file is removed on every failure. The mode
// comes from open() with 0666, so the user's umask applies as for any file.

#include "ExportFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<unsigned> temporary_counter{0};

}  // namespace

bool WriteExportFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(temporary_counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  const auto fail = [&](int code) {
    if (fd >= 0) ::close(fd);
    if (!temp.empty() && fd >= 0) std::remove(temp.c_str());
    error = "Cannot write " + path + ": " + std::strerror(code);
    return false;
  };
  if (fd < 0) return fail(errno);
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t got = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    written += static_cast<size_t>(got);
  }
  if (::fsync(fd) != 0) return fail(errno);
  const int closing = ::close(fd);
  fd = -1;
  if (closing != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
    const int code = errno;
    std::remove(temp.c_str());
    error = "Cannot write " + path + ": " + std::strerror(code);
    return false;
  }
  return true;
}
