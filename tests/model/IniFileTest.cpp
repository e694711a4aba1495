// The INI file: one section per name with keys in written order, CR LF and
// LF, and clear failures that keep what was there.

#include "IniFile.h"

#include <gtest/gtest.h>

#include <string>

#include "ScratchDirectory.h"

namespace {

TEST(IniFile, KeysWrittenToASectionAgainJoinIt) {
  IniFile ini;
  ini.Set("Algebra properties", "Elements number", "5");
  ini.Set("GA properties", "Population limit", "180");
  ini.Set("Algebra properties", "Delta", "0");
  ini.Set("algebra PROPERTIES", "elements number", "7");  // names match without regard to case
  EXPECT_EQ(ini.Text(),
            "[Algebra properties]\r\nElements number=7\r\nDelta=0\r\n"
            "\r\n[GA properties]\r\nPopulation limit=180\r\n");
  EXPECT_EQ(ini.Value("Algebra properties", "Delta"), "0");
  EXPECT_EQ(ini.Value("Algebra properties", "Max"), std::nullopt);
  EXPECT_EQ(ini.Value("Log", "Delta"), std::nullopt);
}

TEST(IniFile, ReadsCrLfAndLfFiles) {
  ScratchDirectory dir;
  for (const std::string eol : {"\r\n", "\n"}) {
    const std::string path = dir.File("a.ini");
    WriteWholeFile(path, "; comment" + eol + "stray=1" + eol + "[First]" + eol + " Key = some value " + eol +
                             "key=second" + eol + "no equals sign" + eol + "[Second]" + eol + "Empty=" + eol +
                             "[first]" + eol + "Later=2");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_TRUE(ini.Exists());
    EXPECT_EQ(ini.Value("First", "Key"), "some value");  // the first line of a key wins
    EXPECT_EQ(ini.Value("First", "Later"), "2");          // a repeated section joins the first
    EXPECT_EQ(ini.Value("Second", "Empty"), "");
    EXPECT_EQ(ini.Value("First", "stray"), std::nullopt);
    EXPECT_EQ(ini.Text(), "[First]\r\nKey=some value\r\nLater=2\r\n\r\n[Second]\r\nEmpty=\r\n");
  }
}

TEST(IniFile, SaveAndLoadRoundTrip) {
  ScratchDirectory dir;
  IniFile ini;
  ini.Set("Log", "QuickDirPath", "/home/u/Velmora/EQ/");
  ini.Set("Log", "DumpProperties", "1");
  const std::string path = dir.File("new/nested/Velmora.ini");  // parents are created
  std::string error;
  ASSERT_TRUE(ini.Save(path, &error)) << error;
  EXPECT_EQ(ReadWholeFile(path), "[Log]\r\nQuickDirPath=/home/u/Velmora/EQ/\r\nDumpProperties=1\r\n");
  IniFile read;
  ASSERT_TRUE(read.Load(path));
  EXPECT_EQ(read.Text(), ini.Text());
}

TEST(IniFile, MissingFileLoadsEmpty) {
  ScratchDirectory dir;
  IniFile ini;
  ini.Set("A", "b", "c");
  ASSERT_TRUE(ini.Load(dir.File("absent.ini")));
  EXPECT_FALSE(ini.Exists());
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, UnreadableFileIsReportedAndKeepsTheContents) {
  ScratchDirectory dir;
  IniFile ini;
  ini.Set("A", "b", "c");
  std::string error;
  EXPECT_FALSE(ini.Load(dir.Path(), &error));  // a directory
  EXPECT_EQ(error, "Error reading file: " + dir.Path());
  EXPECT_EQ(ini.Value("A", "b"), "c");
}

TEST(IniFile, UnwritableFileIsReportedAndTheOldFileKept) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("plain"), "not a directory");
  IniFile ini;
  ini.Set("A", "b", "c");
  std::string error;
  EXPECT_FALSE(ini.Save(dir.File("plain/Velmora.ini"), &error));
  EXPECT_EQ(error, "Error writing file: " + dir.File("plain/Velmora.ini"));

  // The target is a directory: nothing replaces it.
  const std::string target = dir.File("target");
  std::filesystem::create_directory(target);
  WriteWholeFile(target + "/inside", "kept");
  EXPECT_FALSE(ini.Save(target, &error));
  EXPECT_EQ(error, "Error writing file: " + target);
  EXPECT_EQ(ReadWholeFile(target + "/inside"), "kept");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}

}  // namespace
