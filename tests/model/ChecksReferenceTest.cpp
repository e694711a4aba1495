// Every fast check against the plain reference of its law: out-values, return
// value and whether the slot is written, on random, near-EQ and odd algebras
// of several sizes, with delta and maximum in every combination.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "model/EQAlgebra.h"
#include "model/LookupTables.h"
#include "ReferenceLaws.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

constexpr PropertyResult kSentinel{-7, -9};

// Runs every check on the algebra and compares it with the reference.
// Returns how many checks found at least one failing case (for the callers'
// sanity check that the algebras exercise both outcomes).
template <class Ops>
int ExpectChecksMatchReference(TEQAlgebra& algebra, const Ops& ops, const std::string& what) {
  int failing_checks = 0;
  for (int slot = 0; slot < kPropertyCount; ++slot) {
    SCOPED_TRACE(what + " / " + std::string(kPropertyNames[slot]));
    const reference::Outcome expected = reference::Check(slot, algebra, ops, Settings);
    algebra.PropertyResults[slot] = kSentinel;
    int32_t passed = -3, total = -4;
    const int32_t failures = (algebra.*CheckOfSlot(slot))(passed, total);
    EXPECT_EQ(failures, expected.Failures);
    if (expected.WritesOut) {
      EXPECT_EQ(passed, expected.Passed);
      EXPECT_EQ(total, expected.Total);
    } else {
      EXPECT_EQ(passed, -3);
      EXPECT_EQ(total, -4);
    }
    const PropertyResult& stored = algebra.PropertyResults[slot];
    if (expected.WritesSlot) {
      EXPECT_EQ(stored.Passed, expected.Passed);
      EXPECT_EQ(stored.Total, expected.Total);
    } else {
      EXPECT_EQ(stored.Passed, kSentinel.Passed);
      EXPECT_EQ(stored.Total, kSentinel.Total);
    }
    if (expected.Failures > 0) ++failing_checks;
  }
  return failing_checks;
}

template <class Ops>
void ForEachMode(TEQAlgebra& algebra, std::mt19937& rng, const std::string& what) {
  for (int mode = 0; mode < 4; ++mode) {
    Settings.DeltaEnabled = (mode & 1) != 0;
    Settings.MaximumEnabled = (mode & 2) != 0;
    Settings.ColorfulnessFEq = test_algebras::Below(rng, algebra.Size + 2);
    Settings.ColorfulnessProd = test_algebras::Below(rng, algebra.Size + 2);
    const Ops ops(algebra);
    ExpectChecksMatchReference(algebra, ops, what + " mode " + std::to_string(mode));
  }
}

class ChecksReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override { Settings = SearchSettings{}; }
};

TEST_F(ChecksReferenceTest, RandomStandardAlgebrasOfEverySmallSize) {
  std::mt19937 rng(2024);
  for (int n : {2, 3, 5, 8, 12}) {
    Settings.ElementCount = n;
    for (int round = 0; round < (n <= 5 ? 12 : 4); ++round) {
      TEQAlgebra algebra = test_algebras::RandomStandard(n, rng);
      const std::string what = "random n=" + std::to_string(n) + " #" + std::to_string(round);
      if (n <= 5) {
        ForEachMode<reference::DirectLookups>(algebra, rng, what);
      } else {
        ForEachMode<reference::MemoLookups>(algebra, rng, what);
      }
    }
  }
}

TEST_F(ChecksReferenceTest, NearlyTrueEqAlgebrasWhereMostLawsHold) {
  std::mt19937 rng(99);
  for (int n : {3, 5, 8, 12}) {
    Settings.ElementCount = n;
    for (int round = 0; round < 6; ++round) {
      TEQAlgebra algebra =
          round % 2 == 0 ? test_algebras::GoedelChain(n) : test_algebras::LukasiewiczChain(n);
      test_algebras::Perturb(algebra, round / 2, rng);
      ForEachMode<reference::MemoLookups>(algebra, rng,
                                          "chain n=" + std::to_string(n) + " #" + std::to_string(round));
    }
  }
}

TEST_F(ChecksReferenceTest, LargestAlgebras) {
  std::mt19937 rng(28);
  Settings.ElementCount = 28;
  TEQAlgebra random = test_algebras::RandomStandard(28, rng);
  ForEachMode<reference::MemoLookups>(random, rng, "random n=28");
  TEQAlgebra chain = test_algebras::LukasiewiczChain(28);
  test_algebras::Perturb(chain, 5, rng);
  ForEachMode<reference::MemoLookups>(chain, rng, "chain n=28");
}

TEST_F(ChecksReferenceTest, OddContentWithFewCharacters) {
  std::mt19937 rng(5);
  for (int n : {2, 3, 5, 8}) {
    Settings.ElementCount = n;
    for (int round = 0; round < 8; ++round) {
      TEQAlgebra algebra = test_algebras::Odd(n, rng, test_algebras::FewExtraCharacters(), round % 2 == 0);
      ForEachMode<reference::DirectLookups>(algebra, rng, "odd n=" + std::to_string(n) + " #" + std::to_string(round));
    }
  }
}

// More than 32 characters in play: the four-variable laws take their plain path.
TEST_F(ChecksReferenceTest, OddContentWithManyCharacters) {
  std::mt19937 rng(17);
  for (int n : {5, 8, 12}) {
    Settings.ElementCount = n;
    for (int round = 0; round < 3; ++round) {
      TEQAlgebra algebra = test_algebras::Odd(n, rng, test_algebras::ManyExtraCharacters(), true);
      LookupTables tables;
      tables.Build(algebra);
      ASSERT_GT(tables.Count(), 32);
      ForEachMode<reference::MemoLookups>(algebra, rng, "many n=" + std::to_string(n) + " #" + std::to_string(round));
    }
  }
}

// The comparisons above only mean something if the algebras make laws both
// hold and fail: a near-EQ chain passes most checks, a random table fails most.
TEST_F(ChecksReferenceTest, TestAlgebrasExerciseBothOutcomes) {
  std::mt19937 rng(1);
  Settings.ElementCount = 5;
  Settings.DeltaEnabled = true;
  Settings.MaximumEnabled = true;
  TEQAlgebra chain = test_algebras::GoedelChain(5);
  EXPECT_EQ(ExpectChecksMatchReference(chain, reference::DirectLookups(chain), "Goedel 5"), 3);  // both colourfulness counts, Involutive
  TEQAlgebra random = test_algebras::RandomStandard(5, rng);
  EXPECT_GE(ExpectChecksMatchReference(random, reference::DirectLookups(random), "random 5"), 15);
}

}  // namespace
