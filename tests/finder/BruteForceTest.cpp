// The finder against a brute-force enumeration of the representation: every
// cell that the lookups leave free takes every element as value, and the
// model's own fitness picks the winners. The enumeration is staged to stay
// small (infimum tables whose four infimum laws hold, then products whose
// product laws hold, then equalities whose twelve axioms hold, then delta),
// each stage filtering only by laws that every winner satisfies, so it loses
// no winner. The finder's classes, expanded by every permutation of the
// inner elements, must give exactly the same set of labelled winners.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "FinderTestHelpers.h"

using namespace finder_test;

namespace {

// The cells of one gene that the lookups do not fix.
struct FreeCell {
  PairGene* gene;
  int entry;
};

// All values of the free cells, odometer style; visit returns nothing.
template <class Visit>
void Enumerate(TEQAlgebra& a, std::vector<char*> cells, const Visit& visit) {
  const int n = a.Size;
  std::vector<int> digit(cells.size(), 0);
  for (char* c : cells) *c = a.ElementList[0];
  for (;;) {
    visit();
    size_t k = 0;
    for (; k < cells.size(); ++k) {
      if (++digit[k] < n) {
        *cells[k] = a.ElementList[digit[k]];
        break;
      }
      digit[k] = 0;
      *cells[k] = a.ElementList[0];
    }
    if (k == cells.size()) return;
  }
}

bool Holds(TEQAlgebra& a, PropertyCheck check) {
  int32_t passed = 0, total = 0;
  (a.*check)(passed, total);
  return passed == total;
}

std::set<std::string> BruteForceWinners(const SearchSettings& settings) {
  const ScopedSettings scoped(settings);
  const int n = settings.ElementCount;
  TEQAlgebra a = StandardLayout(n);
  std::vector<char*> infimum, product, equality, delta;
  int k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j, ++k) {
      if (j != n - 1) infimum.push_back(&a.InfimumGene.Entries[k].Value);
      equality.push_back(&a.FEqualityGene.Entries[k].Value);
    }
  }
  for (int i = 1; i < n - 1; ++i) {
    for (int j = 1; j < n - 1; ++j) product.push_back(&a.ProductGene.Entries[i * n + j].Value);
  }
  if (settings.DeltaEnabled) {
    for (int i = 1; i < n - 1; ++i) delta.push_back(&a.DeltaGene.Entries[i].Value);
  }
  SearchSettings axioms_only = settings;
  axioms_only.OptionalWeight = 0;
  axioms_only.DeltaEnabled = axioms_only.MaximumEnabled = false;

  std::set<std::string> winners;
  Enumerate(a, infimum, [&]() {
    if (!Holds(a, &TEQAlgebra::CheckAssociativeInfimum) || !Holds(a, &TEQAlgebra::CheckCommutativeInfimum) ||
        !Holds(a, &TEQAlgebra::CheckIdempotentInfimum) || !Holds(a, &TEQAlgebra::CheckNeutralInfimum)) {
      return;
    }
    Enumerate(a, product, [&]() {
      if (!Holds(a, &TEQAlgebra::CheckAssociativeProduct) || !Holds(a, &TEQAlgebra::CheckIsotoneProduct)) return;
      Enumerate(a, equality, [&]() {
        {
          const ScopedSettings axioms(axioms_only);
          if (a.ComputeFitness() != 1.0) return;
        }
        Enumerate(a, delta, [&]() {
          TEQAlgebra candidate = a;
          if (candidate.Evaluate() == 1.0) winners.insert(candidate.BuildCanonicalText());
        });
      });
    });
  });
  return winners;
}

// Every labelled winner of every class; checks along the way that each class
// has exactly its stated number of labelled forms, that the representative
// is a winner, and that no two classes share a labelled form.
std::set<std::string> ExpandClasses(const SearchSettings& settings, const Collected& run) {
  const ScopedSettings scoped(settings);
  const int n = settings.ElementCount;
  std::set<std::string> all;
  std::vector<int> inner(n - 2);
  std::iota(inner.begin(), inner.end(), 1);
  for (const FoundClass& c : run.classes) {
    TEQAlgebra copy = *c.Algebra;
    EXPECT_EQ(copy.Evaluate(), 1.0) << c.Algebra->CanonicalText;
    std::set<std::string> orbit;
    std::vector<int> perm = inner;
    do {
      std::vector<int> image(n);
      image[0] = 0;
      image[n - 1] = n - 1;
      for (int i = 0; i < n - 2; ++i) image[i + 1] = perm[i];
      orbit.insert(Relabelled(*c.Algebra, image).BuildCanonicalText());
    } while (std::next_permutation(perm.begin(), perm.end()));
    EXPECT_EQ(static_cast<uint64_t>(orbit.size()), static_cast<uint64_t>(c.Labelled)) << "class " << c.Index;
    EXPECT_EQ(static_cast<uint64_t>(c.Labelled * c.Class.Automorphisms), static_cast<uint64_t>(InnerPermutationsOf(n)));
    for (const std::string& text : orbit) EXPECT_TRUE(all.insert(text).second) << "two classes share " << text;
  }
  return all;
}

void ExpectSameWinners(const SearchSettings& settings) {
  const Collected run = Collect(settings);
  ASSERT_TRUE(run.summary.Complete);
  const std::set<std::string> brute = BruteForceWinners(settings);
  EXPECT_FALSE(brute.empty()) << "choose settings that some algebra meets";
  const std::set<std::string> found = ExpandClasses(settings, run);
  EXPECT_EQ(found.size(), brute.size());
  EXPECT_TRUE(found == brute) << "the labelled winners differ";
  EXPECT_EQ(static_cast<uint64_t>(run.summary.Labelled), static_cast<uint64_t>(brute.size()));
}

}  // namespace

TEST(ExactFinderBruteForce, ThreeElementsDefaultsGiveThirteenLabelledWinners) {
  const SearchSettings s = SettingsOf(3);
  EXPECT_EQ(BruteForceWinners(s).size(), 13u);
  ExpectSameWinners(s);
}

TEST(ExactFinderBruteForce, ThreeElementsUnderEverySettingKind) {
  SearchSettings s = SettingsOf(3);
  s.OptionalWeight = 0;
  s.DeltaEnabled = true;
  s.UpdateGeneCount();
  ExpectSameWinners(s);  // only the axioms count: every delta table is a winner
  s = SettingsOf(3);
  s.WantInvolutive = s.WantSeparated = true;
  ExpectSameWinners(s);
}

TEST(ExactFinderBruteForce, FourElementsDefaults) { ExpectSameWinners(SettingsOf(4)); }

TEST(ExactFinderBruteForce, FourElementsWithAForbiddenProperty) {
  SearchSettings s = SettingsOf(4);
  s.WantNonCommutative = true;
  ExpectSameWinners(s);
  s = SettingsOf(4);
  s.WantNonGoodness = true;
  s.WantSemiSeparated = true;
  ExpectSameWinners(s);
}

TEST(ExactFinderBruteForce, FourElementsWithDelta) {
  SearchSettings s = SettingsOf(4);
  s.DeltaEnabled = true;
  s.UpdateGeneCount();
  ExpectSameWinners(s);
}

TEST(ExactFinderBruteForce, FourElementsWithMaximumAndItsProperties) {
  SearchSettings s = SettingsOf(4);
  s.MaximumEnabled = true;
  s.WantPrelinear = s.WantSupProdDistributivity = true;
  s.UpdateGeneCount();
  ExpectSameWinners(s);
  s.WantPrelinear = s.WantSupProdDistributivity = false;
  s.DeltaEnabled = true;  // the delta laws of the maximum join in
  s.UpdateGeneCount();
  ExpectSameWinners(s);
}

TEST(ExactFinderBruteForce, FourElementsWithColourfulnessTargets) {
  SearchSettings s = SettingsOf(4);
  s.ColorfulnessFEq = 3;
  s.ColorfulnessProd = 2;
  ExpectSameWinners(s);
  s.ColorfulnessFEq = 5;  // above n: nothing can reach it
  const Collected run = Collect(s);
  EXPECT_TRUE(run.summary.Complete);
  EXPECT_EQ(run.summary.Classes, 0);
}

TEST(ExactFinderBruteForce, FourElementsWithRequiredProperties) {
  SearchSettings s = SettingsOf(4);
  s.WantResiduated = s.WantCommutative = true;
  s.WantEqualityOverEqProd = true;
  ExpectSameWinners(s);
  s = SettingsOf(4);
  s.WantGoodness = s.WantInvolutive = s.WantResiduated = true;
  ExpectSameWinners(s);
}
