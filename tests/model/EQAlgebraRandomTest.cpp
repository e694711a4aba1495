// Random construction: the value rules, the exact order and number of draws,
// and what BuildRandom fixes for every combination of delta and maximum.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/EQAlgebra.h"
#include "model/Random.h"
#include "model/Settings.h"
#include "model/ValueRules.h"

namespace {

class EQAlgebraRandomTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override { Settings = SearchSettings{}; }
};

// An independent replica of the generator: s := s * 134775813 + 1, Random(k)
// the high 32 bits of s * k.
struct ReferenceGenerator {
  uint32_t s;
  uint32_t Next(uint32_t k) {
    s = s * 134775813u + 1u;
    return static_cast<uint32_t>((uint64_t{s} * k) >> 32);
  }
  char Element(int n) {
    const uint32_t r = Next(static_cast<uint32_t>(n));
    return r == 0 ? '0' : (r == static_cast<uint32_t>(n) - 1 ? '1' : static_cast<char>(96 + r));
  }
};

uint32_t StateAfter(uint32_t seed, int draws) {
  ReferenceGenerator g{seed};
  for (int i = 0; i < draws; ++i) g.Next(1);
  return g.s;
}

TEST_F(EQAlgebraRandomTest, RandomElementMapsEachDrawToOneElement) {
  RandSeed(12345);
  ReferenceGenerator reference{12345};
  std::set<char> seen;
  for (int i = 0; i < 2000; ++i) {
    const char c = RandomElement(28);
    ASSERT_EQ(c, reference.Element(28)) << i;
    seen.insert(c);
  }
  EXPECT_EQ(seen, (std::set<char>{'0', '1', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l',
                                  'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z'}));
  std::set<char> two;
  for (int i = 0; i < 100; ++i) two.insert(RandomElement(2));
  EXPECT_EQ(two, (std::set<char>{'0', '1'}));
}

TEST_F(EQAlgebraRandomTest, RulesDrawEvenWhenTheirResultIsFixed) {
  RandSeed(99);
  EXPECT_EQ(InfimumRule(5, 'b', '1'), 'b');
  EXPECT_EQ(ProcessRandom.State(), StateAfter(99, 1));
  EXPECT_EQ(InfimumRule(5, 'b', 'b'), 'b');
  EXPECT_EQ(ProcessRandom.State(), StateAfter(99, 2));
  EXPECT_EQ(DeltaRule(5, '1'), '1');
  EXPECT_EQ(DeltaRule(5, '0'), '0');
  EXPECT_EQ(ProcessRandom.State(), StateAfter(99, 4));
  EXPECT_EQ(EqualityRule(5, 'a', 'a'), '1');
  EXPECT_EQ(ProcessRandom.State(), StateAfter(99, 5));
}

TEST_F(EQAlgebraRandomTest, ProductRuleDrawsOnlyWithoutOne) {
  RandSeed(7);
  EXPECT_EQ(ProductRule(5, '1', 'c'), 'c');
  EXPECT_EQ(ProductRule(5, 'b', '1'), 'b');
  EXPECT_EQ(ProductRule(5, '1', '1'), '1');
  EXPECT_EQ(ProcessRandom.State(), 7u);
  ReferenceGenerator reference{7};
  EXPECT_EQ(ProductRule(5, 'a', 'b'), reference.Element(5));
  EXPECT_EQ(ProcessRandom.State(), StateAfter(7, 1));
}

TEST_F(EQAlgebraRandomTest, RulesTakeTheDrawnElementOtherwise) {
  RandSeed(2024);
  ReferenceGenerator reference{2024};
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(InfimumRule(6, 'a', 'b'), reference.Element(6));
    ASSERT_EQ(EqualityRule(6, 'b', '1'), reference.Element(6));  // without Goodness x ~ 1 is random
    ASSERT_EQ(DeltaRule(6, 'c'), reference.Element(6));
  }
}

TEST_F(EQAlgebraRandomTest, GoodnessFixesEqualityWithOne) {
  Settings.WantGoodness = true;
  RandSeed(5);
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(EqualityRule(6, 'c', '1'), 'c');
    ASSERT_EQ(EqualityRule(6, '0', '1'), '0');
  }
  EXPECT_EQ(EqualityRule(6, '1', '1'), '1');
  EXPECT_EQ(ProcessRandom.State(), StateAfter(5, 101));
  ReferenceGenerator reference{ProcessRandom.State()};
  EXPECT_EQ(EqualityRule(6, 'a', 'b'), reference.Element(6));  // other cells stay random
}

// Rebuilds what BuildRandom must draw, straight from the value rules, and
// compares every entry and the generator state afterwards.
void ExpectBuildMatchesReference(int n, uint32_t seed) {
  RandSeed(seed);
  TEQAlgebra algebra;
  algebra.BuildRandom(n);
  const uint32_t state_after = ProcessRandom.State();

  ReferenceGenerator g{seed};
  std::string e = "0";
  for (int p = 1; p < n - 1; ++p) e += static_cast<char>('a' + p - 1);
  e += '1';
  ASSERT_EQ(algebra.Size, n);
  ASSERT_EQ(std::string(algebra.ElementList.data(), n), e);

  int k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j, ++k) {
      const char r = g.Element(n);
      const PairEntry& entry = algebra.InfimumGene.Entries[k];
      ASSERT_EQ(entry.X, e[i]);
      ASSERT_EQ(entry.Y, e[j]);
      ASSERT_EQ(entry.Value, e[j] == '1' ? e[i] : r) << "infimum " << k;
    }
  }
  ASSERT_EQ(algebra.InfimumGene.Count, n * (n - 1) / 2);
  k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j, ++k) {
      char expected;
      if (e[i] == '1') expected = e[j];
      else if (e[j] == '1') expected = e[i];
      else expected = g.Element(n);
      const PairEntry& entry = algebra.ProductGene.Entries[k];
      ASSERT_EQ(entry.X, e[i]);
      ASSERT_EQ(entry.Y, e[j]);
      ASSERT_EQ(entry.Value, expected) << "product " << k;
    }
  }
  ASSERT_EQ(algebra.ProductGene.Count, n * n);
  k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j, ++k) {
      const char r = g.Element(n);
      const char expected = (Settings.WantGoodness && e[j] == '1') ? e[i] : r;
      ASSERT_EQ(algebra.FEqualityGene.Entries[k].Value, expected) << "equality " << k;
    }
  }
  ASSERT_EQ(algebra.FEqualityGene.Count, n * (n - 1) / 2);
  if (Settings.DeltaEnabled) {
    for (int i = 0; i < n; ++i) {
      const char r = g.Element(n);
      const char expected = e[i] == '1' ? '1' : (e[i] == '0' ? '0' : r);
      ASSERT_EQ(algebra.DeltaGene.Entries[i].X, e[i]);
      ASSERT_EQ(algebra.DeltaGene.Entries[i].Value, expected) << "delta " << i;
    }
    ASSERT_EQ(algebra.DeltaGene.Count, n);
  } else if (Settings.MaximumEnabled) {
    ASSERT_EQ(algebra.DeltaGene.Count, n);
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(algebra.DeltaGene.Entries[i].X, e[i]);
      ASSERT_EQ(algebra.DeltaGene.Entries[i].Value, e[i] == '1' ? '1' : '0');
    }
  } else {
    ASSERT_EQ(algebra.DeltaGene.Count, 0);
  }
  ASSERT_EQ(algebra.MaximumGene.Count, n * n);
  k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j, ++k) {
      const PairEntry& entry = algebra.MaximumGene.Entries[k];
      if (Settings.MaximumEnabled) {
        ASSERT_EQ(entry.X, e[i]);
        ASSERT_EQ(entry.Y, e[j]);
        ASSERT_EQ(entry.Value, algebra.Join(n, e[i], e[j])) << "maximum " << k;
      } else {
        ASSERT_EQ(entry.Value, '\0');  // not filled
      }
    }
  }
  // Every draw is accounted for: the maximum and the evaluation draw nothing.
  EXPECT_EQ(state_after, g.s);
  const int draws = n * (n - 1) + (n - 1) * (n - 1) + (Settings.DeltaEnabled ? n : 0);
  EXPECT_EQ(state_after, StateAfter(seed, draws));

  const double fitness = algebra.Fitness;
  EXPECT_EQ(fitness, algebra.Evaluate());
}

TEST_F(EQAlgebraRandomTest, BuildRandomDrawsInTheDocumentedOrder) {
  uint32_t seed = 1;
  for (int n : {2, 3, 5, 12, 28}) {
    for (bool delta : {false, true}) {
      for (bool maximum : {false, true}) {
        for (bool goodness : {false, true}) {
          Settings.DeltaEnabled = delta;
          Settings.MaximumEnabled = maximum;
          Settings.WantGoodness = goodness;
          SCOPED_TRACE("n=" + std::to_string(n) + " delta=" + std::to_string(delta) +
                       " max=" + std::to_string(maximum) + " good=" + std::to_string(goodness));
          ExpectBuildMatchesReference(n, seed = seed * 2654435761u + 17u);
        }
      }
    }
  }
}

TEST_F(EQAlgebraRandomTest, TwoElementAlgebraFixesAllButTwoCells) {
  Settings.DeltaEnabled = true;
  Settings.WantGoodness = true;
  std::set<char> zero_zero;
  for (uint32_t seed = 0; seed < 40; ++seed) {
    RandSeed(seed);
    TEQAlgebra algebra;
    algebra.BuildRandom(2);
    EXPECT_EQ(algebra.InfimumGene.Entries[0].Value, '0');
    EXPECT_EQ(algebra.ProductGene.Entries[1].Value, '0');  // (0, 1)
    EXPECT_EQ(algebra.ProductGene.Entries[2].Value, '0');  // (1, 0)
    EXPECT_EQ(algebra.ProductGene.Entries[3].Value, '1');  // (1, 1)
    EXPECT_EQ(algebra.FEqualityGene.Entries[0].Value, '0');  // x ~ 1 = x with Goodness
    EXPECT_EQ(algebra.DeltaGene.Entries[0].Value, '0');
    EXPECT_EQ(algebra.DeltaGene.Entries[1].Value, '1');
    zero_zero.insert(algebra.ProductGene.Entries[0].Value);
    // One draw each for infimum, equality and the product (0, 0); two for delta.
    EXPECT_EQ(ProcessRandom.State(), StateAfter(seed, 5));
  }
  EXPECT_EQ(zero_zero, (std::set<char>{'0', '1'}));  // (0, 0) is drawn
}

TEST_F(EQAlgebraRandomTest, BuildRandomOutsideTheSizesChangesNothing) {
  RandSeed(3);
  TEQAlgebra algebra;
  algebra.BuildRandom(1);
  algebra.BuildRandom(29);
  EXPECT_EQ(algebra.Size, 5);
  EXPECT_EQ(algebra.InfimumGene.Entries[0].Value, '\0');
  EXPECT_EQ(ProcessRandom.State(), 3u);
}

}  // namespace
