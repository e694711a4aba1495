// A library preloaded into velmora-cli by the tests (LD_PRELOAD) to make
// reads and writes fail part-way, as a failing disk or a full one does:
//   VELMORA_FAIL_READ_PATH=FILE  VELMORA_FAIL_READ_AFTER=N
//     reads of FILE return its first N bytes, then fail with EIO;
//   VELMORA_FAIL_WRITE_DIR=DIR  VELMORA_FAIL_WRITE_AFTER=N
//     writes to any file directly in DIR take its first N bytes, then fail
//     with ENOSPC.
// The offset of the descriptor decides, so the shim keeps no state. Paths
// are compared as the kernel names open files (absolute, links resolved).

#include <dlfcn.h>
#include <limits.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);
using WriteFunction = ssize_t (*)(int, const void*, size_t);

std::string OpenFilePath(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[PATH_MAX];
  const ssize_t length = readlink(link, target, sizeof target - 1);
  if (length <= 0) return std::string();
  return std::string(target, static_cast<size_t>(length));
}

std::string CanonicalFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::string();
  char resolved[PATH_MAX];
  return realpath(value, resolved) != nullptr ? std::string(resolved) : std::string(value);
}

// How many of `count` bytes at the descriptor's offset may pass before `limit`.
// -1 when the limit is already reached.
ssize_t Allowed(int fd, size_t count, const char* limit_name) {
  const char* limit_text = std::getenv(limit_name);
  const long long limit = limit_text != nullptr ? std::atoll(limit_text) : 0;
  const off_t offset = lseek(fd, 0, SEEK_CUR);
  if (offset < 0) return static_cast<ssize_t>(count);  // not seekable: not ours
  if (offset >= limit) return -1;
  const long long room = limit - static_cast<long long>(offset);
  return static_cast<ssize_t>(static_cast<long long>(count) < room ? static_cast<long long>(count) : room);
}

bool IsFailingRead(int fd) {
  const std::string wanted = CanonicalFromEnvironment("VELMORA_FAIL_READ_PATH");
  return !wanted.empty() && OpenFilePath(fd) == wanted;
}

bool IsFailingWrite(int fd) {
  const std::string directory = CanonicalFromEnvironment("VELMORA_FAIL_WRITE_DIR");
  if (directory.empty()) return false;
  const std::string path = OpenFilePath(fd);
  const size_t slash = path.rfind('/');
  return slash != std::string::npos && path.compare(0, slash, directory) == 0 && slash == directory.size();
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
  static const auto real_read = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
  if (IsFailingRead(fd)) {
    const ssize_t allowed = Allowed(fd, count, "VELMORA_FAIL_READ_AFTER");
    if (allowed < 0) {
      errno = EIO;
      return -1;
    }
    count = static_cast<size_t>(allowed);
  }
  return real_read(fd, buffer, count);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
  static const auto real_write = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
  if (IsFailingWrite(fd)) {
    const ssize_t allowed = Allowed(fd, count, "VELMORA_FAIL_WRITE_AFTER");
    if (allowed < 0) {
      errno = ENOSPC;
      return -1;
    }
    count = static_cast<size_t>(allowed);
  }
  return real_write(fd, buffer, count);
}
