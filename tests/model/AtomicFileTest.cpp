// Whole-file writes through a temporary: complete files or none, the
// previous file kept on failure, no temporary left behind, reasons given.
// (A full disk is tried end to end in the tool's tests, with a shim.)

#include "model/AtomicFile.h"
#include "model/FreshFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ScratchDirectory.h"

namespace {

std::vector<std::string> Names(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicFile, WritesAndReplacesKeepingThePermissions) {
  ScratchDirectory dir;
  const std::string path = dir.File("a.eqa");
  std::string reason;
  ASSERT_TRUE(WriteFileAtomically(path, "first", &reason)) << reason;
  EXPECT_EQ(ReadWholeFile(path), "first");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(path, std::string("sec\0ond", 7), &reason, FileSync::kToDisk)) << reason;
  EXPECT_EQ(ReadWholeFile(path), std::string("sec\0ond", 7));
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  ASSERT_TRUE(WriteFileAtomically(path, "", &reason));
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"a.eqa"});
}

// A name the program made up may hold a link planted by someone sharing the
// folder: the link is replaced and what it names kept. Only for a file the
// user named is a link followed. A hard link is never written through.
TEST(AtomicFile, ALinkIsReplacedUnlessTheUserNamedTheFile) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("victim"), "precious");
  ASSERT_EQ(chmod(dir.File("victim").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir.File("victim"), dir.File("class_0000.eqa"));
  std::filesystem::create_hard_link(dir.File("victim"), dir.File("class_0001.eqa"));
  std::filesystem::create_symlink(dir.File("folder"), dir.File("class_0002.eqa"));
  std::filesystem::create_directory(dir.File("folder"));
  for (const char* name : {"class_0000.eqa", "class_0001.eqa", "class_0002.eqa"}) {
    ASSERT_TRUE(WriteFileAtomically(dir.File(name), "algebra")) << name;
    EXPECT_FALSE(std::filesystem::is_symlink(dir.File(name))) << name;
    EXPECT_EQ(ReadWholeFile(dir.File(name)), "algebra") << name;
  }
  EXPECT_EQ(ReadWholeFile(dir.File("victim")), "precious");
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("folder")));

  WriteWholeFile(dir.File("real.ini"), "old");
  std::filesystem::create_symlink(dir.File("real.ini"), dir.File("link.ini"));
  ASSERT_TRUE(WriteFileAtomically(dir.File("link.ini"), "new", nullptr, FileSync::kNone, LinkPolicy::kFollow));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
  EXPECT_EQ(ReadWholeFile(dir.File("real.ini")), "new");
}

// A file kept open for appending is made afresh: whatever stood under the
// name (a link, a hard link, an old file) is replaced, never truncated.
TEST(FreshFile, ReplacesWhateverStoodUnderTheName) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("victim"), "precious");
  std::filesystem::create_symlink(dir.File("victim"), dir.File("stats.txt"));
  std::filesystem::create_hard_link(dir.File("victim"), dir.File("log.txt"));
  for (const char* name : {"stats.txt", "log.txt"}) {
    std::string reason;
    const int fd = OpenFreshFile(dir.File(name), &reason);
    ASSERT_GE(fd, 0) << reason;
    ASSERT_EQ(write(fd, "record", 6), 6);
    close(fd);
    EXPECT_EQ(ReadWholeFile(dir.File(name)), "record");
  }
  EXPECT_EQ(ReadWholeFile(dir.File("victim")), "precious");
  std::string reason;
  EXPECT_EQ(OpenFreshFile(dir.File("missing/stats.txt"), &reason), -1);
  EXPECT_EQ(reason, "No such file or directory");
}

TEST(AtomicFile, FailuresGiveTheReasonAndLeaveNothingBehind) {
  ScratchDirectory dir;
  std::string reason;
  EXPECT_FALSE(WriteFileAtomically(dir.File("missing/a.eqa"), "x", &reason));
  EXPECT_EQ(reason, "No such file or directory");
  WriteWholeFile(dir.File("plain"), "kept");
  EXPECT_FALSE(WriteFileAtomically(dir.File("plain/a.eqa"), "x", &reason));
  EXPECT_EQ(reason, "Not a directory");
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_FALSE(WriteFileAtomically(dir.File("folder"), "x", &reason));
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_FALSE(WriteFileAtomically("", "x", &reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_FALSE(WriteFileAtomically(dir.File("folder/") , "x"));  // without a reason asked for
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"folder", "plain"}));
  EXPECT_TRUE(Names(dir.File("folder")).empty());
  EXPECT_EQ(ReadWholeFile(dir.File("plain")), "kept");
}

}  // namespace
