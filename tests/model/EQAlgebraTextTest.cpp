// Text forms: the canonical text (exact cells, lengths, what tells algebras
// apart) and the table dump (exact layout with its blanks and CR LF).

#include <gtest/gtest.h>

#include <string>

#include "model/EQAlgebra.h"
#include "ExampleAlgebras.h"
#include "model/Settings.h"

namespace {

class EQAlgebraTextTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override { Settings = SearchSettings{}; }
};

const std::string kGap = "     ";

TEST_F(EQAlgebraTextTest, CanonicalTextOfTheChainExample) {
  auto algebra = MakeChainExample();
  const std::string expected =
      "^[0,0]=0;^[0,a]=0;^[0,1]=0;^[a,0]=0;^[a,a]=a;^[a,1]=a;^[1,0]=0;^[1,a]=a;^[1,1]=1;"
      "*[0,0]=0;*[0,a]=0;*[0,1]=0;*[a,0]=0;*[a,a]=a;*[a,1]=a;*[1,0]=0;*[1,a]=a;*[1,1]=1;"
      "~[0,0]=1;~[0,a]=0;~[0,1]=0;~[a,0]=0;~[a,a]=1;~[a,1]=a;~[1,0]=0;~[1,a]=a;~[1,1]=1;";
  ASSERT_EQ(expected.size(), 243u);
  EXPECT_EQ(algebra->BuildCanonicalText(), expected);
  EXPECT_EQ(algebra->CanonicalText, expected);
}

TEST_F(EQAlgebraTextTest, CanonicalTextAddsDeltaAndMaximumCells) {
  auto algebra = MakeChainExample();
  SetSingleGene(algebra->DeltaGene, {"00", "a0", "11"});
  SetPairGene(algebra->MaximumGene, {"0aa", "a0a"});
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  const std::string& text = algebra->BuildCanonicalText();
  ASSERT_EQ(text.size(), 243u + 21u + 81u);
  EXPECT_EQ(text.substr(243, 21), "d[0]=0;d[a]=0;d[1]=1;");
  // Cells without entry show character 0.
  EXPECT_EQ(text.substr(264), std::string("m[0,0]=") + '\0' +
                                  ";m[0,a]=a;m[0,1]=1;m[a,0]=a;m[a,a]=" + '\0' +
                                  ";m[a,1]=1;m[1,0]=1;m[1,a]=1;m[1,1]=1;");
  Settings.DeltaEnabled = false;
  EXPECT_EQ(algebra->BuildCanonicalText().size(), 243u + 81u);
}

TEST_F(EQAlgebraTextTest, CanonicalTextLengthsOfTheTwoElementAlgebra) {
  TEQAlgebra algebra;
  algebra.Init(2);
  SetPairGene(algebra.FEqualityGene, {"011"});
  EXPECT_EQ(algebra.BuildCanonicalText(),
            "^[0,0]=0;^[0,1]=0;^[1,0]=0;^[1,1]=1;*[0,0]=0;*[0,1]=0;*[1,0]=0;*[1,1]=1;"
            "~[0,0]=1;~[0,1]=1;~[1,0]=1;~[1,1]=1;");
  EXPECT_EQ(algebra.CanonicalText.size(), 108u);
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  EXPECT_EQ(algebra.BuildCanonicalText().size(), 158u);
  Settings.MaximumEnabled = false;
  EXPECT_EQ(algebra.BuildCanonicalText().size(), 108u + 14u);
}

TEST_F(EQAlgebraTextTest, OnlyLookedUpCellsTellAlgebrasApart) {
  auto first = MakeChainExample();
  auto second = MakeChainExample();
  second->ProductGene.Entries[1].Value = '1';  // (0, a): never read
  second->ProductGene.Entries[3].Value = 'a';  // (a, 0): never read
  second->InfimumGene.Entries[0].Value = '0';  // same value as before
  EXPECT_EQ(first->BuildCanonicalText(), second->BuildCanonicalText());
  second->ProductGene.Entries[4].Value = '0';  // (a, a)
  EXPECT_NE(first->BuildCanonicalText(), second->BuildCanonicalText());
}

TEST_F(EQAlgebraTextTest, CanonicalTextFollowsTheListOrderOfAnyElements) {
  TEQAlgebra algebra;
  algebra.Init(3);
  algebra.ElementList[0] = '1';
  algebra.ElementList[1] = 'x';
  algebra.ElementList[2] = '0';
  SetPairGene(algebra.InfimumGene, {"1x0"});
  SetPairGene(algebra.FEqualityGene, {});
  SetPairGene(algebra.ProductGene, {"xxx"});
  const std::string& text = algebra.BuildCanonicalText();
  EXPECT_EQ(text.substr(0, 81),
            std::string("^[1,1]=1;^[1,x]=x;^[1,0]=0;^[x,1]=x;^[x,x]=x;^[x,0]=") + '\0' +
                ";^[0,1]=0;^[0,x]=" + '\0' + ";^[0,0]=0;");
  EXPECT_EQ(text.substr(81, 81),
            "*[1,1]=1;*[1,x]=x;*[1,0]=0;*[x,1]=x;*[x,x]=x;*[x,0]=0;*[0,1]=0;*[0,x]=0;*[0,0]=0;");
}

TEST_F(EQAlgebraTextTest, CanonicalTextReusesItsBuffer) {
  auto algebra = MakeChainExample();
  algebra->BuildCanonicalText();
  const char* buffer = algebra->CanonicalText.data();
  algebra->ProductGene.Entries[4].Value = '0';
  algebra->BuildCanonicalText();
  EXPECT_EQ(algebra->CanonicalText.data(), buffer);
}

TEST_F(EQAlgebraTextTest, DumpOfTheChainExampleWithDerivedTables) {
  auto algebra = MakeChainExample();
  algebra->CanonicalText = "kept";
  const std::string expected =
      "  ^ 0 a 1      * 0 a 1      ~ 0 a 1      \r\n"
      "  -|------     -|------     -|------     \r\n"
      "  0|0 0 0      0|0 0 0      0|1 0 0 \r\n"
      "  a|0 a a      a|0 a a      a|0 1 a \r\n"
      "  1|0 a 1      1|0 a 1      1|0 a 1 \r\n"
      " \r\n"
      "  i 0 a 1      < 0 a 1      -        \r\n"
      "  -|------     -|------     -|--     \r\n"
      "  0|1 1 1      0|1 1 1      0|1 \r\n"
      "  a|0 1 1      a|0 1 1      a|0 \r\n"
      "  1|0 a 1      1|0 0 1      1|0 \r\n";
  EXPECT_EQ(algebra->DumpTables(), expected);
  EXPECT_EQ(algebra->CanonicalText, "kept");
}

TEST_F(EQAlgebraTextTest, DumpWithDeltaAndMaximumHasFiveTables) {
  auto algebra = MakeChainExample();
  SetSingleGene(algebra->DeltaGene, {"00", "a0", "11"});
  SetPairGene(algebra->MaximumGene, {"000", "0aa", "011", "a0a", "aaa", "a11", "101", "1a1", "111"});
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  Settings.ShowDerived = false;
  const std::string expected =
      "  ^ 0 a 1 " + kGap + "* 0 a 1 " + kGap + "~ 0 a 1 " + kGap + "d   " + kGap + "m 0 a 1 " + kGap + "\r\n" +
      "  -|------" + kGap + "-|------" + kGap + "-|------" + kGap + "-|--" + kGap + "-|------" + kGap + "\r\n" +
      "  0|0 0 0 " + kGap + "0|0 0 0 " + kGap + "0|1 0 0 " + kGap + "0|0 " + kGap + "0|0 a 1 \r\n" +
      "  a|0 a a " + kGap + "a|0 a a " + kGap + "a|0 1 a " + kGap + "a|0 " + kGap + "a|a a 1 \r\n" +
      "  1|0 a 1 " + kGap + "1|0 a 1 " + kGap + "1|0 a 1 " + kGap + "1|1 " + kGap + "1|1 1 1 \r\n";
  EXPECT_EQ(algebra->DumpTables(), expected);
}

TEST_F(EQAlgebraTextTest, DumpWithMaximumOnlyHasFourTablesInOrder) {
  auto algebra = MakeChainExample();
  SetPairGene(algebra->MaximumGene, {"0aa"});
  Settings.MaximumEnabled = true;
  Settings.ShowDerived = false;
  const std::string dump = algebra->DumpTables();
  const std::string header = "  ^ 0 a 1 " + kGap + "* 0 a 1 " + kGap + "~ 0 a 1 " + kGap + "m 0 a 1 " + kGap + "\r\n";
  EXPECT_EQ(dump.substr(0, header.size()), header);
  const std::string last_row = std::string("  1|0 a 1 ") + kGap + "1|0 a 1 " + kGap + "1|0 a 1 " + kGap + "1|1 1 1 \r\n";
  EXPECT_EQ(dump.substr(dump.size() - last_row.size()), last_row);
  EXPECT_NE(dump.find("  0|0 0 0 " + kGap + "0|0 0 0 " + kGap + "0|1 0 0 " + kGap + "0|" + '\0' + " a 1 \r\n"),
            std::string::npos);
}

TEST_F(EQAlgebraTextTest, DumpRuleLineCarriesTwoDashesPerElement) {
  Settings.ShowDerived = false;
  TEQAlgebra algebra;
  algebra.Init(28);
  const std::string dump = algebra.DumpTables();
  const size_t first_end = dump.find("\r\n");
  const size_t second_end = dump.find("\r\n", first_end + 2);
  const std::string rule = dump.substr(first_end + 2, second_end - first_end - 2);
  const std::string table_rule = "-|" + std::string(56, '-') + kGap;
  EXPECT_EQ(rule, "  " + table_rule + table_rule + table_rule);
  EXPECT_EQ(first_end, 2u + 3u * (2u + 56u + 5u));
}

}  // namespace
