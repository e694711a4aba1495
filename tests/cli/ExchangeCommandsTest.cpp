// velmora-cli export and import end to end: files through the tool and back,
// usage errors, rejected models, unwritable outputs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>

#include "CliRunner.h"
#include "model/EQAlgebra.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"

namespace {

std::string Data(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/" + name; }

std::string CanonicalOfFile(const std::string& path, const SearchSettings& settings) {
  ScopedSettings scoped(settings);
  TEQAlgebra algebra;
  algebra.FileName = path;
  std::string error;
  EXPECT_TRUE(algebra.ReadEQA(&error)) << error;
  return algebra.BuildCanonicalText();
}

TEST(ExportImportCommands, EqaThroughLadrAndUacalcComesBackTheSame) {
  ScratchDirectory dir;
  for (const std::string format : {"ladr", "uacalc"}) {
    const CliRun exported = RunCli("export --format " + format + " '" + Data("chain3.eqa") + "' --out '" + dir.Path() + "/x'");
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string written = dir.Path() + "/x/chain3" + (format == "ladr" ? ".ladr" : ".ua");
    EXPECT_EQ(exported.out, written + "\n");
    const CliRun imported = RunCli("import --format " + format + " '" + written + "' --out '" + dir.Path() + "/" + format + "'");
    ASSERT_EQ(imported.status, 0) << imported.err;
    const std::string back = dir.Path() + "/" + format + "/chain3_0001.eqa";
    EXPECT_EQ(imported.out, back + "\n");
    EXPECT_EQ(CanonicalOfFile(back, {}), CanonicalOfFile(Data("chain3.eqa"), {}));
  }
}

TEST(ExportImportCommands, DeltaAndMaximumFromTheSettingsTravelAndStayInTheEqaFile) {
  ScratchDirectory dir;
  const CliRun exported = RunCli("export --format ladr --settings '" + Data("delta_max.ini") + "' '" +
                                 Data("chain3.eqa") + "' --out '" + dir.Path() + "'");
  ASSERT_EQ(exported.status, 0) << exported.err;
  const std::string text = ReadWholeFile(dir.File("chain3.ladr"));
  EXPECT_NE(text.find("function(d(_), [0,1,0])"), std::string::npos) << text;
  EXPECT_NE(text.find("function(join(_,_), [0,1,2,1,1,1,2,1,2])"), std::string::npos) << text;
  const CliRun imported = RunCli("import --format ladr '" + dir.File("chain3.ladr") + "' --out '" + dir.Path() + "'");
  ASSERT_EQ(imported.status, 0) << imported.err;
  // Read back under the defaults, the file still holds the join of the order.
  SearchSettings both;
  both.DeltaEnabled = both.MaximumEnabled = true;
  TEQAlgebra algebra;
  algebra.FileName = dir.File("chain3_0001.eqa");
  ASSERT_TRUE(algebra.ReadEQA());
  EXPECT_EQ(algebra.Maximum('0', 'a'), 'a');
  EXPECT_EQ(algebra.Delta('a'), '0');
}

TEST(ExportImportCommands, RejectedModelsAreNamedAndTheOthersWritten) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("models.out"),
                 "interpretation(2, [number = 1], [function(meet(_,_), [0,0,0,1]), function(prod(_,_), [0,0,0,1]),\n"
                 "  function(eq(_,_), [1,0,1,1])]).\n"
                 "interpretation(2, [number = 2], [function(meet(_,_), [0,0,0,1]), function(prod(_,_), [0,0,0,1]),\n"
                 "  function(eq(_,_), [1,0,0,1])]).\n");
  const CliRun run = RunCli("import --format ladr '" + dir.File("models.out") + "' --out '" + dir.Path() + "/eqa'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velmora-cli import: " + dir.File("models.out") +
                         ": model 1 (number = 1, line 1): eq is not symmetric: 0 ~ 1 differs from 1 ~ 0\n");
  EXPECT_EQ(run.out, dir.Path() + "/eqa/models_0002.eqa\n");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/eqa/models_0001.eqa"));
}

// Two inputs of one name from different folders would share an output: the
// second is refused, named, and the first's output kept.
TEST(ExportImportCommands, InputsWhoseOutputsCollideAreRefused) {
  ScratchDirectory dir;
  std::filesystem::create_directories(dir.File("a"));
  std::filesystem::create_directories(dir.File("b"));
  std::filesystem::copy_file(Data("chain3.eqa"), dir.File("a/x.eqa"));
  std::filesystem::copy_file(Data("chain3.eqa"), dir.File("b/x.eqa"));
  const CliRun run = RunCli("export --format json '" + dir.File("a/x.eqa") + "' '" + dir.File("b/x.eqa") +
                            "' --out '" + dir.File("out") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, dir.File("out") + "/x.json\n");
  EXPECT_EQ(run.err, "velmora-cli export: " + dir.File("b/x.eqa") + ": not written: its output " + dir.File("out") +
                         "/x.json is already that of " + dir.File("a/x.eqa") + "\n");
  EXPECT_NE(ReadWholeFile(dir.File("out/x.json")).find("\"size\": 3"), std::string::npos);
}

TEST(ExportImportCommands, BadInputGetsAMessageNamingTheFile) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("empty.ua"), "<algebra>");
  CliRun run = RunCli("import --format uacalc '" + dir.File("empty.ua") + "' --out '" + dir.Path() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velmora-cli import: " + dir.File("empty.ua") +
                         ": it is not well-formed XML: line 1: <algebra> is not closed\n");
  run = RunCli("import --format ladr '" + dir.File("missing.out") + "' --out '" + dir.Path() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velmora-cli import: Cannot read " + dir.File("missing.out") + ": No such file or directory\n");
  run = RunCli("export --format json '" + Data("truncated.eqa") + "' '" + Data("chain3.eqa") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("velmora-cli export: " + Data("truncated.eqa"), 0), 0u) << run.err;
  EXPECT_EQ(run.out.rfind("{\"size\": 3, ", 0), 0u) << run.out;  // the good file is still exported
}

TEST(ExportImportCommands, UnwritableOutputIsReportedAndLeavesNoFile) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("blocker"), "");
  CliRun run = RunCli("export --format latex '" + Data("chain3.eqa") + "' --out '" + dir.File("blocker") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velmora-cli export: cannot create the directory " + dir.File("blocker") +
                         ": Not a directory\n");
  // A target name that is a folder cannot be replaced by the rename.
  std::filesystem::create_directories(dir.File("out/chain3.tex"));
  run = RunCli("export --format latex '" + Data("chain3.eqa") + "' --out '" + dir.File("out") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velmora-cli export: Cannot write " + dir.File("out/chain3.tex") + ": Is a directory\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("out")), {}), 1);  // no temporary left
}

TEST(ExportImportCommands, UsageErrors) {
  const struct {
    const char* arguments;
    const char* first_line;
  } cases[] = {
      {"export chain3.eqa", "velmora-cli export: --format is missing"},
      {"export --format pdf chain3.eqa", "velmora-cli export: unknown format \"pdf\" (latex, ladr, uacalc, json, svg or dot)"},
      {"export --format json", "velmora-cli export: no EQA file given"},
      {"export --format json --theory a.eqa", "velmora-cli export: --theory goes with --format ladr only"},
      {"export --format latex --tables a.eqa", "velmora-cli export: --tables goes with --format svg only"},
      {"export --format json --out", "velmora-cli export: --out needs a value"},
      {"import --format ladr m.out", "velmora-cli import: --out DIR is missing"},
      {"import --format ladr m.out n.out --out d", "velmora-cli import: one model file at a time (\"n.out\" is a second one)"},
      {"import --format json m.out --out d", "velmora-cli import: unknown format \"json\" (ladr or uacalc)"},
      {"import --format ladr --names star=s m.out --out d",
       "velmora-cli import: --names: unknown operation \"star\" (known: meet, prod, eq, delta, join)"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.first_line) << c.arguments;
  }
}

TEST(ExportImportCommands, VersionNamesTheProgramVersionAndDate) {
  const CliRun run = RunCli("--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(std::regex_match(run.out, std::regex("velmora-cli [0-9]+\\.[0-9]+(\\.[0-9]+)? \\(built [0-9]{4}-[0-9]{2}-[0-9]{2}\\)\n")))
      << run.out;
}

}  // namespace
