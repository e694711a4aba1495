// The temporary is created with O_EXCL under a name no other writer uses
// (process id, a counter and the time), so two writers of one target never
// share a temporary, and the umask applies as to any new file.

#include "model/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

std::string Reason(int error) { return std::strerror(error); }

// The file a write to `path` replaces: the target of a symbolic link, or
// `path` itself.
std::string ResolvedTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;  // a dangling link is replaced by the file
  std::string target(resolved);
  std::free(resolved);
  return target;
}

std::string TemporaryName(const std::string& target, int attempt) {
  static std::atomic<unsigned> counter{0};
  const size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return directory + "." + name + ".tmp-" + std::to_string(getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string((ticks + attempt) & 0xFFFFFF);
}

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (wrote == 0) {  // no progress and no error: treat as a full device
      errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason, FileSync sync,
                         LinkPolicy links) {
  const auto fail = [reason](int error) {
    if (reason != nullptr) *reason = Reason(error);
    return false;
  };
  if (path.empty()) return fail(ENOENT);
  const std::string target = links == LinkPolicy::kFollow ? ResolvedTarget(path) : path;
  // lstat: under kReplace a link is neither looked through nor copied from.
  struct stat existing {};
  const bool exists = lstat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return fail(EISDIR);

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = TemporaryName(target, attempt);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd < 0) return fail(EEXIST);

  bool ok = WriteAll(fd, bytes);
  int error = ok ? 0 : errno;
  // Keeping the old permissions is a courtesy: a file system without them is no failure.
  if (ok && exists && S_ISREG(existing.st_mode)) static_cast<void>(fchmod(fd, existing.st_mode & 07777));
  if (ok && sync == FileSync::kToDisk && fsync(fd) != 0) {
    ok = false;
    error = errno;
  }
  // close() reports delayed write errors (NFS, quotas).
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(temporary.c_str());
    return fail(error);
  }
  return true;
}
