// Output folders may be shared: a link another user plants under a name the
// tool makes up must not turn a write into a write on the file it names.
// The link itself is replaced; the file elsewhere keeps its contents.
// (Where the tests run as root, the planted links belong to "nobody".)

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "ScratchDirectory.h"

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Data(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/" + name; }

TEST(PlantedLinks, NoOutWriterWritesThroughALinkInItsFolder) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("three.ini"), "[Algebra properties]\r\nElements number=3\r\n");
  WriteWholeFile(dir.File("models.ladr"),
                 "interpretation(2, [number = 1], [function(meet(_,_), [0,0,0,1]), function(prod(_,_), [0,0,0,1]),\n"
                 "  function(eq(_,_), [1,0,0,1])]).\n");
  const std::string settings = " --settings " + Quoted(dir.File("three.ini"));
  const struct {
    std::string arguments;  // --out follows
    std::vector<std::string> names;  // the names the command writes, each planted as a link
  } cases[] = {
      {"find" + settings, {"class_0001.eqa", "class_0001.eqp"}},
      {"search --seed 3 --steps 2" + settings, {"winner_0000.eqa", "winner_0000.eqp"}},
      {"import --format ladr " + Quoted(dir.File("models.ladr")), {"models_0001.eqa"}},
      {"export --format uacalc " + Quoted(Data("chain3.eqa")), {"chain3.ua"}},
  };
  for (const auto& c : cases) {
    const std::string out = dir.File("shared");
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(out);
    // A shared folder (sticky, open to all); run as root, the links belong
    // to another user (nobody) and point at root's private files.
    ASSERT_EQ(chmod(out.c_str(), 01777), 0);
    std::vector<std::string> victims;
    for (const std::string& name : c.names) {
      victims.push_back(dir.File("victim-" + name));
      WriteWholeFile(victims.back(), "precious");
      ASSERT_EQ(chmod(victims.back().c_str(), 0600), 0);
      std::filesystem::create_symlink(victims.back(), out + "/" + name);
      if (geteuid() == 0) {
        ASSERT_EQ(lchown((out + "/" + name).c_str(), 65534, 65534), 0);
      }
    }

    const CliRun run = RunCli(c.arguments + " --out " + Quoted(out));
    EXPECT_EQ(run.status, 0) << c.arguments << ": " << run.err;
    for (size_t k = 0; k < c.names.size(); ++k) {
      const std::string written = out + "/" + c.names[k];
      EXPECT_EQ(ReadWholeFile(victims[k]), "precious") << c.arguments;
      EXPECT_FALSE(std::filesystem::is_symlink(written)) << written;
      EXPECT_TRUE(std::filesystem::is_regular_file(written)) << written;
    }
  }
}

}  // namespace
