// The finder's class counts against published counts of non-isomorphic
// EQ-algebras, and the labelled count of each class against (n - 2)!.

#include <gtest/gtest.h>

#include "FinderTestHelpers.h"

using namespace finder_test;

namespace {

int64_t CountClasses(const SearchSettings& settings) {
  const Collected run = Collect(settings, FinderMode::Count);
  EXPECT_TRUE(run.summary.Complete);
  EXPECT_TRUE(run.classes.empty()) << "counting hands out no representatives";
  return run.summary.Classes;
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
