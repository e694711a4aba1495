// Exported files are written whole or not at all.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "formats/ExportFile.h"
#include "ScratchDirectory.h"

namespace {

TEST(ExportFile, ReplacesTheTargetWithOrdinaryPermissionsAndLeavesNoTemporary) {
  ScratchDirectory dir;
  const std::string path = dir.File("out.json");
  WriteWholeFile(path, "old contents that are longer than the new ones");
  std::string error;
  const mode_t previous = umask(022);
  const bool written = WriteExportFile(path, "{}\n", error);
  umask(previous);
  ASSERT_TRUE(written) << error;
  EXPECT_EQ(ReadWholeFile(path), "{}\n");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(ExportFile, FailureNamesTheFileAndTheReasonAndKeepsTheOldFile) {
  ScratchDirectory dir;
  std::string error;
  EXPECT_FALSE(WriteExportFile(dir.File("no/such/dir/a.tex"), "x", error));
  EXPECT_EQ(error, "Cannot write " + dir.File("no/such/dir/a.tex") + ": No such file or directory");
  // A directory in the way of the rename: the temporary goes, the directory stays.
  std::filesystem::create_directory(dir.File("taken.ua"));
  EXPECT_FALSE(WriteExportFile(dir.File("taken.ua"), "x", error));
  EXPECT_EQ(error, "Cannot write " + dir.File("taken.ua") + ": Is a directory");
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.ua")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
