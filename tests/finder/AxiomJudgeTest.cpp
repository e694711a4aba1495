// The finder's own judgement of the twelve axioms against the model's: on
// every class of 4 elements and on each of them with one product or equality
// cell changed (most such tables break some law, some none), the judge says
// "hold" exactly when every axiom share of the model's evaluation is 1.

#include <gtest/gtest.h>

#include <vector>

#include "FinderTestHelpers.h"
#include "finder/AxiomJudge.h"

using namespace finder_test;

namespace {

struct IndexTables {
  FiniteLattice lattice;
  std::vector<uint8_t> prod, eq;
};

IndexTables TablesOf(const TEQAlgebra& a) {
  const int n = a.Size;
  const auto index = [&](char c) {
    for (int i = 0; i < n; ++i) {
      if (a.ElementList[i] == c) return static_cast<uint8_t>(i);
    }
    return static_cast<uint8_t>(0);
  };
  IndexTables t;
  t.lattice.n = n;
  t.lattice.leq.assign(n * n, 0);
  t.lattice.meet.assign(n * n, 0);
  t.prod.assign(n * n, 0);
  t.eq.assign(n * n, 0);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      const char cx = a.ElementList[x], cy = a.ElementList[y];
      t.lattice.meet[x * n + y] = index(a.Infimum(cx, cy));
      t.lattice.leq[x * n + y] = a.Infimum(cx, cy) == cx ? 1 : 0;
      t.prod[x * n + y] = index(a.Product(cx, cy));
      t.eq[x * n + y] = index(a.Equality(cx, cy));
    }
  }
  return t;
}

bool ModelSaysAxiomsHold(TEQAlgebra a) {
  a.PropertyResults = {};
  a.Evaluate();
  for (int slot = 0; slot <= kBoundednessSlot; ++slot) {
    if (a.PropertyResults[slot].Passed != a.PropertyResults[slot].Total) return false;
  }
  return true;
}

TEST(AxiomJudge, AgreesWithTheModelOnWinnersAndTheirOneCellNeighbours) {
  const SearchSettings s = SettingsOf(4);
  const Collected run = Collect(s);
  ASSERT_EQ(run.classes.size(), 265u);
  const ScopedSettings scoped(s);
  int holding = 0, failing = 0;
  for (const FoundClass& found : run.classes) {
    const TEQAlgebra& winner = *found.Algebra;
    const IndexTables own = TablesOf(winner);
    ASSERT_TRUE(TwelveAxiomsHold(own.lattice, own.prod.data(), own.eq.data()));
    // Every value in every product and equality cell of the genes.
    for (int which = 0; which < 2; ++which) {
      TEQAlgebra changed = winner;
      PairGene& gene = which == 0 ? changed.ProductGene : changed.FEqualityGene;
      for (int k = 0; k < gene.Count; ++k) {
        const char original = gene.Entries[k].Value;
        for (int v = 0; v < 4; ++v) {
          gene.Entries[k].Value = changed.ElementList[v];
          const IndexTables t = TablesOf(changed);
          const bool judged = TwelveAxiomsHold(t.lattice, t.prod.data(), t.eq.data());
          const bool model = ModelSaysAxiomsHold(changed);
          ASSERT_EQ(judged, model) << changed.BuildCanonicalText();
          (model ? holding : failing)++;
        }
        gene.Entries[k].Value = original;
      }
    }
  }
  EXPECT_GT(holding, 1000);
  EXPECT_GT(failing, 1000);
}

TEST(AxiomJudge, OnlyAxiomsCountWithoutOptionalDemandsOrWithoutTheirWeight) {
  const struct {
    const char* name;
    void (*change)(SearchSettings&);
    bool only_axioms;
  } cases[] = {
      {"defaults", [](SearchSettings&) {}, true},
      {"Max alone", [](SearchSettings& s) { s.MaximumEnabled = true; }, true},
      {"Non-Commutative", [](SearchSettings& s) { s.WantNonCommutative = true; }, false},
      {"Non-Commutative at weight 0", [](SearchSettings& s) { s.WantNonCommutative = true; s.OptionalWeight = 0; }, true},
      {"colourfulness of *", [](SearchSettings& s) { s.ColorfulnessProd = 3; }, false},
      {"Delta", [](SearchSettings& s) { s.DeltaEnabled = true; }, false},
      {"Max with Prelinear", [](SearchSettings& s) { s.MaximumEnabled = s.WantPrelinear = true; }, false},
      {"Prelinear without Max", [](SearchSettings& s) { s.WantPrelinear = true; }, true},
  };
  for (const auto& c : cases) {
    SearchSettings s = SettingsOf(5);
    c.change(s);
    s.UpdateGeneCount();
    EXPECT_EQ(OnlyAxiomsCount(s), c.only_axioms) << c.name;
  }
}

}  // namespace
