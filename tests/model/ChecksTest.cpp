// The property checks on algebras whose counts are known by hand.

#include <gtest/gtest.h>

#include <random>

#include "model/EQAlgebra.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

class EQAlgebraChecks : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override { Settings = SearchSettings{}; }
};

PropertyResult RunCheck(TEQAlgebra& a, int32_t (TEQAlgebra::*check)(int32_t&, int32_t&), int32_t* failures = nullptr) {
  int32_t passed = -1, total = -1;
  const int32_t f = (a.*check)(passed, total);
  if (failures != nullptr) *failures = f;
  return PropertyResult{passed, total};
}

void ExpectCounts(const PropertyResult& r, int32_t passed, int32_t total) {
  EXPECT_EQ(r.Passed, passed);
  EXPECT_EQ(r.Total, total);
}

TEST_F(EQAlgebraChecks, TotalsForFiveElements) {
  std::mt19937 rng(3);
  Settings.ElementCount = 5;
  Settings.MaximumEnabled = true;
  TEQAlgebra a = test_algebras::RandomStandard(5, rng);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckAssociativeInfimum).Total, 125);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckCommutativeInfimum).Total, 25);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckNeutralInfimum).Total, 10);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckIdempotentInfimum).Total, 5);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckAssociativeProduct).Total, 125);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckNeutralProduct).Total, 10);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckIsotoneProduct).Total, 125);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckReflexiveFEquality).Total, 5);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckCongruence).Total, 625);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckSubstitution).Total, 625);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckMonotoneImplication).Total, 125);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckBoundedness).Total, 25);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckGoodness).Total, 5);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckInvolutive).Total, 5);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckSemiseparated).Total, 5);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckSeparated).Total, 25);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckResiduated).Total, 125);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckCommutative).Total, 25);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckLinear).Total, 25);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckLattice).Total, 625);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckPrelinear).Total, 25);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckSupProductDistributivity).Total, 125);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckEqualityOverProdEquality).Total, 125);
  Settings.DeltaEnabled = true;
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckDeltaProperties).Total, 90);
  Settings.MaximumEnabled = false;
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckDeltaProperties).Total, 60);
}

TEST_F(EQAlgebraChecks, LookupIdentitiesMakeFourChecksFullForAnyContent) {
  std::mt19937 rng(8);
  for (int round = 0; round < 10; ++round) {
    Settings.ElementCount = 6;
    TEQAlgebra a = round % 2 == 0 ? test_algebras::RandomStandard(6, rng)
                                  : test_algebras::Odd(6, rng, test_algebras::FewExtraCharacters());
    ExpectCounts(RunCheck(a, &TEQAlgebra::CheckCommutativeInfimum), 36, 36);
    ExpectCounts(RunCheck(a, &TEQAlgebra::CheckNeutralInfimum), 12, 12);
    ExpectCounts(RunCheck(a, &TEQAlgebra::CheckNeutralProduct), 12, 12);
    ExpectCounts(RunCheck(a, &TEQAlgebra::CheckReflexiveFEquality), 6, 6);
  }
}

TEST_F(EQAlgebraChecks, ReturnValueAndSlotMatchTheCounts) {
  std::mt19937 rng(4);
  Settings.ElementCount = 5;
  TEQAlgebra a = test_algebras::RandomStandard(5, rng);
  int32_t failures = -1;
  const PropertyResult r = RunCheck(a, &TEQAlgebra::CheckSubstitution, &failures);
  EXPECT_LT(r.Passed, r.Total);
  EXPECT_EQ(failures, r.Total - r.Passed);
  EXPECT_EQ(a.PropertyResults[kSubstitutionSlot].Passed, r.Passed);
  EXPECT_EQ(a.PropertyResults[kSubstitutionSlot].Total, r.Total);
}

TEST_F(EQAlgebraChecks, TwoElementAlgebraWithZeroEquivalentToOneBeingZero) {
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  Settings.ColorfulnessFEq = 1;
  Settings.ColorfulnessProd = 1;
  TEQAlgebra a = test_algebras::TwoElements('0');
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckAssociativeInfimum), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckIdempotentInfimum), 2, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckAssociativeProduct), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckIsotoneProduct), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckCongruence), 16, 16);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSubstitution), 16, 16);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckMonotoneImplication), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckBoundedness), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckGoodness), 2, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckInvolutive), 2, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSemiseparated), 2, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSeparated), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckResiduated), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckCommutative), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckLinear), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckLattice), 16, 16);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckPrelinear), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSupProductDistributivity), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckEqualityOverProdEquality), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckDeltaProperties), 18, 18);
  int32_t missing = -1;
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckColourfulness, &missing), 1, 1);
  EXPECT_EQ(missing, 1);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckColourfulnessProduct, &missing), 0, 1);
  EXPECT_EQ(missing, 2);
}

TEST_F(EQAlgebraChecks, TwoElementAlgebraWithZeroEquivalentToOneBeingOne) {
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  TEQAlgebra a = test_algebras::TwoElements('1');
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckCongruence), 16, 16);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSubstitution), 16, 16);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckMonotoneImplication), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckBoundedness), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckCommutative), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckLinear), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckLattice), 16, 16);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckPrelinear), 4, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSupProductDistributivity), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckEqualityOverProdEquality), 8, 8);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckDeltaProperties), 18, 18);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckGoodness), 1, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckInvolutive), 1, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSemiseparated), 1, 2);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSeparated), 2, 4);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckResiduated), 7, 8);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckColourfulness).Passed, 1);
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckColourfulnessProduct).Passed, 0);
}

// The product a*a = a, a*b = 0, b*a = a, b*b = b on the chain 0 < a < b < 1
// is isotone in its left operand only; its transpose only in its right one.
TEST_F(EQAlgebraChecks, IsotoneProductVariesOnlyTheLeftOperand) {
  Settings.ElementCount = 4;
  TEQAlgebra left = test_algebras::GoedelChain(4);
  const auto set_product = [](TEQAlgebra& a, char x, char y, char v) {
    for (int k = 0; k < a.ProductGene.Count; ++k) {
      if (a.ProductGene.Entries[k].X == x && a.ProductGene.Entries[k].Y == y) a.ProductGene.Entries[k].Value = v;
    }
  };
  set_product(left, 'a', 'a', 'a');
  set_product(left, 'a', 'b', '0');
  set_product(left, 'b', 'a', 'a');
  set_product(left, 'b', 'b', 'b');
  ExpectCounts(RunCheck(left, &TEQAlgebra::CheckIsotoneProduct), 64, 64);
  TEQAlgebra right = test_algebras::GoedelChain(4);
  set_product(right, 'a', 'a', 'a');
  set_product(right, 'a', 'b', 'a');
  set_product(right, 'b', 'a', '0');
  set_product(right, 'b', 'b', 'b');
  int32_t failures = -1;
  ExpectCounts(RunCheck(right, &TEQAlgebra::CheckIsotoneProduct, &failures), 63, 64);  // only (x, y, z) = (a, a, b)
  EXPECT_EQ(failures, 1);
}

TEST_F(EQAlgebraChecks, ColourfulnessWithTargetZeroPassesMoreThanTotal) {
  Settings.ElementCount = 5;
  Settings.ColorfulnessFEq = 0;
  Settings.ColorfulnessProd = 0;
  TEQAlgebra a = test_algebras::GoedelChain(5);
  int32_t missing = -1;
  // x ~ y = min(x, y) on distinct pairs: 0, a, b, c attained, never 1.
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckColourfulness, &missing), 4, 0);
  EXPECT_EQ(missing, 1);
  ExpectCounts(a.PropertyResults[kColourfulnessSlot], 4, 0);
  // Inner products min(y, z), y = z included: a, b, c; never 0 or 1.
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckColourfulnessProduct, &missing), 3, 0);
  EXPECT_EQ(missing, 2);
  ExpectCounts(a.PropertyResults[kColourfulnessProductSlot], 3, 0);
}

TEST_F(EQAlgebraChecks, ColourfulnessTakesTheTargetsAsTotals) {
  Settings.ElementCount = 5;
  Settings.ColorfulnessFEq = 3;
  Settings.ColorfulnessProd = 7;
  TEQAlgebra a = test_algebras::LukasiewiczChain(5);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckColourfulness), 4, 3);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckColourfulnessProduct), 3, 7);  // 0, a, b
}

// With the element list 0 a a 1, the two a's are one character: their pair
// is not a pair of different elements, though it gives 1.
TEST_F(EQAlgebraChecks, ColourfulnessComparesCharactersNotPositions) {
  Settings.ElementCount = 4;
  TEQAlgebra a = test_algebras::StandardLayout(3);
  a.Size = 4;
  a.ElementList = {'0', 'a', 'a', '1'};
  a.FEqualityGene.Count = 3;
  a.FEqualityGene.Entries[0] = {'0', 'a', 'a'};
  a.FEqualityGene.Entries[1] = {'0', '1', '0'};
  a.FEqualityGene.Entries[2] = {'a', '1', 'a'};
  int32_t missing = -1;
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckColourfulness, &missing).Passed, 3);  // 0 and both a's
  EXPECT_EQ(missing, 1);
}

TEST_F(EQAlgebraChecks, ColourfulnessOfEveryValueOnDistinctPairs) {
  Settings.ElementCount = 3;
  TEQAlgebra a = test_algebras::StandardLayout(3);  // pairs (0,a) (0,1) (a,1)
  a.FEqualityGene.Entries[0].Value = '1';
  a.FEqualityGene.Entries[1].Value = '0';
  a.FEqualityGene.Entries[2].Value = 'a';
  EXPECT_EQ(RunCheck(a, &TEQAlgebra::CheckColourfulness).Passed, 3);
}

TEST_F(EQAlgebraChecks, EqualityOverProdEqualityHoldsOnTheDiagonal) {
  std::mt19937 rng(12);
  for (int n : {2, 4, 7}) {
    Settings.ElementCount = n;
    for (int round = 0; round < 5; ++round) {
      TEQAlgebra a = test_algebras::RandomStandard(n, rng);
      EXPECT_GE(RunCheck(a, &TEQAlgebra::CheckEqualityOverProdEquality).Passed, n * n);
    }
  }
}

TEST_F(EQAlgebraChecks, LatticeAndSupProductLeaveEverythingWithoutMaximum) {
  std::mt19937 rng(6);
  Settings.ElementCount = 5;
  TEQAlgebra a = test_algebras::RandomStandard(5, rng);
  a.PropertyResults[kLatticeSlot] = {11, 22};
  a.PropertyResults[kSupProductDistributivitySlot] = {33, 44};
  int32_t passed = 5, total = 6;
  EXPECT_EQ(a.CheckLattice(passed, total), 0);
  EXPECT_EQ(passed, 5);
  EXPECT_EQ(total, 6);
  EXPECT_EQ(a.CheckSupProductDistributivity(passed, total), 0);
  EXPECT_EQ(passed, 5);
  EXPECT_EQ(total, 6);
  ExpectCounts(a.PropertyResults[kLatticeSlot], 11, 22);
  ExpectCounts(a.PropertyResults[kSupProductDistributivitySlot], 33, 44);
}

TEST_F(EQAlgebraChecks, DeltaPropertiesWithoutDeltaPassesAllAndKeepsItsSlot) {
  std::mt19937 rng(2);
  Settings.ElementCount = 5;
  TEQAlgebra a = test_algebras::RandomStandard(5, rng);
  a.PropertyResults[kDeltaPropertiesSlot] = {1, 2};
  int32_t failures = -1;
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckDeltaProperties, &failures), 60, 60);
  EXPECT_EQ(failures, 0);
  Settings.MaximumEnabled = true;
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckDeltaProperties, &failures), 90, 90);
  EXPECT_EQ(failures, 0);
  ExpectCounts(a.PropertyResults[kDeltaPropertiesSlot], 1, 2);
  Settings.DeltaEnabled = true;
  const PropertyResult evaluated = RunCheck(a, &TEQAlgebra::CheckDeltaProperties, &failures);
  EXPECT_EQ(evaluated.Total, 90);
  EXPECT_LT(evaluated.Passed, 90);  // random deltas break some law
  ExpectCounts(a.PropertyResults[kDeltaPropertiesSlot], evaluated.Passed, 90);
}

// The Lukasiewicz chain with the Baaz delta (an MV-chain) has every law.
TEST_F(EQAlgebraChecks, LukasiewiczChainHasEveryProperty) {
  Settings.ElementCount = 6;
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  TEQAlgebra a = test_algebras::LukasiewiczChain(6);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckCongruence), 1296, 1296);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSubstitution), 1296, 1296);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckLattice), 1296, 1296);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckResiduated), 216, 216);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckInvolutive), 6, 6);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckGoodness), 6, 6);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSeparated), 36, 36);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckPrelinear), 36, 36);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckSupProductDistributivity), 216, 216);
  ExpectCounts(RunCheck(a, &TEQAlgebra::CheckDeltaProperties), 126, 126);
}

}  // namespace
