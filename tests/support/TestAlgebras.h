#pragma once
// Builders of algebras for the tests, with their own generator (independent
// of the program's random construction): random standard algebras, the
// Goedel and Lukasiewicz chains (true EQ-algebras) and perturbed copies of
// them, and algebras with odd content such as a hand-edited file may hold.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "model/EQAlgebra.h"
#include "model/Settings.h"

namespace test_algebras {

inline int Below(std::mt19937& rng, int k) { return std::uniform_int_distribution<int>(0, k - 1)(rng); }

// The standard entry pairs of every list, all values character 0.
inline TEQAlgebra StandardLayout(int n) {
  TEQAlgebra a;
  a.Init(n);
  const auto e = [&](int i) { return a.ElementList[i]; };
  int k = 0;
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) {
      a.InfimumGene.Entries[k] = {e(i), e(j), 0};
      a.FEqualityGene.Entries[k] = {e(i), e(j), 0};
      ++k;
    }
  k = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      a.ProductGene.Entries[k] = {e(i), e(j), 0};
      a.MaximumGene.Entries[k] = {e(i), e(j), 0};
      ++k;
    }
  for (int i = 0; i < n; ++i) a.DeltaGene.Entries[i] = {e(i), 0};
  return a;
}

// Every value a uniform random element of the algebra.
inline TEQAlgebra RandomStandard(int n, std::mt19937& rng) {
  TEQAlgebra a = StandardLayout(n);
  const auto value = [&] { return a.ElementList[Below(rng, n)]; };
  for (PairGene* g : {&a.InfimumGene, &a.ProductGene, &a.FEqualityGene, &a.MaximumGene})
    for (int k = 0; k < g->Count; ++k) g->Entries[k].Value = value();
  for (int k = 0; k < a.DeltaGene.Count; ++k) a.DeltaGene.Entries[k].Value = value();
  return a;
}

// A chain 0 < a < b < ... < 1 in list order, with infimum min, maximum max,
// delta 1 only at 1, and the given product and equality on ranks 0..n-1.
template <class ProductRank, class EqualityRank>
TEQAlgebra Chain(int n, ProductRank product, EqualityRank equality) {
  TEQAlgebra a = StandardLayout(n);
  const auto rank = [&](char c) { return static_cast<int>(std::find(a.ElementList.begin(), a.ElementList.end(), c) - a.ElementList.begin()); };
  const auto at = [&](int r) { return a.ElementList[r]; };
  for (int k = 0; k < a.InfimumGene.Count; ++k) {
    PairEntry& i = a.InfimumGene.Entries[k];
    i.Value = at(std::min(rank(i.X), rank(i.Y)));
    PairEntry& q = a.FEqualityGene.Entries[k];
    q.Value = at(equality(rank(q.X), rank(q.Y)));
  }
  for (int k = 0; k < a.ProductGene.Count; ++k) {
    PairEntry& p = a.ProductGene.Entries[k];
    p.Value = at(product(rank(p.X), rank(p.Y)));
    PairEntry& m = a.MaximumGene.Entries[k];
    m.Value = at(std::max(rank(m.X), rank(m.Y)));
  }
  for (int k = 0; k < a.DeltaGene.Count; ++k) {
    SingleEntry& d = a.DeltaGene.Entries[k];
    d.Value = rank(d.X) == n - 1 ? '1' : '0';
  }
  return a;
}

// Product min, equality 1 on the diagonal and min elsewhere.
inline TEQAlgebra GoedelChain(int n) {
  return Chain(
      n, [](int x, int y) { return std::min(x, y); },
      [n](int x, int y) { return x == y ? n - 1 : std::min(x, y); });
}

// Product max(0, x + y - top), equality top - |x - y|.
inline TEQAlgebra LukasiewiczChain(int n) {
  const int top = n - 1;
  return Chain(
      n, [top](int x, int y) { return std::max(0, x + y - top); },
      [top](int x, int y) { return top - std::abs(x - y); });
}

// The Goedel chain of 5 elements with a ^ c = 0: its infimum is no meet,
// "(a ^ b) ^ c = 0 but a ^ (b ^ c) = a".
inline TEQAlgebra NotAMeet() {
  TEQAlgebra algebra = GoedelChain(5);
  for (PairEntry& e : algebra.InfimumGene.Entries)
    if (e.X == 'a' && e.Y == 'c') e.Value = '0';
  return algebra;
}

// Sets the values of `changes` random entries (any list) to random elements.
inline void Perturb(TEQAlgebra& a, int changes, std::mt19937& rng) {
  const int n = a.Size;
  for (int c = 0; c < changes; ++c) {
    const char v = a.ElementList[Below(rng, n)];
    switch (Below(rng, 5)) {
      case 0: a.InfimumGene.Entries[Below(rng, a.InfimumGene.Count)].Value = v; break;
      case 1: a.ProductGene.Entries[Below(rng, a.ProductGene.Count)].Value = v; break;
      case 2: a.FEqualityGene.Entries[Below(rng, a.FEqualityGene.Count)].Value = v; break;
      case 3: a.DeltaGene.Entries[Below(rng, a.DeltaGene.Count)].Value = v; break;
      default: a.MaximumGene.Entries[Below(rng, a.MaximumGene.Count)].Value = v; break;
    }
  }
}

// Odd content: the element list shuffled and partly replaced by other
// characters, random counts, entries whose arguments and values are drawn
// from the elements and from `extra` (which may hold character 0), so pairs
// repeat, miss, or name no element.
// With full_counts every list keeps its standard count.
inline TEQAlgebra Odd(int n, std::mt19937& rng, const std::string& extra, bool full_counts = false) {
  TEQAlgebra a = StandardLayout(n);
  std::shuffle(a.ElementList.begin(), a.ElementList.begin() + n, rng);
  if (n > 2 && Below(rng, 2) == 0) a.ElementList[Below(rng, n)] = extra[Below(rng, static_cast<int>(extra.size()))];
  std::string alphabet(a.ElementList.begin(), a.ElementList.begin() + n);
  alphabet += extra;
  const auto pick = [&] { return alphabet[Below(rng, static_cast<int>(alphabet.size()))]; };
  for (PairGene* g : {&a.InfimumGene, &a.ProductGene, &a.FEqualityGene, &a.MaximumGene}) {
    if (!full_counts) g->Count = Below(rng, g->Count + 1);
    for (int k = 0; k < g->Count; ++k) g->Entries[k] = {pick(), pick(), pick()};
  }
  if (!full_counts) a.DeltaGene.Count = Below(rng, n + 1);
  for (int k = 0; k < a.DeltaGene.Count; ++k) a.DeltaGene.Entries[k] = {pick(), pick()};
  return a;
}

// Extra characters for Odd: a few, or more than 32 distinct ones.
inline std::string FewExtraCharacters() { return std::string("#Zq") + '\0' + "01"; }
inline std::string ManyExtraCharacters() {
  std::string s(1, '\0');
  for (char c = 'A'; c <= 'Z'; ++c) s += c;
  for (char c = '2'; c <= '9'; ++c) s += c;
  s += "!?%&";
  return s;
}

// The two-element algebra: only 0 ~ 1 is free; the maximum is the join.
inline TEQAlgebra TwoElements(char zero_equals_one) {
  Settings.ElementCount = 2;
  TEQAlgebra a = StandardLayout(2);
  a.InfimumGene.Entries[0].Value = '0';
  a.FEqualityGene.Entries[0].Value = zero_equals_one;
  a.DeltaGene.Entries[0].Value = '0';
  a.DeltaGene.Entries[1].Value = '1';
  a.RecomputeMaximum();
  return a;
}

}  // namespace test_algebras
