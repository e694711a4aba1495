// The INI file: one section per name with keys in written order, CR LF and
// LF, and clear failures that keep what was there.

#include "model/IniFile.h"

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
  EXPECT_EQ(error, "Error reading file: " + dir.Path() + ": Is a directory");
  EXPECT_EQ(ini.Value("A", "b"), "c");
  EXPECT_FALSE(ini.Load("/proc/self/mem", &error));  // a regular file whose first read fails
  EXPECT_EQ(error, "Error reading file: /proc/self/mem: Input/output error");
  EXPECT_EQ(ini.Value("A", "b"), "c");

  // Larger than any settings file: refused, not read.
  const std::string big = dir.File("big.ini");
  WriteWholeFile(big, "[A]\r\nb=d\r\n" + std::string(IniFile::kMaxFileBytes, ';'));
  EXPECT_FALSE(ini.Load(big, &error));
  EXPECT_EQ(error, "Error reading file: " + big + ": larger than 1048576 bytes");
  EXPECT_EQ(ini.Value("A", "b"), "c");
}

TEST(IniFile, UnwritableFileIsReportedAndTheOldFileKept) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("plain"), "not a directory");
  IniFile ini;
  ini.Set("A", "b", "c");
  std::string error;
  EXPECT_FALSE(ini.Save(dir.File("plain/Velmora.ini"), &error));
  EXPECT_EQ(error, "Error writing file: " + dir.File("plain/Velmora.ini") + ": Not a directory");

  // The target is a directory: nothing replaces it.
  const std::string target = dir.File("target");
  std::filesystem::create_directory(target);
  WriteWholeFile(target + "/inside", "kept");
  EXPECT_FALSE(ini.Save(target, &error));
  EXPECT_EQ(error, "Error writing file: " + target + ": Is a directory");
  EXPECT_EQ(ReadWholeFile(target + "/inside"), "kept");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 2) << "no temporary stays beside the target";
}

}  // namespace

namespace {

TEST(IniFile, ManySectionsAndKeysAreAllFoundByName) {
  std::string text = "[Big]\n";
  for (int k = 0; k < 80000; ++k) text += "Key" + std::to_string(k) + "=" + std::to_string(k) + "\n";
  text += "KEY7=repeated\n";  // the first line of a key wins, whatever its case
  for (int s = 0; s < 20000; ++s) text += "[Section " + std::to_string(s) + "]\nk=" + std::to_string(s) + "\n";
  text += "[big]\nLast=joins\n";
  IniFile ini;
  ini.LoadText(text);
  for (const int k : {0, 7, 39999, 79999}) EXPECT_EQ(ini.Value("BIG", "key" + std::to_string(k)), std::to_string(k));
  for (const int s : {0, 12345, 19999}) EXPECT_EQ(ini.Value("section " + std::to_string(s), "K"), std::to_string(s));
  EXPECT_EQ(ini.Value("Big", "Last"), "joins");
  EXPECT_EQ(ini.Value("Big", "Key80000"), std::nullopt);
  ini.Set("big", "key5", "changed");
  EXPECT_EQ(ini.Value("Big", "Key5"), "changed");
  const std::string written = ini.Text();
  EXPECT_EQ(written.rfind("[Big]\r\nKey0=0\r\nKey1=1\r\nKey2=2\r\nKey3=3\r\nKey4=4\r\nKey5=changed\r\n", 0), 0u);
  EXPECT_NE(written.find("Key79999=79999\r\nLast=joins\r\n\r\n[Section 0]\r\nk=0\r\n"), std::string::npos);
}

}  // namespace
