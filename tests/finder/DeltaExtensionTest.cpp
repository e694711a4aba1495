// The finder's delta against an independent count: every winner with delta
// is a winner without delta (the same tables) plus a delta map, so the
// labelled winners with delta are, summed over the classes found without
// delta, the delta maps that make the class's representative a winner times
// the class's labelled count (isomorphic algebras admit equally many maps).
// The maps are all n^(n-2) of them, judged by the model's fitness alone, so
// the finder's pruning of delta cells is checked against no pruning at all.

#include <gtest/gtest.h>

#include <vector>

#include "FinderTestHelpers.h"

using namespace finder_test;

namespace {

BigCount LabelledByExtendingWithDelta(const SearchSettings& with_delta) {
  SearchSettings without = with_delta;
  without.DeltaEnabled = false;
  without.UpdateGeneCount();
  const Collected base = Collect(without);
  EXPECT_TRUE(base.summary.Complete);

  const ScopedSettings scoped(with_delta);
  const int n = with_delta.ElementCount;
  BigCount labelled = 0;
  for (const FoundClass& found : base.classes) {
    TEQAlgebra a = *found.Algebra;
    a.DeltaGene.Count = n;
    std::vector<int> digit(n, 0);
    digit[n - 1] = n - 1;
    for (;;) {
      for (int x = 0; x < n; ++x) a.DeltaGene.Entries[x] = {a.ElementList[x], a.ElementList[digit[x]]};
      a.PropertyResults = {};
      if (a.Evaluate() == 1.0) labelled += found.Labelled;
      int k = 1;
      for (; k < n - 1; ++k) {
        if (++digit[k] < n) break;
        digit[k] = 0;
      }
      if (k == n - 1) break;
    }
  }
  return labelled;
}

TEST(ExactFinderDelta, LabelledWinnersEqualTheDeltaMapsOfTheWinnersWithoutDelta) {
  struct Case {
    const char* name;
    SearchSettings settings;
  };
  std::vector<Case> cases;
  {
    SearchSettings s = GoodResiduated(6);
    s.DeltaEnabled = true;
    cases.push_back({"6 elements, Goodness + Residuated", s});
    s.MaximumEnabled = s.WantEqualityOverEqProd = true;
    cases.push_back({"6 elements, Max, Goodness + Residuated + Equality over EqProd", s});
  }
  {
    SearchSettings s = SettingsOf(5);
    s.DeltaEnabled = s.MaximumEnabled = true;
    s.WantResiduated = s.WantCommutative = true;
    cases.push_back({"5 elements, Max, Residuated + Commutative", s});
  }
  for (Case& c : cases) {
    c.settings.UpdateGeneCount();
    const Collected run = Collect(c.settings, FinderMode::Count);
    ASSERT_TRUE(run.summary.Complete) << c.name;
    const BigCount expected = LabelledByExtendingWithDelta(c.settings);
    EXPECT_GT(static_cast<uint64_t>(expected), 0u) << c.name << ": choose settings some algebra meets";
    EXPECT_EQ(static_cast<uint64_t>(run.summary.Labelled), static_cast<uint64_t>(expected)) << c.name;
  }
}

}  // namespace
