// mkstemp beside the target, write, fsync, rename; the temporary file is
// removed on every failure.

#include "ExportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

bool WriteExportFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::vector<char> temp(path.begin(), path.end());
  const char suffix[] = ".tmp-XXXXXX";
  temp.insert(temp.end(), suffix, suffix + sizeof suffix);  // with the terminating 0
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "Cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const auto fail = [&](int code) {
    close(fd);
    std::remove(temp.data());
    error = "Cannot write " + path + ": " + std::strerror(code);
    return false;
  };
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t got = write(fd, bytes.data() + written, bytes.size() - written);
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    written += static_cast<size_t>(got);
  }
  // mkstemp creates the file private; an export is an ordinary file.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0 || fsync(fd) != 0) return fail(errno);
  if (close(fd) != 0) {
    const int code = errno;
    std::remove(temp.data());
    error = "Cannot write " + path + ": " + std::strerror(code);
    return false;
  }
  if (std::rename(temp.data(), path.c_str()) != 0) {
    const int code = errno;
    std::remove(temp.data());
    error = "Cannot write " + path + ": " + std::strerror(code);
    return false;
  }
  return true;
}
