// Reading whole input files: each way of failing told apart with its reason,
// special files refused without blocking, the size limit kept exactly.

#include "model/RegularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "ScratchDirectory.h"

namespace {

TEST(RegularFile, ReadsTheWholeFileUpToTheLimitExactly) {
  ScratchDirectory dir;
  const std::string path = dir.File("a.txt");
  const std::string text = std::string(200000, 'x') + std::string("\0\r\n", 3);
  WriteWholeFile(path, text);
  std::string bytes, reason;
  ASSERT_EQ(ReadRegularFile(path, text.size(), bytes, reason), ReadStatus::kRead) << reason;
  EXPECT_EQ(bytes, text);
  EXPECT_EQ(ReadRegularFile(path, text.size() - 1, bytes, reason), ReadStatus::kFailed);
  EXPECT_EQ(reason, "larger than 200002 bytes");
  EXPECT_EQ(bytes, "");
}

TEST(RegularFile, EveryFailureHasItsReason) {
  ScratchDirectory dir;
  std::string bytes = "stale", reason;
  EXPECT_EQ(ReadRegularFile(dir.File("absent"), 100, bytes, reason), ReadStatus::kMissing);
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(ReadRegularFile(dir.Path(), 100, bytes, reason), ReadStatus::kFailed);
  EXPECT_EQ(reason, "Is a directory");
  WriteWholeFile(dir.File("plain"), "x");
  EXPECT_EQ(ReadRegularFile(dir.File("plain/below"), 100, bytes, reason), ReadStatus::kFailed);
  EXPECT_EQ(reason, "Not a directory");
  // Regular by its type, but its reading fails at once.
  EXPECT_EQ(ReadRegularFile("/proc/self/mem", 100, bytes, reason), ReadStatus::kFailed);
  EXPECT_EQ(reason, "Input/output error");
  // A file under /proc says it is empty and is not: the limit still holds.
  EXPECT_EQ(ReadRegularFile("/proc/self/maps", 10, bytes, reason), ReadStatus::kFailed);
  EXPECT_EQ(reason, "larger than 10 bytes");
}

TEST(RegularFile, SpecialFilesAreRefusedWithoutBlocking) {
  ScratchDirectory dir;
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string bytes, reason;
  EXPECT_EQ(ReadRegularFile(fifo, 100, bytes, reason), ReadStatus::kFailed);  // would wait for a writer
  EXPECT_EQ(reason, "not a regular file");
  EXPECT_EQ(ReadRegularFile("/dev/zero", 100, bytes, reason), ReadStatus::kFailed);  // would never end
  EXPECT_EQ(reason, "not a regular file");
  EXPECT_EQ(ReadRegularFile("/dev/null", 100, bytes, reason), ReadStatus::kFailed);
  EXPECT_EQ(reason, "not a regular file");
}

}  // namespace
