// The finder's class counts against published counts of non-isomorphic
// EQ-algebras, and the labelled count of each class against (n - 2)!.

#include <gtest/gtest.h>

#include "FinderTestHelpers.h"

using namespace finder_test;

namespace {

// Counts the classes, and lists them too: every representative handed out
// must be a winner by the model's own fitness, and the list as long as the count.
int64_t CountClasses(const SearchSettings& settings) {
  const Collected counted = Collect(settings, FinderMode::Count);
  EXPECT_TRUE(counted.summary.Complete);
  EXPECT_TRUE(counted.classes.empty()) << "counting hands out no representatives";
  const Collected listed = Collect(settings);
  EXPECT_EQ(static_cast<int64_t>(listed.classes.size()), counted.summary.Classes);
  EXPECT_EQ(static_cast<uint64_t>(listed.summary.Labelled), static_cast<uint64_t>(counted.summary.Labelled));
  const ScopedSettings scoped(settings);
  for (const FoundClass& c : listed.classes) {
    TEQAlgebra copy = *c.Algebra;
    EXPECT_EQ(copy.Evaluate(), 1.0) << c.Algebra->CanonicalText;
    EXPECT_EQ(c.Algebra->Fitness, 1.0);
  }
  return counted.summary.Classes;
}

}  // namespace

TEST(ExactFinderCounts, TwelveAxiomsMatchPublishedCounts) {
  const int64_t expected[] = {2, 13, 265, 12959};
  for (int n = 2; n <= 5; ++n) EXPECT_EQ(CountClasses(SettingsOf(n)), expected[n - 2]) << "n = " << n;
}

TEST(ExactFinderCounts, GoodResiduatedMatchPublishedCounts) {
  const int64_t expected[] = {1, 2, 7, 29, 202};
  for (int n = 2; n <= 6; ++n) EXPECT_EQ(CountClasses(GoodResiduated(n)), expected[n - 2]) << "n = " << n;
}

TEST(ExactFinderCounts, LinearInvolutiveGoodResiduatedMatchPublishedCounts) {
  const int64_t expected[] = {2, 3, 7, 12};
  for (int n = 4; n <= 7; ++n) {
    EXPECT_EQ(CountClasses(LinearInvolutiveGoodResiduated(n)), expected[n - 4]) << "n = " << n;
  }
}
