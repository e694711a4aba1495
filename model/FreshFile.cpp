#include "model/FreshFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/AtomicFile.h"

int OpenFreshFile(const std::string& path, std::string* reason) {
  // The rename of an empty temporary replaces a link instead of truncating
  // what it names.
  if (!WriteFileAtomically(path, "", reason, FileSync::kNone, LinkPolicy::kReplace)) return -1;
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (reason != nullptr) *reason = std::strerror(errno);
    return -1;
  }
  // Someone may have put a link under the name again since the rename.
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
    close(fd);
    if (reason != nullptr) *reason = "the name was taken by another file while it was made";
    return -1;
  }
  return fd;
}
