// Lattice constructions. Orders are built on plain index sets and handed to
// LatticeOfOrder, which relabels them naturally and fills meet and join, so
// every construction is checked the same way.

#include "finder/LatticeConstructions.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace {

// Fills meet and join from leq; false when a pair lacks either.
bool FillMeetAndJoin(FiniteLattice& lattice) {
  const int n = lattice.n;
  lattice.meet.assign(n * n, 0);
  lattice.join.assign(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      int low = -1, high = -1;
      for (int k = 0; k < n; ++k) {
        if (lattice.Leq(k, i) && lattice.Leq(k, j) && (low < 0 || lattice.Leq(low, k))) low = k;
        if (lattice.Leq(i, k) && lattice.Leq(j, k) && (high < 0 || lattice.Leq(k, high))) high = k;
      }
      if (low < 0 || high < 0) return false;
      for (int k = 0; k < n; ++k) {
        if (lattice.Leq(k, i) && lattice.Leq(k, j) && !lattice.Leq(k, low)) return false;
        if (lattice.Leq(i, k) && lattice.Leq(j, k) && !lattice.Leq(high, k)) return false;
      }
      lattice.meet[i * n + j] = static_cast<uint8_t>(low);
      lattice.join[i * n + j] = static_cast<uint8_t>(high);
    }
  }
  return true;
}

}  // namespace

std::optional<FiniteLattice> LatticeOfOrder(int n, const std::vector<uint8_t>& leq, std::vector<int>* labels) {
  // Elements sorted by the size of their down-set form a linear extension.
  std::vector<int> below(n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) below[i] += leq[j * n + i] ? 1 : 0;
  }
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return below[a] < below[b]; });
  FiniteLattice lattice;
  lattice.n = n;
  lattice.leq.assign(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) lattice.leq[i * n + j] = leq[order[i] * n + order[j]] ? 1 : 0;
  }
  for (int i = 0; i < n; ++i) {
    if (!lattice.Leq(0, i) || !lattice.Leq(i, n - 1)) return std::nullopt;
  }
  if (!FillMeetAndJoin(lattice)) return std::nullopt;
  if (labels != nullptr) *labels = order;
  lattice.chain = true;
  for (int i = 0; i + 1 < n; ++i) lattice.chain = lattice.chain && lattice.Leq(i, i + 1);
  return lattice;
}

FiniteLattice ProductLattice(const FiniteLattice& a, const FiniteLattice& b, std::vector<int>* labels) {
  const int n = a.n * b.n;
  std::vector<uint8_t> leq(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) leq[i * n + j] = a.Leq(i / b.n, j / b.n) && b.Leq(i % b.n, j % b.n);
  }
  return *LatticeOfOrder(n, leq, labels);
}

FiniteLattice OrdinalSum(const FiniteLattice& a, const FiniteLattice& b) {
  const int n = a.n + b.n - 1;
  // Elements 0 .. a.n - 1 are a's; a.n - 1 .. n - 1 are b's (shifted by a.n - 1).
  std::vector<uint8_t> leq(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const bool i_low = i < a.n, j_low = j < a.n;
      if (i_low && j_low) {
        leq[i * n + j] = a.Leq(i, j);
      } else if (!i_low && !j_low) {
        leq[i * n + j] = b.Leq(i - a.n + 1, j - a.n + 1);
      } else {
        leq[i * n + j] = i_low ? 1 : 0;  // all of a lies below the rest of b
      }
    }
  }
  return *LatticeOfOrder(n, leq);
}

FiniteLattice HorizontalSum(const FiniteLattice& a, const FiniteLattice& b) {
  // 0 and n - 1 are the shared bottom and top; a's inner elements, then b's.
  const int n = a.n + b.n - 2;
  const int a_inner = a.n - 2;
  const auto part = [&](int i) { return i == 0 || i == n - 1 ? 0 : (i <= a_inner ? 1 : 2); };
  const auto in_a = [&](int i) { return i == 0 ? 0 : (i == n - 1 ? a.n - 1 : i); };
  const auto in_b = [&](int i) { return i == 0 ? 0 : (i == n - 1 ? b.n - 1 : i - a_inner); };
  std::vector<uint8_t> leq(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const int pi = part(i), pj = part(j);
      if (pi == 2 || pj == 2) {
        leq[i * n + j] = (pi != 1 && pj != 1) ? b.Leq(in_b(i), in_b(j)) : (i == 0 || j == n - 1);
      } else {
        leq[i * n + j] = a.Leq(in_a(i), in_a(j));
      }
    }
  }
  return *LatticeOfOrder(n, leq);
}

std::vector<NamedLattice> ConstructedLattices(int n, int most) {
  std::vector<NamedLattice> out;
  std::set<std::string> seen;  // orders already listed, as labelled
  const auto add = [&](FiniteLattice lattice, std::string recipe) {
    if (static_cast<int>(out.size()) >= most || lattice.n != n || lattice.chain) return;
    if (!seen.insert(std::string(lattice.leq.begin(), lattice.leq.end())).second) return;
    out.push_back({std::move(lattice), std::move(recipe)});
  };
  const auto chain_around = [&](const FiniteLattice& core, const std::string& name, int below) {
    // `below` elements of chain under the core, the rest above it.
    const int above = n - core.n - below;
    if (above < 0 || static_cast<int>(out.size()) >= most) return;
    FiniteLattice lattice = core;
    std::string recipe = name;
    if (below > 0) {
      lattice = OrdinalSum(ChainLattice(below + 1), lattice);
      recipe = "chain " + std::to_string(below + 1) + " + " + recipe;
    }
    if (above > 0) {
      lattice = OrdinalSum(lattice, ChainLattice(above + 1));
      recipe += " + chain " + std::to_string(above + 1);
    }
    add(std::move(lattice), std::move(recipe));
  };
  // Small cores between chains: the square and the other lattices of 5 and 6
  // elements, at every height.
  std::vector<NamedLattice> cores;
  for (int k = 4; k <= std::min(n, 6); ++k) {
    std::vector<FiniteLattice> all = LatticesUpToIsomorphism(k);
    for (size_t i = 1; i < all.size(); ++i) cores.push_back({all[i], "lattice " + std::to_string(k) + "." + std::to_string(i)});
  }
  for (const NamedLattice& core : cores) {
    for (int below = 0; core.Lattice.n + below <= n; ++below) chain_around(core.Lattice, core.Recipe, below);
  }
  // Products of two chains, whole or with chains around them.
  for (int a = 2; a * 2 <= n && static_cast<int>(out.size()) < most; ++a) {
    for (int b = a; a * b <= n && static_cast<int>(out.size()) < most; ++b) {
      const FiniteLattice product = ProductLattice(ChainLattice(a), ChainLattice(b));
      for (int below = 0; a * b + below <= n; ++below) {
        chain_around(product, std::to_string(a) + "x" + std::to_string(b), below);
      }
    }
  }
  // Products of three chains of 2 and 3 elements.
  for (int a = 2; a <= 3; ++a) {
    const FiniteLattice cube = ProductLattice(ProductLattice(ChainLattice(2), ChainLattice(2)), ChainLattice(a));
    for (int below = 0; cube.n + below <= n; ++below) chain_around(cube, "2x2x" + std::to_string(a), below);
  }
  // Horizontal sums of two chains (two branches between 0 and 1).
  for (int a = 3; a + a - 2 <= n; ++a) {
    const int b = n - a + 2;
    add(HorizontalSum(ChainLattice(a), ChainLattice(b)),
        "chains " + std::to_string(a) + " | " + std::to_string(b));
  }
  return out;
}
