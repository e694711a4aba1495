// velmora-cli classes end to end: files of isomorphic and non-isomorphic
// algebras, delta from the settings, unreadable files and bad arguments.

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "classes/AlgebraClass.h"
#include "ClassTestHelpers.h"
#include "CliRunner.h"
#include "model/EQAlgebra.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

class ClassesCommand : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = Settings; }
  void TearDown() override { Settings = saved_; }

  // Writes the algebra as NAME (with maximum and delta lists) and returns its path.
  std::string Write(TEQAlgebra algebra, const std::string& name) {
    Settings.DeltaEnabled = Settings.MaximumEnabled = true;
    algebra.FileName = dir_.File(name);
    EXPECT_TRUE(algebra.WriteEQA());
    Settings.DeltaEnabled = Settings.MaximumEnabled = false;
    return algebra.FileName;
  }

  ScratchDirectory dir_;

 private:
  SearchSettings saved_;
};

TEST_F(ClassesCommand, IsomorphicFilesShareAClassAndTheSummaryCountsClasses) {
  std::mt19937 rng(12);
  Settings.ElementCount = 7;
  const TEQAlgebra base = class_tests::OnChain(7, rng, "0ab1");
  TEQAlgebra other = base;
  other.ProductGene.Entries[2 * 7 + 3].Value = other.ProductGene.Entries[2 * 7 + 3].Value == 'a' ? 'b' : 'a';
  const std::string a = Write(base, "a.eqa");
  const std::string b = Write(class_tests::Relabelled(base, class_tests::RandomInnerPermutation(7, rng)), "b.eqa");
  const std::string c = Write(other, "c.eqa");

  const CliRun run = RunCli("classes " + Quoted(a) + " " + Quoted(b) + " " + Quoted(c));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string id = ClassifyAlgebra(base).Id, other_id = ClassifyAlgebra(other).Id;
  ASSERT_NE(id, other_id);
  EXPECT_EQ(run.out, "{\"file\": \"" + a + "\", \"class\": \"" + id + "\", \"automorphisms\": 1}\n" +
                         "{\"file\": \"" + b + "\", \"class\": \"" + id + "\", \"automorphisms\": 1}\n" +
                         "{\"file\": \"" + c + "\", \"class\": \"" + other_id + "\", \"automorphisms\": 1}\n" +
                         "{\"files\": 3, \"classes\": 2}\n");
}

// Delta counts only when the settings put it in play; the automorphism
// order is printed in full, beyond 64 bits.
TEST_F(ClassesCommand, DeltaFromTheSettingsAndLargeGroups) {
  Settings.ElementCount = 28;
  TEQAlgebra flat = test_algebras::StandardLayout(28);
  for (int k = 0; k < flat.InfimumGene.Count; ++k) flat.InfimumGene.Entries[k].Value = '0';
  for (int k = 0; k < flat.ProductGene.Count; ++k) flat.ProductGene.Entries[k].Value = '0';
  for (int k = 0; k < flat.FEqualityGene.Count; ++k) flat.FEqualityGene.Entries[k].Value = '0';
  for (int k = 0; k < flat.DeltaGene.Count; ++k) flat.DeltaGene.Entries[k].Value = '0';
  TEQAlgebra one_delta = flat;
  one_delta.DeltaGene.Entries[5].Value = '1';
  const std::string a = Write(flat, "flat.eqa"), b = Write(one_delta, "delta.eqa");
  WriteWholeFile(dir_.File("delta.ini"), "[Algebra properties]\r\nDelta=1\r\n");

  const CliRun without = RunCli("classes " + Quoted(a) + " " + Quoted(b));
  ASSERT_EQ(without.status, 0) << without.err;
  EXPECT_NE(without.out.find("\"automorphisms\": 403291461126605635584000000}"), std::string::npos) << without.out;
  EXPECT_NE(without.out.find("{\"files\": 2, \"classes\": 1}\n"), std::string::npos) << without.out;

  const CliRun with = RunCli("classes --settings " + Quoted(dir_.File("delta.ini")) + " " + Quoted(a) + " " + Quoted(b));
  ASSERT_EQ(with.status, 0) << with.err;
  EXPECT_NE(with.out.find("\"automorphisms\": 15511210043330985984000000}"), std::string::npos) << with.out;  // 25!
  EXPECT_NE(with.out.find("{\"files\": 2, \"classes\": 2}\n"), std::string::npos) << with.out;
}

TEST_F(ClassesCommand, UnreadableFilesAreReportedAndTheRestClassified) {
  Settings.ElementCount = 3;
  const std::string good = Write(test_algebras::GoedelChain(3), "good.eqa");
  WriteWholeFile(dir_.File("bad.eqa"), "Algebra\r\n3\r\n0 a 1\r\n3\r\n0 a\r\n");
  const std::string missing = dir_.File("missing.eqa");
  const CliRun run = RunCli("classes " + Quoted(dir_.File("bad.eqa")) + " " + Quoted(missing) + " " + Quoted(good));
  EXPECT_EQ(run.status, 1);
  const std::regex expected(
      "\\{\"file\": \"[^\"]*bad.eqa\", \"error\": \"[^\"]*bad.eqa: line 5: [^\"]+\"\\}\n"
      "\\{\"file\": \"[^\"]*missing.eqa\", \"error\": \"Error reading file: [^\"]*missing.eqa: No such file or directory\"\\}\n"
      "\\{\"file\": \"[^\"]*good.eqa\", \"class\": \"[0-9a-f]{12}\", \"automorphisms\": 1\\}\n"
      "\\{\"files\": 1, \"classes\": 1\\}\n");
  EXPECT_TRUE(std::regex_match(run.out, expected)) << run.out;
}

TEST_F(ClassesCommand, BadArgumentsAreUsageErrors) {
  const CliRun none = RunCli("classes");
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "velmora-cli classes: no EQA file given\nUsage: velmora-cli classes [--settings FILE.ini] [--strict] FILE.eqa...\n");
  const CliRun unknown = RunCli("classes --fast x.eqa");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("velmora-cli classes: unknown option \"--fast\"\n", 0), 0u);
  const CliRun no_ini = RunCli("classes --settings " + Quoted(dir_.File("none.ini")) + " x.eqa");
  EXPECT_EQ(no_ini.status, 2);
  EXPECT_NE(no_ini.err.find("none.ini"), std::string::npos) << no_ini.err;
  EXPECT_EQ(no_ini.out, "");
  const CliRun help = RunCli("classes --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("velmora-cli classes [--settings FILE.ini] [--strict] FILE.eqa..."), std::string::npos);
}

}  // namespace
