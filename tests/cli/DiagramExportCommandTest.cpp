// velmora-cli export --format svg and dot: one picture per EQA file, and a
// file whose meet is not one named with the law while the others are written.

#include <gtest/gtest.h>

#include "CliRunner.h"

namespace {

TEST(DiagramExportCommand, WritesOnePicturePerFileAndNamesAMeetThatIsNone) {
  ScratchDirectory dir;
  const std::string chain = std::string(VELMORA_TEST_DATA) + "/chain3.eqa";
  CliRun run = RunCli("export --format svg --tables '" + chain + "' --out '" + dir.Path() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadWholeFile(dir.File("chain3.svg")).find("<svg"), std::string::npos);
  // 0 ^ a = 1 breaks associativity: (0 ^ a) ^ a = a but 0 ^ (a ^ a) = 1.
  std::string text = ReadWholeFile(chain);
  const std::string infimum = "0 a 1\r\n3\r\n0 a 0\r\n";
  ASSERT_NE(text.find(infimum), std::string::npos);
  text.replace(text.find(infimum), infimum.size(), "0 a 1\r\n3\r\n0 a 1\r\n");
  WriteWholeFile(dir.File("broken.eqa"), text);
  run = RunCli("export --format dot '" + dir.File("broken.eqa") + "' '" + chain + "' --out '" + dir.Path() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("broken.eqa: Algebra_0000: No Hasse diagram: the infimum is not a meet (not associative"),
            std::string::npos) << run.err;
  EXPECT_EQ(run.out, dir.File("chain3.dot") + "\n");
  EXPECT_NE(ReadWholeFile(dir.File("chain3.dot")).find("\"0\" -- \"a\";\n  \"a\" -- \"1\";\n}"), std::string::npos);
}

}  // namespace
