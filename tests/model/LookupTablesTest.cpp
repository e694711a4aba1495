// The dense tables must answer every lookup exactly as the gene-list lookups
// do, for standard and for odd content.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "model/EQAlgebra.h"
#include "model/LookupTables.h"
#include "model/Settings.h"

namespace {

// Fills every counted entry with characters drawn from a small alphabet that
// mixes element characters with characters that are no element (and 0).
void FillOdd(TEQAlgebra& algebra, std::mt19937& rng, bool odd_arguments) {
  const std::string alphabet = std::string("01abcdz") + '\0' + "#";
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> element(0, algebra.Size - 1);
  auto value = [&] { return alphabet[pick(rng)]; };
  auto argument = [&] { return odd_arguments ? value() : algebra.ElementList[element(rng)]; };
  for (PairGene* gene : {&algebra.InfimumGene, &algebra.ProductGene, &algebra.FEqualityGene,
                         &algebra.MaximumGene}) {
    for (int k = 0; k < gene->Count; ++k) gene->Entries[k] = {argument(), argument(), value()};
  }
  for (int k = 0; k < algebra.DeltaGene.Count; ++k) algebra.DeltaGene.Entries[k] = {argument(), value()};
}

void ExpectTablesMatchLookups(const TEQAlgebra& algebra) {
  LookupTables tables;
  tables.Build(algebra);
  ASSERT_LE(tables.Count(), 256);
  for (int i = 0; i < tables.Count(); ++i) {
    const char x = tables.CharOf(static_cast<uint8_t>(i));
    ASSERT_EQ(tables.IndexOf(x), i);
    EXPECT_EQ(tables.CharOf(tables.Del(static_cast<uint8_t>(i))), algebra.Delta(x));
    for (int j = 0; j < tables.Count(); ++j) {
      const char y = tables.CharOf(static_cast<uint8_t>(j));
      const auto a = static_cast<uint8_t>(i), b = static_cast<uint8_t>(j);
      ASSERT_EQ(tables.CharOf(tables.Inf(a, b)), algebra.Infimum(x, y)) << int(x) << "," << int(y);
      ASSERT_EQ(tables.CharOf(tables.Prod(a, b)), algebra.Product(x, y)) << int(x) << "," << int(y);
      ASSERT_EQ(tables.CharOf(tables.Eq(a, b)), algebra.Equality(x, y)) << int(x) << "," << int(y);
      ASSERT_EQ(tables.CharOf(tables.Max(a, b)), algebra.Maximum(x, y)) << int(x) << "," << int(y);
      ASSERT_EQ(tables.CharOf(tables.Imp(a, b)), algebra.Implication(x, y));
      ASSERT_EQ(tables.CharOf(tables.Join(algebra.Size, a, b)), algebra.Join(algebra.Size, x, y));
    }
  }
  for (int p = 0; p < algebra.Size; ++p) EXPECT_EQ(tables.CharOf(tables.Element(p)), algebra.ElementList[p]);
}

class LookupTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
};

TEST_F(LookupTablesTest, StandardAlgebraKeepsListPositionsAsIndexes) {
  Settings.ElementCount = 5;
  TEQAlgebra algebra;
  LookupTables tables;
  tables.Build(algebra);
  EXPECT_EQ(tables.Count(), 6);  // five elements and character 0
  for (int p = 0; p < 5; ++p) EXPECT_EQ(tables.Element(p), p);
  EXPECT_EQ(tables.Zero(), 0);
  EXPECT_EQ(tables.One(), 4);
}

TEST_F(LookupTablesTest, AgreeWithLookupsOnElementValuedContent) {
  std::mt19937 rng(7);
  for (int n : {2, 3, 5, 8, 28}) {
    Settings.ElementCount = n;
    for (int round = 0; round < 4; ++round) {
      TEQAlgebra algebra;
      FillOdd(algebra, rng, false);
      ExpectTablesMatchLookups(algebra);
    }
  }
}

TEST_F(LookupTablesTest, AgreeWithLookupsOnOddCharactersAndDuplicateEntries) {
  std::mt19937 rng(11);
  for (int n : {2, 4, 6}) {
    Settings.ElementCount = n;
    for (int round = 0; round < 6; ++round) {
      TEQAlgebra algebra;
      FillOdd(algebra, rng, true);
      algebra.ElementList[n / 2] = '#';  // an element list that is not the standard one
      ExpectTablesMatchLookups(algebra);
    }
  }
}

TEST_F(LookupTablesTest, FirstMatchingEntryWinsInBothOrientations) {
  Settings.ElementCount = 3;
  TEQAlgebra algebra;  // elements 0 a 1
  algebra.InfimumGene.Entries[0] = {'a', '0', 'a'};
  algebra.InfimumGene.Entries[1] = {'0', 'a', '0'};
  algebra.ProductGene.Entries[0] = {'a', 'a', '1'};
  algebra.ProductGene.Entries[1] = {'a', 'a', '0'};
  LookupTables tables;
  tables.Build(algebra);
  const auto a = static_cast<uint8_t>(tables.IndexOf('a')), zero = tables.Zero();
  EXPECT_EQ(tables.CharOf(tables.Inf(zero, a)), 'a');
  EXPECT_EQ(tables.CharOf(tables.Inf(a, zero)), 'a');
  EXPECT_EQ(tables.CharOf(tables.Prod(a, a)), '1');
}

TEST_F(LookupTablesTest, RecomputedMaximumIsTheJoinOfEachPair) {
  std::mt19937 rng(3);
  Settings.ElementCount = 6;
  TEQAlgebra algebra;
  FillOdd(algebra, rng, false);
  algebra.RecomputeMaximum();
  for (int k = 0; k < algebra.MaximumGene.Count; ++k) {
    const PairEntry& e = algebra.MaximumGene.Entries[k];
    EXPECT_EQ(e.Value, algebra.Join(algebra.Size, e.X, e.Y));
  }
}

}  // namespace
