#pragma once
// Helpers for the class tests: relabelling an algebra by a permutation of
// its inner elements, algebras built on a chain order, and a brute-force
// isomorphism test straight from the definition (small n only).

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace class_tests {

// A permutation of the characters: inner elements of a standard list are
// moved, every other character stays.
using CharMap = std::array<char, 256>;

inline CharMap RandomInnerPermutation(int n, std::mt19937& rng) {
  CharMap map;
  for (int c = 0; c < 256; ++c) map[c] = static_cast<char>(c);
  std::vector<char> inner;
  for (int p = 2; p < n; ++p) inner.push_back(static_cast<char>(95 + p));
  std::vector<char> image = inner;
  std::shuffle(image.begin(), image.end(), rng);
  for (size_t k = 0; k < inner.size(); ++k) map[static_cast<uint8_t>(inner[k])] = image[k];
  return map;
}

// The algebra with every character of every entry renamed by map (the entry
// order kept, so the first-match rules pick the renamed entries): the image
// of the algebra under the permutation.
inline TEQAlgebra Relabelled(const TEQAlgebra& a, const CharMap& map) {
  TEQAlgebra b = a;
  const auto m = [&](char c) { return map[static_cast<uint8_t>(c)]; };
  for (PairGene* g : {&b.InfimumGene, &b.ProductGene, &b.FEqualityGene, &b.MaximumGene}) {
    for (PairEntry& e : g->Entries) e = {m(e.X), m(e.Y), m(e.Value)};
  }
  for (SingleEntry& e : b.DeltaGene.Entries) e = {m(e.X), m(e.Value)};
  return b;
}

// A standard algebra of n elements whose infimum is the chain in list order
// and whose other values are drawn from `alphabet`. An isomorphism keeps the
// order, so two of them are isomorphic only when all their cells agree.
inline TEQAlgebra OnChain(int n, std::mt19937& rng, const std::string& alphabet) {
  TEQAlgebra a = test_algebras::RandomStandard(n, rng);
  for (int k = 0; k < a.InfimumGene.Count; ++k) a.InfimumGene.Entries[k].Value = a.InfimumGene.Entries[k].X;
  const auto pick = [&] { return alphabet[test_algebras::Below(rng, static_cast<int>(alphabet.size()))]; };
  for (PairGene* g : {&a.ProductGene, &a.FEqualityGene}) {
    for (int k = 0; k < g->Count; ++k) g->Entries[k].Value = pick();
  }
  for (int k = 0; k < a.DeltaGene.Count; ++k) a.DeltaGene.Entries[k].Value = pick();
  return a;
}

// The cells of the operations in play, by the lookups: ^, *, ~ and, with
// delta, d, over the element list.
struct Cells {
  int n = 0;
  std::vector<char> ops[3];
  std::vector<char> delta;
};

inline Cells CellsOf(const TEQAlgebra& a) {
  Cells c;
  c.n = a.Size;
  for (int x = 0; x < c.n; ++x) {
    for (int y = 0; y < c.n; ++y) {
      const char ex = a.ElementList[x], ey = a.ElementList[y];
      c.ops[0].push_back(a.Infimum(ex, ey));
      c.ops[1].push_back(a.Product(ex, ey));
      c.ops[2].push_back(a.Equality(ex, ey));
    }
    if (Settings.DeltaEnabled) c.delta.push_back(a.Delta(a.ElementList[x]));
  }
  return c;
}

// The permutations of the inner positions of a standard list that map a
// onto b, counted by trying every one ((n - 2)! of them).
inline long CountIsomorphisms(const TEQAlgebra& a, const TEQAlgebra& b) {
  const Cells ca = CellsOf(a), cb = CellsOf(b);
  const int n = ca.n;
  std::vector<int> perm(n);
  std::iota(perm.begin(), perm.end(), 0);
  // Position of a character in the standard list, -1 for any other.
  const auto position = [&](char c) {
    for (int p = 0; p < n; ++p)
      if (a.ElementList[p] == c) return p;
    return -1;
  };
  const auto image = [&](char v) {
    const int p = position(v);
    return p < 0 ? v : a.ElementList[perm[p]];
  };
  long count = 0;
  do {
    bool same = true;
    for (int op = 0; op < 3 && same; ++op) {
      for (int x = 0; x < n && same; ++x)
        for (int y = 0; y < n && same; ++y)
          same = cb.ops[op][perm[x] * n + perm[y]] == image(ca.ops[op][x * n + y]);
    }
    for (int x = 0; x < static_cast<int>(ca.delta.size()) && same; ++x) same = cb.delta[perm[x]] == image(ca.delta[x]);
    if (same) ++count;
  } while (std::next_permutation(perm.begin() + 1, perm.end() - 1));
  return count;
}

}  // namespace class_tests
