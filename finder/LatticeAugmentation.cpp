#include "finder/LatticeAugmentation.h"

#include <nauty/nauty.h>
#include <nauty/nautinv.h>

#include <functional>
#include <set>

namespace {

constexpr int kMaxAugmentedSize = 11;

// The order as a digraph (an arc from each element to every one above it),
// canonically labelled: the canonical graph, and the orbits and canonical
// order (lab) of the elements.
struct Labelling {
  std::string form;
  std::vector<int> orbits, lab;
};

Labelling Canonical(const FiniteLattice& lattice) {
  const int n = lattice.n;
  const int m = SETWORDSNEEDED(n);
  std::vector<graph> g(static_cast<size_t>(m) * n, 0), canon(static_cast<size_t>(m) * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (i != j && lattice.Leq(i, j)) ADDONEARC(g.data(), i, j, m);
    }
  }
  std::vector<int> lab(n), ptn(n), orbits(n);
  DEFAULTOPTIONS_DIGRAPH(options);
  options.getcanon = TRUE;
  statsblk stats;
  densenauty(g.data(), lab.data(), ptn.data(), orbits.data(), &options, &stats, m, n, canon.data());
  Labelling out;
  out.form.assign(reinterpret_cast<const char*>(canon.data()), canon.size() * sizeof(graph));
  out.orbits = std::move(orbits);
  out.lab = std::move(lab);
  return out;
}

// Fills meet and join of a lattice given by its order.
void FillOperations(FiniteLattice& lattice) {
  const int n = lattice.n;
  lattice.meet.assign(n * n, 0);
  lattice.join.assign(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      int meet = 0, join = n - 1;
      for (int k = 0; k < n; ++k) {
        if (lattice.Leq(k, i) && lattice.Leq(k, j) && lattice.Leq(meet, k)) meet = k;
        if (lattice.Leq(i, k) && lattice.Leq(j, k) && lattice.Leq(k, join)) join = k;
      }
      lattice.meet[i * n + j] = static_cast<uint8_t>(meet);
      lattice.join[i * n + j] = static_cast<uint8_t>(join);
    }
  }
}

// The lattice with a new coatom c whose strict down-set is `below` (over the
// elements but the top): c takes index n - 1, the top moves to n.
FiniteLattice WithCoatom(const FiniteLattice& lattice, const std::vector<char>& below) {
  const int n = lattice.n;
  FiniteLattice out;
  out.n = n + 1;
  out.leq.assign((n + 1) * (n + 1), 0);
  const auto index = [&](int e) { return e == n - 1 ? n : e; };
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) out.leq[index(i) * (n + 1) + index(j)] = lattice.leq[i * n + j];
  }
  const int c = n - 1;
  out.leq[c * (n + 1) + c] = 1;
  out.leq[c * (n + 1) + n] = 1;
  for (int x = 0; x < n - 1; ++x) {
    if (below[x]) out.leq[x * (n + 1) + c] = 1;
  }
  FillOperations(out);
  return out;
}

// Whether c with strict down-set `below` has a meet with every element:
// the part of `below` under x has a greatest element.
bool MeetsExist(const FiniteLattice& lattice, const std::vector<char>& below) {
  const int n = lattice.n;
  for (int x = 1; x < n - 1; ++x) {
    int greatest = 0;
    for (int y = 0; y < n - 1; ++y) {
      if (below[y] && lattice.Leq(y, x) && lattice.Leq(greatest, y)) greatest = y;
    }
    for (int y = 0; y < n - 1; ++y) {
      if (below[y] && lattice.Leq(y, x) && !lattice.Leq(y, greatest)) return false;
    }
  }
  return true;
}

// Every down-set of the elements but the top that holds 0, element by element
// (an element may join when every element below it is in).
void DownSets(const FiniteLattice& lattice, int next, std::vector<char>& below,
              const std::function<void()>& emit) {
  const int n = lattice.n;
  if (next == n - 1) {
    emit();
    return;
  }
  below[next] = 0;
  if (next > 0) DownSets(lattice, next + 1, below, emit);
  bool allowed = true;
  for (int x = 0; x < next && allowed; ++x) allowed = !lattice.Leq(x, next) || below[x];
  if (allowed) {
    below[next] = 1;
    DownSets(lattice, next + 1, below, emit);
    below[next] = 0;
  }
}

// The children of a lattice kept by the canonical test, each class once.
void Augment(const FiniteLattice& parent, std::vector<FiniteLattice>& out) {
  std::set<std::string> seen;
  std::vector<char> below(parent.n, 0);
  DownSets(parent, 0, below, [&]() {
    if (!MeetsExist(parent, below)) return;
    FiniteLattice child = WithCoatom(parent, below);
    const int size = child.n;
    const Labelling labelling = Canonical(child);
    // The canonical coatom: the first coatom in the canonical order.
    int chosen = -1;
    for (int position = 0; position < size && chosen < 0; ++position) {
      const int e = labelling.lab[position];
      if (e == size - 1) continue;
      bool coatom = true;
      for (int y = 0; y < size - 1 && coatom; ++y) coatom = y == e || !child.Leq(e, y);
      if (coatom && e != size - 1) chosen = e;
    }
    if (labelling.orbits[chosen] != labelling.orbits[size - 2]) return;
    if (!seen.insert(labelling.form).second) return;
    out.push_back(std::move(child));
  });
}

FiniteLattice TwoElements() {
  FiniteLattice lattice;
  lattice.n = 2;
  lattice.leq = {1, 1, 0, 1};
  FillOperations(lattice);
  return lattice;
}

}  // namespace

std::vector<FiniteLattice> LatticesByAugmentation(int n) {
  if (n < 2 || n > kMaxAugmentedSize) return {};
  std::vector<FiniteLattice> level = {TwoElements()};
  for (int size = 2; size < n; ++size) {
    std::vector<FiniteLattice> next;
    for (const FiniteLattice& parent : level) Augment(parent, next);
    level = std::move(next);
  }
  for (FiniteLattice& lattice : level) {
    lattice.chain = true;
    for (int i = 0; i < n && lattice.chain; ++i) {
      for (int j = 0; j < n && lattice.chain; ++j) lattice.chain = lattice.Leq(i, j) || lattice.Leq(j, i);
    }
  }
  return level;
}

std::string CanonicalOrderForm(const FiniteLattice& lattice) { return Canonical(lattice).form; }
