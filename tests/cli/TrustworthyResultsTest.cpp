// End to end: results a researcher can trust and keep. A misspelt setting is
// told, Ctrl-C keeps what was found, parts share a folder without loss, "-"
// reads standard input, and parts merge into the whole run.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "ScratchDirectory.h"

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

TEST(TrustworthyResults, AMisspeltSettingIsToldAndStrictRefusesIt) {
  ScratchDirectory dir;
  const std::string ini = dir.File("Velmora.ini");
  WriteWholeFile(ini, "[Algebra properties]\nElements number=4\nGoodnes=1\n");
  for (const std::string& command : {std::string("find --count"), "evaluate " + std::string(VELMORA_TEST_DATA) + "/chain3.eqa"}) {
    const CliRun warned = RunCli(command + " --settings " + Quoted(ini));
    EXPECT_EQ(warned.status, 0) << command;
    EXPECT_NE(warned.err.find(ini + ":3: unknown key \"Goodnes\" in [Algebra properties] (ignored; did you mean "
                                    "\"Goodness\"?)"),
              std::string::npos)
        << warned.err;
    const CliRun strict = RunCli(command + " --strict --settings " + Quoted(ini));
    EXPECT_EQ(strict.status, 2) << command;
    EXPECT_TRUE(strict.out.empty()) << strict.out;
  }
}

}  // namespace
