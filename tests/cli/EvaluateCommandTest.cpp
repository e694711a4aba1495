// velmora-cli evaluate end to end: the tool is run on fixture files and its
// output lines and exit status are compared exactly.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "CliRunner.h"
#include "ScratchDirectory.h"

namespace {

std::string Data(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/" + name; }

using Counts = std::vector<std::pair<std::string, std::pair<int, int>>>;

std::string Line(const std::string& file, int size, const std::string& fitness, const Counts& counts,
                 const std::string& canonical) {
  std::string line = "{\"file\": \"" + file + "\", \"size\": " + std::to_string(size) + ", \"fitness\": " +
                     fitness + ", \"properties\": {";
  for (size_t i = 0; i < counts.size(); ++i) {
    if (i > 0) line += ", ";
    line += "\"" + counts[i].first + "\": [" + std::to_string(counts[i].second.first) + ", " +
            std::to_string(counts[i].second.second) + "]";
  }
  return line + "}, \"canonical\": \"" + canonical + "\"}\n";
}

// The chain 0 < a < 1 (the Goedel chain): every axiom holds.
Counts ChainCounts(int colourfulness_target, bool maximum, bool delta) {
  Counts counts = {{"Associative Infimum", {27, 27}}, {"Commutative Infimum", {9, 9}},
                   {"Neutral Infimum", {6, 6}},       {"Idempotent Infimum", {3, 3}},
                   {"Associative Product", {27, 27}}, {"Neutral Product", {6, 6}},
                   {"Isotone Product", {27, 27}},     {"Reflexive FEQuality", {3, 3}},
                   {"Congruence", {81, 81}},          {"Substitution", {81, 81}},
                   {"Monotone Implication", {27, 27}}, {"Boundedness", {9, 9}},
                   {"Colourfulness", {2, colourfulness_target}}, {"Colourfulness(*)", {1, 0}},
                   {"Goodness", {3, 3}},              {"Involutive", {2, 3}},
                   {"Semiseparated", {3, 3}},         {"Separated", {9, 9}},
                   {"Residuated", {27, 27}},          {"Commutative", {9, 9}},
                   {"Linear", {9, 9}}};
  if (maximum) {
    counts.push_back({"Lattice", {81, 81}});
    counts.push_back({"Prelinear", {9, 9}});
    counts.push_back({"Sup-product distributivity", {27, 27}});
  }
  counts.push_back({"Equality over ProdEquality", {27, 27}});
  if (delta) counts.push_back({"Delta properties", {36, 36}});
  return counts;
}

// Two elements with 0 ~ 1 = 1.
Counts TwoElementCounts(int colourfulness_target, bool maximum, bool delta) {
  Counts counts = {{"Associative Infimum", {8, 8}}, {"Commutative Infimum", {4, 4}},
                   {"Neutral Infimum", {4, 4}},    {"Idempotent Infimum", {2, 2}},
                   {"Associative Product", {8, 8}}, {"Neutral Product", {4, 4}},
                   {"Isotone Product", {8, 8}},    {"Reflexive FEQuality", {2, 2}},
                   {"Congruence", {16, 16}},       {"Substitution", {16, 16}},
                   {"Monotone Implication", {8, 8}}, {"Boundedness", {4, 4}},
                   {"Colourfulness", {1, colourfulness_target}}, {"Colourfulness(*)", {0, 0}},
                   {"Goodness", {1, 2}},           {"Involutive", {1, 2}},
                   {"Semiseparated", {1, 2}},      {"Separated", {2, 4}},
                   {"Residuated", {7, 8}},         {"Commutative", {4, 4}},
                   {"Linear", {4, 4}}};
  if (maximum) {
    counts.push_back({"Lattice", {16, 16}});
    counts.push_back({"Prelinear", {4, 4}});
    counts.push_back({"Sup-product distributivity", {8, 8}});
  }
  counts.push_back({"Equality over ProdEquality", {8, 8}});
  if (delta) counts.push_back({"Delta properties", {18, 18}});
  return counts;
}

const char kChainText[] =
    "^[0,0]=0;^[0,a]=0;^[0,1]=0;^[a,0]=0;^[a,a]=a;^[a,1]=a;^[1,0]=0;^[1,a]=a;^[1,1]=1;"
    "*[0,0]=0;*[0,a]=0;*[0,1]=0;*[a,0]=0;*[a,a]=a;*[a,1]=a;*[1,0]=0;*[1,a]=a;*[1,1]=1;"
    "~[0,0]=1;~[0,a]=0;~[0,1]=0;~[a,0]=0;~[a,a]=1;~[a,1]=a;~[1,0]=0;~[1,a]=a;~[1,1]=1;";
const char kTwoText[] =
    "^[0,0]=0;^[0,1]=0;^[1,0]=0;^[1,1]=1;*[0,0]=0;*[0,1]=0;*[1,0]=0;*[1,1]=1;"
    "~[0,0]=1;~[0,1]=1;~[1,0]=1;~[1,1]=1;";

TEST(EvaluateCommand, EvaluatesEachFileWithDefaultSettings) {
  const CliRun run = RunCli("evaluate '" + Data("chain3.eqa") + "' '" + Data("two_element_equal.eqa") + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Line(Data("chain3.eqa"), 3, "1", ChainCounts(0, false, false), kChainText) +
                         Line(Data("two_element_equal.eqa"), 2, "1", TwoElementCounts(0, false, false), kTwoText));
  EXPECT_EQ(run.err, "");
}

TEST(EvaluateCommand, RequiredGoodnessLowersTheFitness) {
  const CliRun run =
      RunCli("evaluate --settings '" + Data("require_goodness.ini") + "' '" + Data("two_element_equal.eqa") + "'");
  EXPECT_EQ(run.status, 0);
  // (1 - w) + w * 1/2 with w = 0.1.
  EXPECT_EQ(run.out, Line(Data("two_element_equal.eqa"), 2, "0.9500000000000001",
                          TwoElementCounts(0, false, false), kTwoText));
}

TEST(EvaluateCommand, DeltaAndMaximumAddTheirChecksAndCells) {
  const CliRun run = RunCli("evaluate --settings '" + Data("delta_max.ini") + "' '" + Data("chain3.eqa") + "' '" +
                         Data("two_element_equal.eqa") + "'");
  EXPECT_EQ(run.status, 0);
  // Colourfulness 9 is bounded by the settings' element count 3, not by each file's size.
  const std::string chain_text = std::string(kChainText) + "d[0]=0;d[a]=0;d[1]=1;" +
                                 "m[0,0]=0;m[0,a]=a;m[0,1]=1;m[a,0]=a;m[a,a]=a;m[a,1]=1;m[1,0]=1;m[1,a]=1;m[1,1]=1;";
  const std::string two_text = std::string(kTwoText) + "d[0]=0;d[1]=1;m[0,0]=0;m[0,1]=1;m[1,0]=1;m[1,1]=1;";
  EXPECT_EQ(run.out, Line(Data("chain3.eqa"), 3, "0.9666666666666667", ChainCounts(3, true, true), chain_text) +
                         Line(Data("two_element_equal.eqa"), 2, "0.9333333333333333",
                              TwoElementCounts(3, true, true), two_text));
}

TEST(EvaluateCommand, UnreadableFilesGiveAnErrorLineAndTheRestGoesOn) {
  const std::string absent = Data("absent.eqa");
  const CliRun run = RunCli("evaluate '" + Data("truncated.eqa") + "' '" + absent + "' '" + Data("chain3.eqa") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "{\"file\": \"" + Data("truncated.eqa") + "\", \"error\": \"" + Data("truncated.eqa") +
                         ": line 6: the infimum entry 2 is truncated\"}\n" +
                         "{\"file\": \"" + absent + "\", \"error\": \"Error reading file: " + absent +
                         ": No such file or directory\"}\n" +
                         Line(Data("chain3.eqa"), 3, "1", ChainCounts(0, false, false), kChainText));
}

TEST(EvaluateCommand, UsageErrorsExitWithTwoAndPrintNothing) {
  const std::string usage = "Usage: velmora-cli evaluate [--settings FILE.ini] [--strict] FILE.eqa...\n";
  CliRun run = RunCli("evaluate");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "velmora-cli evaluate: no EQA file given\n" + usage);

  run = RunCli("evaluate --settings");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "velmora-cli evaluate: --settings needs a value\n" + usage);

  run = RunCli("evaluate --bogus '" + Data("chain3.eqa") + "'");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "velmora-cli evaluate: unknown option \"--bogus\"\n" + usage);

  run = RunCli("evaluate --settings '" + Data("absent.ini") + "' '" + Data("chain3.eqa") + "'");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "velmora-cli evaluate: Settings file not found: " + Data("absent.ini") + "\n");

  run = RunCli("evaluate --settings '" + std::string(VELMORA_TEST_DATA) + "' '" + Data("chain3.eqa") + "'");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "velmora-cli evaluate: Error reading file: " + std::string(VELMORA_TEST_DATA) +
                         ": Is a directory\n");

  run = RunCli("frobnicate");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("velmora-cli: unknown command \"frobnicate\"\n", 0), 0u);
}

// The whole help names every command; a command's help only that command.
TEST(EvaluateCommand, HelpDocumentsTheCommandsAndTheExitCodes) {
  for (const char* arguments : {"--help", "evaluate --help"}) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("velmora-cli evaluate [--settings FILE.ini] [--strict] FILE.eqa...\n"), std::string::npos);
    EXPECT_EQ(run.out.find("velmora-cli search [--settings FILE.ini] [--strict] [--seed S] [--steps N] [--out DIR] "
                           "[--threads T]\n") != std::string::npos,
              std::string(arguments) == "--help");
    EXPECT_NE(run.out.find("Exit status:\n  0  success\n  1  some input failed"), std::string::npos);
    EXPECT_NE(run.out.find("\n  2  usage error"), std::string::npos);
  }
  const CliRun bare = RunCli("");
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out, "");
  EXPECT_NE(bare.err.find("Usage:\n"), std::string::npos);
}

}  // namespace
