#pragma once
// Random winners for the diagram tests: the exact finder's first winner on
// lattices drawn at random, or products of such winners, with their inner
// elements renamed at random, so their lattices come in every shape and
// list order a search may produce.

#include <algorithm>
#include <atomic>
#include <random>
#include <vector>

#include <optional>

#include "AlgebraSearch.h"
#include "ExchangeTables.h"
#include "Lattices.h"
#include "Settings.h"

namespace winner_samples {

// The algebra with inner element p renamed image[p] (0 and the top stay).
inline TEQAlgebra Renamed(const TEQAlgebra& algebra, const std::vector<int>& image) {
  ExchangeTables t, renamed;
  std::string fault;
  if (!TablesOfAlgebra(algebra, false, false, t, fault)) return algebra;
  const int n = t.Size;
  renamed = t;
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const int at = image[x] * n + image[y];
      renamed.Meet[at] = static_cast<uint8_t>(image[t.Meet[x * n + y]]);
      renamed.Prod[at] = static_cast<uint8_t>(image[t.Prod[x * n + y]]);
      renamed.Eq[at] = static_cast<uint8_t>(image[t.Eq[x * n + y]]);
    }
  return AlgebraOfTables(renamed);
}

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

// `count` random winners of n elements (2 to 10), evaluated (fitness 1),
// their inner elements renamed at random: up to 8 elements on lattices
// drawn from every isomorphism class, at 9 and 10 the products of random
// winners of 3 and 3, and of 2 and 5 elements.
inline std::vector<TEQAlgebra> RandomWinners(int n, int count, std::mt19937& rng) {
  SearchSettings settings;
  settings.ElementCount = n;
  settings.UpdateGeneCount();
  const ScopedSettings scoped(settings);
  std::vector<TEQAlgebra> out;
  if (n > kQuickLatticeLimit) {
    const int first = n == 9 ? 3 : 2;
    for (int k = 0; k < count; ++k) {
      const std::vector<TEQAlgebra> a = RandomWinners(first, 1, rng), b = RandomWinners(n / first, 1, rng);
      if (a.empty() || b.empty()) continue;
      out.push_back(Product(a[0], b[0]));
    }
  } else {
    const std::vector<FiniteLattice> lattices = LatticesUpToIsomorphism(n);
    for (int tries = 0; static_cast<int>(out.size()) < count && tries < 4 * count; ++tries) {
      const FiniteLattice& lattice = lattices[std::uniform_int_distribution<size_t>(0, lattices.size() - 1)(rng)];
      if (std::optional<TEQAlgebra> winner = FirstWinnerOn(lattice, settings)) out.push_back(*winner);
    }
  }
  for (TEQAlgebra& winner : out) {
    std::vector<int> image(n);
    for (int i = 0; i < n; ++i) image[i] = i;
    if (n > 3) std::shuffle(image.begin() + 1, image.end() - 1, rng);
    winner = Renamed(winner, image);
    winner.Evaluate();
  }
  return out;
}

}  // namespace winner_samples
