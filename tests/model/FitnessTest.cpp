// The fitness product, Evaluate, UpdateFitness and the ranking comparison.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/EQAlgebra.h"
#include "model/MessagePump.h"
#include "ReferenceLaws.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

class EQAlgebraFitness : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override {
    Settings = SearchSettings{};
    SetMessagePump(nullptr);
  }
};

// The product of the twelve axiom shares as the slots hold them, in order.
double AxiomProduct(const TEQAlgebra& a) {
  double f = 1.0;
  for (int slot : {kAssociativeInfimumSlot, kCommutativeInfimumSlot, kNeutralInfimumSlot, kIdempotentInfimumSlot,
                   kIsotoneProductSlot, kAssociativeProductSlot, kNeutralProductSlot, kReflexiveFEqualitySlot,
                   kSubstitutionSlot, kCongruenceSlot, kMonotoneImplicationSlot, kBoundednessSlot}) {
    const double share =
        static_cast<double>(a.PropertyResults[slot].Passed) / static_cast<double>(a.PropertyResults[slot].Total);
    f = f * share;
  }
  return f;
}

void RequireEverything() {
  Settings.WantGoodness = Settings.WantInvolutive = Settings.WantSemiSeparated = true;
  Settings.WantSeparated = Settings.WantResiduated = Settings.WantCommutative = true;
  Settings.WantLinear = Settings.WantLattice = Settings.WantPrelinear = true;
  Settings.WantSupProdDistributivity = Settings.WantEqualityOverEqProd = true;
}

TEST_F(EQAlgebraFitness, WeightZeroLeavesOnlyTheAxiomShares) {
  std::mt19937 rng(10);
  Settings.ElementCount = 5;
  Settings.OptionalWeight = 0.0;
  Settings.DeltaEnabled = Settings.MaximumEnabled = true;
  RequireEverything();
  Settings.WantNonCommutative = true;
  Settings.ColorfulnessFEq = 9;
  Settings.ColorfulnessProd = 9;
  for (int round = 0; round < 5; ++round) {
    TEQAlgebra a = test_algebras::RandomStandard(5, rng);
    const double f = a.ComputeFitness();
    EXPECT_EQ(f, AxiomProduct(a));
    EXPECT_EQ(a.Fitness, f);
    EXPECT_GT(f, 0.0);
    EXPECT_LT(f, 1.0);
  }
  TEQAlgebra chain = test_algebras::GoedelChain(5);
  EXPECT_EQ(chain.ComputeFitness(), 1.0);
}

TEST_F(EQAlgebraFitness, WeightOneMakesAForbiddenFullPropertyFatal) {
  Settings.ElementCount = 5;
  Settings.OptionalWeight = 1.0;
  TEQAlgebra a = test_algebras::GoedelChain(5);
  Settings.WantNonLinear = true;
  EXPECT_EQ(a.ComputeFitness(), 0.0);
  Settings.WantNonLinear = false;
  Settings.WantInvolutive = true;  // Goedel: (x ~ 0) ~ 0 = x only for 0 and 1
  int32_t passed = 0, total = 0;
  a.CheckInvolutive(passed, total);
  ASSERT_EQ(total, 5);
  EXPECT_EQ(passed, 2);
  EXPECT_EQ(a.ComputeFitness(), 2.0 / 5.0);
}

TEST_F(EQAlgebraFitness, DefaultWeightFactors) {
  // Ten elements, Goodness on 6 of 10: x ~ 1 broken for four inner elements.
  Settings.ElementCount = 10;
  TEQAlgebra a = test_algebras::GoedelChain(10);
  int broken = 0;
  for (int k = 0; k < a.FEqualityGene.Count && broken < 4; ++k) {
    PairEntry& e = a.FEqualityGene.Entries[k];
    if (e.Y == '1' && e.X != '0') {
      e.Value = '0';
      ++broken;
    }
  }
  const double unrequired = a.ComputeFitness();
  ASSERT_LT(unrequired, 1.0);
  Settings.WantGoodness = true;
  const double required = a.ComputeFitness();
  EXPECT_EQ(a.PropertyResults[kGoodnessSlot].Passed, 6);
  EXPECT_EQ(a.PropertyResults[kGoodnessSlot].Total, 10);
  EXPECT_EQ(required, unrequired * (0.9 + 0.1 * 0.6));
  EXPECT_DOUBLE_EQ(required / unrequired, 0.96);

  // Forbidden and holding everywhere: 0.9; forbidden and failing anywhere: exactly 1.
  Settings = SearchSettings{};
  Settings.ElementCount = 5;
  TEQAlgebra chain = test_algebras::GoedelChain(5);
  Settings.WantNonCommutative = true;
  EXPECT_EQ(chain.ComputeFitness(), 0.9);
  Settings.WantNonCommutative = false;
  Settings.WantNonLinear = true;
  chain.InfimumGene.Entries[4].Value = '0';  // the pair (a, b): a ^ b = 0, so a and b are incomparable
  const double once = chain.ComputeFitness();
  Settings.WantNonLinear = false;
  EXPECT_EQ(chain.PropertyResults[kLinearSlot].Passed, 23);
  EXPECT_EQ(once, chain.ComputeFitness());
}

TEST_F(EQAlgebraFitness, ColourfulnessFactorIsCappedAtOne) {
  Settings.ElementCount = 3;
  TEQAlgebra chain = test_algebras::GoedelChain(3);  // x ~ y on distinct pairs: 0 and a
  Settings.ColorfulnessFEq = 3;
  EXPECT_DOUBLE_EQ(chain.ComputeFitness(), 1.0 - 0.1 / 3.0);
  EXPECT_EQ(chain.Fitness, 0.9 + 0.1 * (2.0 / 3.0));
  Settings.ColorfulnessFEq = 2;
  EXPECT_EQ(chain.ComputeFitness(), 1.0);
  Settings.ColorfulnessFEq = 1;
  EXPECT_EQ(chain.ComputeFitness(), 1.0);
  Settings.ColorfulnessFEq = 4;  // more than the algebra has: never met
  EXPECT_LT(chain.ComputeFitness(), 1.0);
  Settings.ColorfulnessFEq = 0;
  Settings.ColorfulnessProd = 2;  // only a * a = a among the inner products
  EXPECT_EQ(chain.ComputeFitness(), 0.9 + 0.1 * 0.5);
}

TEST_F(EQAlgebraFitness, TwoElementAlgebras) {
  for (double w : {0.1, 0.37, 1.0}) {
    SCOPED_TRACE(w);
    Settings = SearchSettings{};
    Settings.OptionalWeight = w;
    Settings.DeltaEnabled = Settings.MaximumEnabled = true;
    Settings.ColorfulnessFEq = 1;
    RequireEverything();
    TEQAlgebra exact = test_algebras::TwoElements('0');
    EXPECT_EQ(exact.Evaluate(), 1.0);
    Settings.WantNonCommutative = true;  // forbid wins over require
    EXPECT_EQ(exact.Evaluate(), 1.0 - w);

    Settings = SearchSettings{};
    Settings.OptionalWeight = w;
    TEQAlgebra loose = test_algebras::TwoElements('1');
    EXPECT_EQ(loose.Evaluate(), 1.0);
    Settings.WantGoodness = true;
    EXPECT_DOUBLE_EQ(loose.Evaluate(), 1.0 - w / 2.0);
    Settings.WantGoodness = false;
    Settings.WantResiduated = true;
    EXPECT_DOUBLE_EQ(loose.Evaluate(), 1.0 - w / 8.0);
    Settings.WantResiduated = false;
    Settings.WantNonCommutative = true;
    EXPECT_DOUBLE_EQ(loose.Evaluate(), 1.0 - w);
  }
}

TEST_F(EQAlgebraFitness, FullFactorIsExactlyOneForEveryWindowWeight) {
  Settings.ElementCount = 6;
  TEQAlgebra chain = test_algebras::LukasiewiczChain(6);
  Settings.DeltaEnabled = Settings.MaximumEnabled = true;
  RequireEverything();
  for (int percent = 0; percent <= 100; ++percent) {
    Settings.OptionalWeight = PercentToFraction(percent);
    ASSERT_EQ(chain.Evaluate(), 1.0) << percent;
  }
}

// The fitness must be the product formed factor by factor in the fixed order.
TEST_F(EQAlgebraFitness, EqualsTheReferenceProductBitForBit) {
  std::mt19937 rng(77);
  int differing_from_axioms = 0;
  for (int round = 0; round < 40; ++round) {
    const int n = 2 + test_algebras::Below(rng, 9);
    Settings = SearchSettings{};
    Settings.ElementCount = n;
    Settings.OptionalWeight = PercentToFraction(test_algebras::Below(rng, 101));
    Settings.DeltaEnabled = test_algebras::Below(rng, 2) == 0;
    Settings.MaximumEnabled = test_algebras::Below(rng, 2) == 0;
    Settings.ColorfulnessFEq = test_algebras::Below(rng, n + 2) - 1;
    Settings.ColorfulnessProd = test_algebras::Below(rng, n + 2) - 1;
    for (bool* flag : {&Settings.WantGoodness, &Settings.WantNonGoodness, &Settings.WantInvolutive,
                       &Settings.WantNonInvolutive, &Settings.WantSemiSeparated, &Settings.WantNonSemiSeparated,
                       &Settings.WantSeparated, &Settings.WantNonSeparated, &Settings.WantResiduated,
                       &Settings.WantNonResiduated, &Settings.WantCommutative, &Settings.WantNonCommutative,
                       &Settings.WantLinear, &Settings.WantNonLinear, &Settings.WantLattice, &Settings.WantNonLattice,
                       &Settings.WantPrelinear, &Settings.WantNonPrelinear, &Settings.WantSupProdDistributivity,
                       &Settings.WantEqualityOverEqProd}) {
      *flag = test_algebras::Below(rng, 3) == 0;
    }
    TEQAlgebra a = round % 3 == 0 ? test_algebras::RandomStandard(n, rng)
                                  : (round % 3 == 1 ? test_algebras::GoedelChain(n) : test_algebras::LukasiewiczChain(n));
    if (round % 3 != 0) test_algebras::Perturb(a, test_algebras::Below(rng, 3), rng);
    const double fast = a.ComputeFitness();
    const double slow = reference::Fitness(a, reference::MemoLookups(a), Settings);
    EXPECT_EQ(fast, slow) << "round " << round;
    if (fast != AxiomProduct(a)) ++differing_from_axioms;
    EXPECT_GE(fast, 0.0);
    EXPECT_LE(fast, 1.0);
  }
  EXPECT_GT(differing_from_axioms, 10);  // the optional factors did take part
}

TEST_F(EQAlgebraFitness, RequestsNeedingTheMaximumAreIgnoredWithoutIt) {
  std::mt19937 rng(31);
  Settings.ElementCount = 5;
  TEQAlgebra a = test_algebras::RandomStandard(5, rng);
  const double plain = a.ComputeFitness();
  Settings.WantLattice = Settings.WantPrelinear = Settings.WantSupProdDistributivity = true;
  a.PropertyResults[kLatticeSlot] = {1, 2};
  a.PropertyResults[kPrelinearSlot] = {3, 4};
  EXPECT_EQ(a.ComputeFitness(), plain);
  EXPECT_EQ(a.PropertyResults[kLatticeSlot].Total, 2);
  EXPECT_EQ(a.PropertyResults[kPrelinearSlot].Total, 4);
}

TEST_F(EQAlgebraFitness, DeltaAlwaysScoredWhileInPlay) {
  std::mt19937 rng(32);
  Settings.ElementCount = 5;
  TEQAlgebra a = test_algebras::GoedelChain(5);
  a.DeltaGene.Entries[2].Value = 'c';  // d(b) = c > b breaks d(x) <= x and more
  const double without = a.ComputeFitness();
  EXPECT_EQ(without, 1.0);
  Settings.DeltaEnabled = true;
  const double with = a.ComputeFitness();
  const PropertyResult& delta = a.PropertyResults[kDeltaPropertiesSlot];
  EXPECT_EQ(delta.Total, 60);
  EXPECT_LT(delta.Passed, 60);
  EXPECT_EQ(with, 0.9 + 0.1 * (static_cast<double>(delta.Passed) / 60.0));
}

TEST_F(EQAlgebraFitness, EvaluateRecomputesTheMaximumFirst) {
  std::mt19937 rng(40);
  Settings.ElementCount = 6;
  Settings.MaximumEnabled = true;
  Settings.WantLattice = Settings.WantSupProdDistributivity = true;
  TEQAlgebra a = test_algebras::RandomStandard(6, rng);  // maximum values random, not joins
  TEQAlgebra expected = a;
  expected.RecomputeMaximum();
  const double reference_fitness = reference::Fitness(expected, reference::MemoLookups(expected), Settings);

  TEQAlgebra untouched = a;
  untouched.ComputeFitness();  // ComputeFitness alone keeps the values
  int stale = 0;
  for (int k = 0; k < a.MaximumGene.Count; ++k) {
    stale += untouched.MaximumGene.Entries[k].Value != expected.MaximumGene.Entries[k].Value ? 1 : 0;
  }
  ASSERT_GT(stale, 0);

  EXPECT_EQ(a.Evaluate(), reference_fitness);
  for (int k = 0; k < a.MaximumGene.Count; ++k) {
    const PairEntry& e = a.MaximumGene.Entries[k];
    EXPECT_EQ(e.Value, a.Join(a.Size, e.X, e.Y));
  }

  Settings.MaximumEnabled = false;
  TEQAlgebra off = test_algebras::RandomStandard(6, rng);
  const TEQAlgebra before = off;
  off.Evaluate();
  for (int k = 0; k < off.MaximumGene.Count; ++k) EXPECT_EQ(off.MaximumGene.Entries[k].Value, before.MaximumGene.Entries[k].Value);
}

TEST_F(EQAlgebraFitness, UpdateFitnessRefreshesTheCanonicalTextOnlyWhenAsked) {
  std::mt19937 rng(41);
  Settings.ElementCount = 4;
  TEQAlgebra a = test_algebras::RandomStandard(4, rng);
  a.CanonicalText = "old";
  Settings.RemoveEqualMembers = false;
  a.UpdateFitness();
  EXPECT_EQ(a.CanonicalText, "old");
  EXPECT_EQ(a.Fitness, reference::Fitness(a, reference::DirectLookups(a), Settings));

  Settings.RemoveEqualMembers = true;
  a.UpdateFitness();
  TEQAlgebra copy = a;
  EXPECT_NE(a.CanonicalText, "old");
  EXPECT_EQ(a.CanonicalText, copy.BuildCanonicalText());
}

int pump_calls = 0;
void CountPump() { ++pump_calls; }

TEST_F(EQAlgebraFitness, CompareFitnessSignsAndOnePumpPerComparison) {
  Settings.ElementCount = 2;
  TEQAlgebra low, high, same;
  low.Fitness = 0.25;
  high.Fitness = 0.75;
  same.Fitness = 0.25;
  pump_calls = 0;
  SetMessagePump(&CountPump);
  EXPECT_EQ(CompareFitness(low, high), 1);
  EXPECT_EQ(CompareFitness(high, low), -1);
  EXPECT_EQ(CompareFitness(low, same), 0);
  EXPECT_EQ(pump_calls, 3);
}

}  // namespace
