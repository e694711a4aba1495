#include "classes/AlgebraClass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ClassTestHelpers.h"
#include "model/EQAlgebra.h"
#include "ExampleAlgebras.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

using class_tests::CountIsomorphisms;
using class_tests::OnChain;
using class_tests::RandomInnerPermutation;
using class_tests::Relabelled;

// Every value drawn from alphabet: few values give many symmetric algebras.
TEQAlgebra RandomOver(int n, std::mt19937& rng, const std::string& alphabet) {
  TEQAlgebra a = test_algebras::RandomStandard(n, rng);
  const auto pick = [&] { return alphabet[test_algebras::Below(rng, static_cast<int>(alphabet.size()))]; };
  for (PairGene* g : {&a.InfimumGene, &a.ProductGene, &a.FEqualityGene}) {
    for (int k = 0; k < g->Count; ++k) g->Entries[k].Value = pick();
  }
  for (int k = 0; k < a.DeltaGene.Count; ++k) a.DeltaGene.Entries[k].Value = pick();
  return a;
}

// Changes the value of one random entry of ^, * or ~ (or d) to another character.
void ChangeOneCell(TEQAlgebra& a, std::mt19937& rng, const std::string& alphabet) {
  const auto pick = [&] { return alphabet[test_algebras::Below(rng, static_cast<int>(alphabet.size()))]; };
  PairGene* genes[] = {&a.InfimumGene, &a.ProductGene, &a.FEqualityGene};
  PairGene& g = *genes[test_algebras::Below(rng, 3)];
  PairEntry& e = g.Entries[test_algebras::Below(rng, g.Count)];
  const char old = e.Value;
  while (e.Value == old) e.Value = pick();
}

// M_k: 0, k pairwise incomparable atoms, 1; product the meet; two atoms are
// 0-equal, x ~ 1 = x, 0 ~ atom = 0. Every permutation of the atoms keeps it.
TEQAlgebra AtomLattice(int n) {
  Settings.ElementCount = n;
  TEQAlgebra a = test_algebras::StandardLayout(n);
  const auto meet = [&](char x, char y) { return x == y ? x : (x == '1' ? y : (y == '1' ? x : '0')); };
  for (int k = 0; k < a.InfimumGene.Count; ++k) {
    PairEntry& e = a.InfimumGene.Entries[k];
    e.Value = meet(e.X, e.Y);
    PairEntry& q = a.FEqualityGene.Entries[k];
    q.Value = q.Y == '1' ? q.X : (q.X == '1' ? q.Y : '0');
  }
  for (int k = 0; k < a.ProductGene.Count; ++k) {
    PairEntry& e = a.ProductGene.Entries[k];
    e.Value = meet(e.X, e.Y);
  }
  for (int k = 0; k < a.DeltaGene.Count; ++k) a.DeltaGene.Entries[k].Value = a.DeltaGene.Entries[k].X == '1' ? '1' : '0';
  return a;
}

// Inner elements as the vertices of a graph (inner vertex i at list
// position i + 1): x ~ y is 1 for neighbours and 0 for other inner pairs,
// x ~ 1 = x, 0 ~ x = 0; infimum and product the meet of the atoms. Its
// automorphisms are those of the graph.
template <class Adjacent>
TEQAlgebra GraphAlgebra(int vertices, Adjacent adjacent) {
  const int n = vertices + 2;
  TEQAlgebra a = AtomLattice(n);
  const auto position = [&](char c) { return c == '0' ? 0 : (c == '1' ? n - 1 : c - 'a' + 1); };
  for (int k = 0; k < a.FEqualityGene.Count; ++k) {
    PairEntry& q = a.FEqualityGene.Entries[k];
    const int x = position(q.X), y = position(q.Y);
    if (x == 0 || y == n - 1) continue;
    q.Value = adjacent(x - 1, y - 1) ? '1' : '0';
  }
  return a;
}

// Disjoint cycles of the given lengths (each at least 3): every vertex meets
// every other alike until one is singled out, so the search has leaves to
// compare.
TEQAlgebra CycleUnion(const std::vector<int>& lengths) {
  std::vector<int> next, previous;
  for (int length : lengths) {
    const int first = static_cast<int>(next.size());
    for (int k = 0; k < length; ++k) {
      next.push_back(first + (k + 1) % length);
      previous.push_back(first + (k + length - 1) % length);
    }
  }
  return GraphAlgebra(static_cast<int>(next.size()), [&](int x, int y) { return next[x] == y || previous[x] == y; });
}

// The Paley graph of a prime q = 1 mod 4: x and y adjacent when x - y is a
// nonzero square mod q. Its automorphism group has order q (q - 1) / 2.
TEQAlgebra Paley(int q) {
  return GraphAlgebra(q, [q](int x, int y) {
    const int d = ((x - y) % q + q) % q;
    for (int t = 1; t < q; ++t)
      if (t * t % q == d) return true;
    return false;
  });
}

// The order of the automorphism group of a union of cycles: each cycle of
// length L has 2L, and cycles of one length may be permuted.
BigCount CycleUnionAutomorphisms(std::vector<int> lengths) {
  std::sort(lengths.begin(), lengths.end());
  BigCount order = 1;
  for (int length : lengths) order *= static_cast<BigCount>(2 * length);
  for (size_t i = 0; i < lengths.size();) {
    size_t same = 1;
    while (i + same < lengths.size() && lengths[i + same] == lengths[i]) ++same;
    for (size_t k = 2; k <= same; ++k) order *= static_cast<BigCount>(k);
    i += same;
  }
  return order;
}

class AlgebraClassTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    saved_ = Settings;
    Settings.DeltaEnabled = GetParam();
    Settings.UpdateGeneCount();
  }
  void TearDown() override { Settings = saved_; }

 private:
  SearchSettings saved_;
};

INSTANTIATE_TEST_SUITE_P(Delta, AlgebraClassTest, ::testing::Bool(),
                         [](const auto& row) { return row.param ? "DeltaOn" : "DeltaOff"; });

// Key equality against isomorphism tried over every permutation: a pool of
// random algebras with few values, their relabellings and one-cell changes.
TEST_P(AlgebraClassTest, KeysAndAutomorphismsAgreeWithBruteForceOnSmallAlgebras) {
  std::mt19937 rng(1234);
  for (int n = 3; n <= 7; ++n) {
    for (const std::string& alphabet : {std::string("01"), std::string("0a1"), std::string("01") + '\0'}) {
      std::vector<TEQAlgebra> pool;
      for (int k = 0; k < 4; ++k) {
        TEQAlgebra base = RandomOver(n, rng, alphabet);
        pool.push_back(base);
        pool.push_back(Relabelled(base, RandomInnerPermutation(n, rng)));
        TEQAlgebra changed = base;
        ChangeOneCell(changed, rng, alphabet);
        pool.push_back(Relabelled(changed, RandomInnerPermutation(n, rng)));
      }
      std::vector<AlgebraClass> classes;
      for (const TEQAlgebra& a : pool) classes.push_back(ClassifyAlgebra(a));
      for (size_t i = 0; i < pool.size(); ++i) {
        ASSERT_EQ(classes[i].Automorphisms, static_cast<BigCount>(CountIsomorphisms(pool[i], pool[i])))
            << "n " << n << " algebra " << i;
        for (size_t j = i + 1; j < pool.size(); ++j) {
          const bool isomorphic = CountIsomorphisms(pool[i], pool[j]) > 0;
          ASSERT_EQ(classes[i].Key == classes[j].Key, isomorphic) << "n " << n << " algebras " << i << ", " << j;
          ASSERT_EQ(classes[i].Id == classes[j].Id, isomorphic);
        }
      }
    }
  }
}

TEST_P(AlgebraClassTest, RelabellingKeepsKeyAndAutomorphismsAtEverySize) {
  std::mt19937 rng(77);
  for (int n = 3; n <= 28; ++n) {
    const std::vector<TEQAlgebra> algebras = {
        test_algebras::RandomStandard(n, rng), RandomOver(n, rng, "01"), OnChain(n, rng, "0ab1"),
        test_algebras::GoedelChain(n), AtomLattice(n)};
    for (const TEQAlgebra& a : algebras) {
      const AlgebraClass original = ClassifyAlgebra(a);
      for (int k = 0; k < 3; ++k) {
        const AlgebraClass relabelled = ClassifyAlgebra(Relabelled(a, RandomInnerPermutation(n, rng)));
        ASSERT_EQ(relabelled.Key, original.Key) << "n " << n;
        ASSERT_EQ(relabelled.Automorphisms, original.Automorphisms) << "n " << n;
        ASSERT_EQ(relabelled.Id, original.Id);
      }
    }
  }
}

// On a chain order only the identity keeps the order, so a changed cell
// always makes a new class, however the result is relabelled.
TEST_P(AlgebraClassTest, OneChangedCellOnAChainGivesANewKey) {
  std::mt19937 rng(5);
  for (int n : {4, 9, 16, 23, 28}) {  // from 4 on there are two inner elements
    for (int k = 0; k < 6; ++k) {
      TEQAlgebra a = OnChain(n, rng, "0a1");
      TEQAlgebra b = a;
      PairGene& g = test_algebras::Below(rng, 2) == 0 ? b.ProductGene : b.FEqualityGene;
      PairEntry* e = &g.Entries[test_algebras::Below(rng, g.Count)];
      // A cell the lookups read: no product with 0 or 1, no x ~ x.
      while (e->X == '0' || e->X == '1' || e->Y == '0' || e->Y == '1' || e->X == e->Y) {
        e = &g.Entries[test_algebras::Below(rng, g.Count)];
      }
      e->Value = e->Value == 'a' ? '0' : 'a';
      const AlgebraClass ca = ClassifyAlgebra(a);
      const AlgebraClass cb = ClassifyAlgebra(Relabelled(b, RandomInnerPermutation(n, rng)));
      EXPECT_NE(ca.Key, cb.Key) << "n " << n;
      EXPECT_NE(ca.Id, cb.Id) << "n " << n;
      EXPECT_EQ(ca.Automorphisms, BigCount{1});
    }
  }
}

TEST_P(AlgebraClassTest, KnownAutomorphismOrders) {
  for (int n : {2, 3, 10, 28}) EXPECT_EQ(ClassifyAlgebra(test_algebras::GoedelChain(n)).Automorphisms, BigCount{1});
  EXPECT_EQ(ClassifyAlgebra(test_algebras::LukasiewiczChain(12)).Automorphisms, BigCount{1});

  // The four-element Boolean algebra, product the meet, ~ the biresiduum:
  // swapping the atoms is its one non-trivial automorphism.
  Settings.ElementCount = 4;
  TEQAlgebra boolean = test_algebras::StandardLayout(4);
  SetPairGene(boolean.InfimumGene, {"0a0", "0b0", "010", "ab0", "a1a", "b1b"});
  SetPairGene(boolean.ProductGene, {"000", "0a0", "0b0", "010", "a00", "aaa", "ab0", "a1a",
                                    "b00", "ba0", "bbb", "b1b", "100", "1aa", "1bb", "111"});
  SetPairGene(boolean.FEqualityGene, {"0ab", "0ba", "010", "ab0", "a1a", "b1b"});
  SetSingleGene(boolean.DeltaGene, {"00", "a0", "b0", "11"});
  // "0ab" sits at the pair (0, a) of the layout: 0 ~ a = b, 0 ~ b = a.
  EXPECT_EQ(boolean.Equality('0', 'a'), 'b');
  EXPECT_EQ(boolean.Infimum('a', 'b'), '0');
  EXPECT_EQ(ClassifyAlgebra(boolean).Automorphisms, BigCount{2});

  BigCount factorial = 1;
  for (int k = 2; k <= 26; ++k) factorial *= static_cast<BigCount>(k);
  EXPECT_EQ(ClassifyAlgebra(AtomLattice(28)).Automorphisms, factorial);
  EXPECT_EQ(ClassifyAlgebra(AtomLattice(5)).Automorphisms, BigCount{6});

  for (const std::vector<int>& lengths : std::vector<std::vector<int>>{
           {3}, {6}, {3, 3}, {3, 4}, {4, 4, 4}, {3, 3, 4, 5, 5, 6}, {13, 13}, {3, 3, 3, 3, 3, 3, 4, 4}}) {
    EXPECT_EQ(ClassifyAlgebra(CycleUnion(lengths)).Automorphisms, CycleUnionAutomorphisms(lengths))
        << FormatBigCount(CycleUnionAutomorphisms(lengths));
  }
  for (int q : {5, 13, 17}) EXPECT_EQ(ClassifyAlgebra(Paley(q)).Automorphisms, static_cast<BigCount>(q * (q - 1) / 2));
}

// Unions of cycles look alike to the refinement at every vertex: the key
// must come from comparing leaves, and must still tell them apart.
TEST_P(AlgebraClassTest, RegularStructuresAreToldApartAndKeptUnderRelabelling) {
  std::mt19937 rng(21);
  const std::vector<std::vector<int>> same_size = {{6}, {3, 3}};
  const TEQAlgebra hexagon = CycleUnion(same_size[0]), triangles = CycleUnion(same_size[1]);
  EXPECT_EQ(CountIsomorphisms(hexagon, triangles), 0);
  EXPECT_NE(ClassifyAlgebra(hexagon).Key, ClassifyAlgebra(triangles).Key);
  for (const std::vector<int>& lengths : std::vector<std::vector<int>>{
           {3, 6}, {4, 5}, {9}, {3, 3, 3}, {3, 3, 4, 5, 5, 6}, {26}, {13, 13}, {5, 7, 7, 7}, {6, 4, 4, 3, 3, 3, 3}}) {
    const TEQAlgebra a = CycleUnion(lengths);
    const AlgebraClass c = ClassifyAlgebra(a);
    for (int k = 0; k < 4; ++k) {
      const AlgebraClass relabelled = ClassifyAlgebra(Relabelled(a, RandomInnerPermutation(a.Size, rng)));
      ASSERT_EQ(relabelled.Key, c.Key) << FormatBigCount(c.Automorphisms);
      ASSERT_EQ(relabelled.Automorphisms, c.Automorphisms);
    }
  }
  for (int q : {13, 17}) {
    const TEQAlgebra paley = Paley(q);
    const std::string key = ClassifyAlgebra(paley).Key;
    for (int k = 0; k < 4; ++k) {
      ASSERT_EQ(ClassifyAlgebra(Relabelled(paley, RandomInnerPermutation(paley.Size, rng))).Key, key) << q;
    }
  }
  EXPECT_NE(ClassifyAlgebra(CycleUnion({3, 6})).Key, ClassifyAlgebra(CycleUnion({4, 5})).Key);
  EXPECT_NE(ClassifyAlgebra(CycleUnion({3, 6})).Key, ClassifyAlgebra(CycleUnion({9})).Key);
  EXPECT_NE(ClassifyAlgebra(CycleUnion({13, 13})).Key, ClassifyAlgebra(CycleUnion({26})).Key);
}

// A delta cell counts exactly while delta is in play; the maximum never does.
TEST_P(AlgebraClassTest, OnlyTheOperationsInPlayMatter) {
  std::mt19937 rng(31);
  TEQAlgebra a = OnChain(9, rng, "0ab1");
  TEQAlgebra other_maximum = a;
  for (int k = 0; k < other_maximum.MaximumGene.Count; ++k) other_maximum.MaximumGene.Entries[k].Value = 'c';
  EXPECT_EQ(ClassifyAlgebra(a).Key, ClassifyAlgebra(other_maximum).Key);

  TEQAlgebra other_delta = a;
  SingleEntry& d = other_delta.DeltaGene.Entries[3];
  d.Value = d.Value == 'b' ? 'a' : 'b';
  EXPECT_EQ(ClassifyAlgebra(a).Key == ClassifyAlgebra(other_delta).Key, !Settings.DeltaEnabled);

  const std::string key = ClassifyAlgebra(a).Key;
  Settings.DeltaEnabled = !Settings.DeltaEnabled;
  EXPECT_NE(ClassifyAlgebra(a).Key, key);
}

// Character 0 and foreign characters are values of their own: never an
// element, never each other, kept through relabelling.
TEST_P(AlgebraClassTest, OddValuesAreKeyedConsistently) {
  std::mt19937 rng(8);
  for (int n : {3, 6, 17, 28}) {
    for (const std::string& extra : {test_algebras::FewExtraCharacters(), test_algebras::ManyExtraCharacters()}) {
      TEQAlgebra odd = test_algebras::Odd(n, rng, extra, true);
      odd.Init(n);  // a standard list over the odd entries
      const AlgebraClass c = ClassifyAlgebra(odd);
      EXPECT_EQ(ClassifyAlgebra(Relabelled(odd, RandomInnerPermutation(n, rng))).Key, c.Key);
      EXPECT_EQ(ClassifyAlgebra(odd).Key, c.Key);
    }
  }

  TEQAlgebra a = OnChain(6, rng, "0ab1");
  TEQAlgebra with_zero = a, with_hash = a, with_element = a;
  PairEntry& cell = with_zero.ProductGene.Entries[2 * 6 + 3];  // b * c, read by the lookups
  cell.Value = '\0';
  with_hash.ProductGene.Entries[2 * 6 + 3].Value = '#';
  with_element.ProductGene.Entries[2 * 6 + 3].Value = 'd';
  const std::string keys[] = {ClassifyAlgebra(with_zero).Key, ClassifyAlgebra(with_hash).Key,
                              ClassifyAlgebra(with_element).Key};
  EXPECT_NE(keys[0], keys[1]);
  EXPECT_NE(keys[0], keys[2]);
  EXPECT_NE(keys[1], keys[2]);
}

// Lists a file may hold (shuffled, repeated, foreign characters): keyed
// without a crash and deterministically. Inner elements are anonymous, so
// listing them in another order changes nothing; a list with a repeated
// element keeps its elements in place and is keyed with its list.
TEST_P(AlgebraClassTest, OddElementListsAreKeyedAsTheyStand) {
  std::mt19937 rng(99);
  for (int n = 2; n <= 28; ++n) {
    for (int k = 0; k < 3; ++k) {
      const TEQAlgebra odd = test_algebras::Odd(n, rng, k == 0 ? test_algebras::FewExtraCharacters()
                                                               : test_algebras::ManyExtraCharacters());
      const AlgebraClass first = ClassifyAlgebra(odd);
      EXPECT_EQ(ClassifyAlgebra(odd).Key, first.Key);
      EXPECT_GE(first.Automorphisms, BigCount{1});
    }
  }
  TEQAlgebra chain = test_algebras::GoedelChain(4);
  TEQAlgebra renamed = chain;
  renamed.ElementList = {'0', 'b', 'a', '1'};  // the same letters in another order
  EXPECT_EQ(ClassifyAlgebra(chain).Key, ClassifyAlgebra(renamed).Key);
  TEQAlgebra lettered = Relabelled(chain, [] {
    class_tests::CharMap map;
    for (int c = 0; c < 256; ++c) map[c] = static_cast<char>(c);
    map['a'] = 'x';
    map['b'] = 'Q';
    return map;
  }());
  lettered.ElementList = {'0', 'x', 'Q', '1'};  // other names for the inner elements
  EXPECT_EQ(ClassifyAlgebra(chain).Key, ClassifyAlgebra(lettered).Key);
  TEQAlgebra repeated = chain;
  repeated.ElementList = {'0', 'a', 'a', '1'};
  EXPECT_NE(ClassifyAlgebra(chain).Key, ClassifyAlgebra(repeated).Key);
  TEQAlgebra tiny = chain;
  tiny.Size = 1;  // out of range: no elements
  EXPECT_EQ(ClassifyAlgebra(tiny).Key, ClassifyAlgebra(tiny).Key);
}

TEST_P(AlgebraClassTest, ThreadsClassifyIndependently) {
  std::mt19937 rng(4);
  std::vector<TEQAlgebra> algebras;
  for (int k = 0; k < 8; ++k) algebras.push_back(test_algebras::RandomStandard(10 + 2 * k, rng));
  std::vector<std::string> serial;
  for (const TEQAlgebra& a : algebras) serial.push_back(ClassifyAlgebra(a).Key);
  const SearchSettings block = Settings;
  std::vector<std::string> parallel[2];
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      ScopedSettings scoped(block);
      for (int round = 0; round < 5; ++round)
        for (const TEQAlgebra& a : algebras) parallel[t].push_back(ClassifyAlgebra(a).Key);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 2; ++t) {
    ASSERT_EQ(parallel[t].size(), 5 * algebras.size());
    for (size_t i = 0; i < parallel[t].size(); ++i) EXPECT_EQ(parallel[t][i], serial[i % algebras.size()]);
  }
}

TEST(ClassId, IsFnv1aOfTheKeyInTwelveHexDigits) {
  // FNV-1a 64 of "a" is af63dc4c8601ec8c, of "" cbf29ce484222325.
  EXPECT_EQ(ClassIdOfKey("a"), "af63dc4c8601");
  EXPECT_EQ(ClassIdOfKey(""), "cbf29ce48422");
  EXPECT_NE(ClassIdOfKey(std::string(1, '\0')), ClassIdOfKey(""));
}

TEST(BigCount, FormatsAndCountsPermutations) {
  EXPECT_EQ(FormatBigCount(0), "0");
  EXPECT_EQ(FormatBigCount(InnerPermutations(2)), "1");
  EXPECT_EQ(FormatBigCount(InnerPermutations(5)), "6");
  EXPECT_EQ(FormatBigCount(InnerPermutations(28)), "403291461126605635584000000");  // 26!
  EXPECT_EQ(FormatBigCount(~BigCount{0}), "340282366920938463463374607431768211455");
}

}  // namespace
