#pragma once
// Random winners for the diagram tests: the exact finder's first winner on
// lattices drawn at random, or products of such winners.

#include <atomic>
#include <optional>
#include <random>
#include <vector>

#include "finder/AlgebraSearch.h"
#include "formats/ExchangeTables.h"
#include "finder/Lattices.h"
#include "model/Settings.h"

namespace winner_samples {

// The direct product of two algebras (^, * and ~ taken pairwise), a winner
// when both are, on the product of their lattices: pair (i, j) of list
// positions is position i * b.Size + j, so (0, 0) is "0" and (top, top) "1".
inline TEQAlgebra Product(const TEQAlgebra& a, const TEQAlgebra& b) {
  ExchangeTables ta, tb;
  std::string fault;
  if (!TablesOfAlgebra(a, false, false, ta, fault) || !TablesOfAlgebra(b, false, false, tb, fault)) return a;
  ExchangeTables t;
  t.Size = ta.Size * tb.Size;
  const int nb = tb.Size, n = t.Size;
  for (auto* table : {&t.Meet, &t.Prod, &t.Eq}) table->resize(n * n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const int xa = x / nb, xb = x % nb, ya = y / nb, yb = y % nb;
      const auto pair = [&](const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
        return static_cast<uint8_t>(first[xa * ta.Size + ya] * nb + second[xb * nb + yb]);
      };
      t.Meet[x * n + y] = pair(ta.Meet, tb.Meet);
      t.Prod[x * n + y] = pair(ta.Prod, tb.Prod);
      t.Eq[x * n + y] = pair(ta.Eq, tb.Eq);
    }
  return AlgebraOfTables(t);
}

// A winner on the lattice: the exact finder's first one over it (the
// twelve axioms, default settings), or none when the lattice holds none.
inline std::optional<TEQAlgebra> FirstWinnerOn(const FiniteLattice& lattice, const SearchSettings& settings) {
  AlgebraSearch search(lattice, settings, 0);
  std::optional<TEQAlgebra> winner;
  const std::atomic<bool> stop{false};
  for (int64_t unit = 0; unit < search.UnitCount() && !winner; ++unit) {
    search.RunUnit(unit, stop, [&winner](const SearchWinner& found) {
      winner = *found.Algebra;
      return false;
    });
  }
  return winner;
}

// `count` random winners of n elements: up to 8 elements the first winner
// on lattices drawn from every isomorphism class, above that the product of
// random winners of d and n / d elements (both at most 8).
inline std::vector<TEQAlgebra> RandomWinners(int n, int count, std::mt19937& rng) {
  SearchSettings settings;
  settings.ElementCount = n;
  settings.UpdateGeneCount();
  const ScopedSettings scoped(settings);
  std::vector<TEQAlgebra> out;
  if (n > kQuickLatticeLimit) {
    int d = kQuickLatticeLimit;
    while (d > 1 && (n % d != 0 || n / d > kQuickLatticeLimit)) --d;
    for (int k = 0; k < count && d > 1; ++k) {
      const std::vector<TEQAlgebra> a = RandomWinners(d, 1, rng), b = RandomWinners(n / d, 1, rng);
      if (!a.empty() && !b.empty()) out.push_back(Product(a[0], b[0]));
    }
  } else {
    const std::vector<FiniteLattice> lattices = LatticesUpToIsomorphism(n);
    for (int tries = 0; static_cast<int>(out.size()) < count && tries < 50 * count; ++tries) {
      const FiniteLattice& lattice = lattices[std::uniform_int_distribution<size_t>(0, lattices.size() - 1)(rng)];
      if (std::optional<TEQAlgebra> winner = FirstWinnerOn(lattice, settings)) out.push_back(*winner);
    }
  }
  for (TEQAlgebra& winner : out) winner.Evaluate();
  return out;
}

}  // namespace winner_samples
