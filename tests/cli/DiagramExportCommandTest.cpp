// velmora-cli export --format svg and dot: one picture per EQA file, the
// tables beside the diagram on request, a clear message for a meet that is
// not one.

#include <gtest/gtest.h>

#include "CliRunner.h"
#include "XmlTree.h"

namespace {

std::string Data(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/" + name; }

TEST(DiagramExportCommand, WritesSvgAndDotOfEachFile) {
  ScratchDirectory dir;
  CliRun run = RunCli("export --format svg --tables '" + Data("chain3.eqa") + "' --out '" + dir.Path() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, dir.File("chain3.svg") + "\n");
  std::string fault;
  const auto svg = ParseXml(ReadWholeFile(dir.File("chain3.svg")), fault);
  ASSERT_NE(svg, nullptr) << fault;
  EXPECT_EQ(svg->Name, "svg");

  run = RunCli("export --format dot '" + Data("chain3.eqa") + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"0\" -- \"a\";\n  \"a\" -- \"1\";\n}"), std::string::npos) << run.out;

  // A file whose meet is not one: named with the law, the other files still written.
  // 0 ^ a = 1 breaks associativity: (0 ^ a) ^ a = a but 0 ^ (a ^ a) = 1.
  std::string text = ReadWholeFile(Data("chain3.eqa"));
  const std::string infimum = "0 a 1\r\n3\r\n0 a 0\r\n";
  ASSERT_NE(text.find(infimum), std::string::npos);
  text.replace(text.find(infimum), infimum.size(), "0 a 1\r\n3\r\n0 a 1\r\n");
  WriteWholeFile(dir.File("broken.eqa"), text);
  run = RunCli("export --format dot '" + dir.File("broken.eqa") + "' '" + Data("chain3.eqa") + "' --out '" +
               dir.Path() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("broken.eqa: Algebra_0000: No Hasse diagram: the infimum is not a meet (not associative"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.out, dir.File("chain3.dot") + "\n");
}

}  // namespace
