#include "model/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string TooLarge(uint64_t max_bytes) { return "larger than " + std::to_string(max_bytes) + " bytes"; }

// Why a non-regular file is refused, worded as the system words the rest.
std::string NotRegular(mode_t mode) {
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  return "not a regular file";
}

}  // namespace

ReadStatus ReadRegularFile(const std::string& path, uint64_t max_bytes, std::string& bytes, std::string& reason) {
  bytes.clear();
  const auto fail = [&](ReadStatus status, std::string why) {
    bytes.clear();
    reason = std::move(why);
    return status;
  };
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    const int error = errno;
    return fail(error == ENOENT ? ReadStatus::kMissing : ReadStatus::kFailed, std::strerror(error));
  }
  if (!S_ISREG(info.st_mode)) return fail(ReadStatus::kFailed, NotRegular(info.st_mode));
  // O_NONBLOCK: should the name have become a FIFO since, opening it must not wait for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(ReadStatus::kFailed, std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  if (fstat(fd, &info) != 0) return fail(ReadStatus::kFailed, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return fail(ReadStatus::kFailed, NotRegular(info.st_mode));
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size > max_bytes) return fail(ReadStatus::kFailed, TooLarge(max_bytes));

  // The size is a hint only (files under /proc say 0, a file may grow):
  // read until the end, but never past the limit.
  bytes.reserve(static_cast<size_t>(size));
  char buffer[65536];
  while (true) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(ReadStatus::kFailed, std::strerror(errno));
    }
    if (got == 0) break;
    if (bytes.size() + static_cast<uint64_t>(got) > max_bytes) return fail(ReadStatus::kFailed, TooLarge(max_bytes));
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return ReadStatus::kRead;
}
