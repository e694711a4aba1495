// Closed-form algebras and the quick look that turns most of them down before
// the model evaluates the rest.

#include "finder/KnownAlgebras.h"

#include <algorithm>
#include <cstdlib>

#include "finder/LatticeConstructions.h"

namespace {

std::vector<uint8_t> BaazDelta(int n) {
  std::vector<uint8_t> delta(n, 0);
  delta[n - 1] = static_cast<uint8_t>(n - 1);
  return delta;
}

// Properties of one or two variables that settle a candidate without the
// full evaluation; true when it may still be a winner.
bool PassesQuickLook(const TableAlgebra& t, const SearchSettings& s) {
  if (!(s.OptionalWeight > 0)) return true;
  const FiniteLattice& l = t.Lattice;
  const int n = l.n, top = n - 1;
  const auto eq = [&](int x, int y) { return t.Equality[x * n + y]; };
  const auto holds = [&](bool want, bool forbid, bool value) {
    return forbid ? !value : (!want || value);
  };
  bool good = true, involutive = true, semi = true, separated = true, commutative = true;
  for (int x = 0; x < n; ++x) {
    good = good && eq(x, top) == x;
    involutive = involutive && eq(eq(x, 0), 0) == x;
    semi = semi && (x == top || eq(x, top) != top);
    for (int y = 0; y < n; ++y) {
      separated = separated && (x == y || eq(x, y) != top);
      commutative = commutative && t.Product[x * n + y] == t.Product[y * n + x];
    }
  }
  std::vector<uint8_t> eq_seen(n, 0), prod_seen(n, 0);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      if (x != y) eq_seen[eq(x, y)] = 1;
      if (x != 0 && x != top && y != 0 && y != top) prod_seen[t.Product[x * n + y]] = 1;
    }
  }
  const int eq_colours = static_cast<int>(std::count(eq_seen.begin(), eq_seen.end(), 1));
  const int prod_colours = static_cast<int>(std::count(prod_seen.begin(), prod_seen.end(), 1));
  return holds(s.WantGoodness, s.WantNonGoodness, good) && holds(s.WantInvolutive, s.WantNonInvolutive, involutive) &&
         holds(s.WantSemiSeparated, s.WantNonSemiSeparated, semi) &&
         holds(s.WantSeparated, s.WantNonSeparated, separated) &&
         holds(s.WantCommutative, s.WantNonCommutative, commutative) &&
         holds(s.WantLinear, s.WantNonLinear, l.chain) && eq_colours >= s.ColorfulnessFEq &&
         prod_colours >= s.ColorfulnessProd;
}

}  // namespace

std::optional<TableAlgebra> GoedelAlgebra(const FiniteLattice& lattice, const std::string& recipe) {
  const int n = lattice.n;
  // x -> y: the greatest z with z ^ x <= y, when the join of all such z is one.
  std::vector<uint8_t> implies(n * n);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      int z = 0;
      for (int u = 0; u < n; ++u) {
        if (lattice.Leq(lattice.Meet(u, x), y)) z = lattice.Join(z, u);
      }
      if (!lattice.Leq(lattice.Meet(z, x), y)) return std::nullopt;
      implies[x * n + y] = static_cast<uint8_t>(z);
    }
  }
  TableAlgebra t;
  t.Lattice = lattice;
  t.Product = lattice.meet;
  t.Equality.resize(n * n);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) t.Equality[x * n + y] = lattice.Meet(implies[x * n + y], implies[y * n + x]);
  }
  t.Delta = BaazDelta(n);
  t.Recipe = "Goedel " + recipe;
  return t;
}

TableAlgebra LukasiewiczChain(int n) {
  TableAlgebra t;
  t.Lattice = ChainLattice(n);
  t.Product.resize(n * n);
  t.Equality.resize(n * n);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      t.Product[x * n + y] = static_cast<uint8_t>(std::max(0, x + y - (n - 1)));
      t.Equality[x * n + y] = static_cast<uint8_t>(n - 1 - std::abs(x - y));
    }
  }
  t.Delta = BaazDelta(n);
  t.Recipe = "Lukasiewicz chain " + std::to_string(n);
  return t;
}

TableAlgebra ProductAlgebra(const TableAlgebra& a, const TableAlgebra& b) {
  std::vector<int> labels;  // new index -> a-index * b.n + b-index
  TableAlgebra t;
  t.Lattice = ProductLattice(a.Lattice, b.Lattice, &labels);
  const int n = t.Lattice.n, bn = b.Lattice.n;
  std::vector<int> index_of(n);
  for (int i = 0; i < n; ++i) index_of[labels[i]] = i;
  const auto pair = [&](int ia, int ib) { return static_cast<uint8_t>(index_of[ia * bn + ib]); };
  t.Product.resize(n * n);
  t.Equality.resize(n * n);
  t.Delta.resize(n);
  for (int x = 0; x < n; ++x) {
    const int xa = labels[x] / bn, xb = labels[x] % bn;
    t.Delta[x] = pair(a.Delta[xa], b.Delta[xb]);
    for (int y = 0; y < n; ++y) {
      const int ya = labels[y] / bn, yb = labels[y] % bn;
      t.Product[x * n + y] = pair(a.Product[xa * a.Lattice.n + ya], b.Product[xb * bn + yb]);
      t.Equality[x * n + y] = pair(a.Equality[xa * a.Lattice.n + ya], b.Equality[xb * bn + yb]);
    }
  }
  t.Recipe = "(" + a.Recipe + ") x (" + b.Recipe + ")";
  return t;
}

std::vector<TableAlgebra> KnownCandidates(int n) {
  std::vector<TableAlgebra> out;
  if (n < 2) return out;
  const auto goedel_chain = [](int k) { return *GoedelAlgebra(ChainLattice(k), "chain " + std::to_string(k)); };
  out.push_back(goedel_chain(n));
  out.push_back(LukasiewiczChain(n));
  for (int a = 2; a * a <= n; ++a) {
    if (n % a != 0) continue;
    const int b = n / a;
    for (const TableAlgebra& left : {LukasiewiczChain(a), goedel_chain(a)}) {
      for (const TableAlgebra& right : {LukasiewiczChain(b), goedel_chain(b)}) out.push_back(ProductAlgebra(left, right));
    }
  }
  for (const NamedLattice& named : ConstructedLattices(n, 24)) {
    if (auto goedel = GoedelAlgebra(named.Lattice, named.Recipe)) out.push_back(std::move(*goedel));
  }
  return out;
}

void FillTables(const TableAlgebra& table, const std::vector<uint8_t>& delta, TEQAlgebra& out) {
  const FiniteLattice& lattice = table.Lattice;
  const int n = lattice.n;
  out.Init(n);
  const auto ch = [&](int e) { return out.ElementList[e]; };
  int k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = x + 1; y < n; ++y) out.InfimumGene.Entries[k++] = {ch(x), ch(y), ch(lattice.Meet(x, y))};
  }
  k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) out.ProductGene.Entries[k++] = {ch(x), ch(y), ch(table.Product[x * n + y])};
  }
  k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = x + 1; y < n; ++y) out.FEqualityGene.Entries[k++] = {ch(x), ch(y), ch(table.Equality[x * n + y])};
  }
  const std::vector<uint8_t>& d = delta.empty() ? table.Delta : delta;
  if (Settings.DeltaEnabled) {
    for (int x = 0; x < n; ++x) out.DeltaGene.Entries[x] = {ch(x), ch(d[x])};
  } else if (Settings.MaximumEnabled) {
    for (int x = 0; x < n; ++x) out.DeltaGene.Entries[x] = {ch(x), x == n - 1 ? '1' : '0'};
  } else {
    out.DeltaGene.Count = 0;
  }
  if (Settings.MaximumEnabled) {
    k = 0;
    for (int x = 0; x < n; ++x) {
      for (int y = 0; y < n; ++y) out.MaximumGene.Entries[k++] = {ch(x), ch(y), '\0'};
    }
  }
}

std::shared_ptr<TEQAlgebra> WinnerOf(const TableAlgebra& table, const std::vector<uint8_t>& delta) {
  if (table.Lattice.n != Settings.ElementCount || !PassesQuickLook(table, Settings)) return nullptr;
  auto algebra = std::make_shared<TEQAlgebra>();
  FillTables(table, delta, *algebra);
  algebra->Fitness = algebra->Evaluate();
  if (algebra->Fitness != 1.0) return nullptr;
  algebra->BuildCanonicalText();
  return algebra;
}

std::optional<TableAlgebra> TablesOf(const TEQAlgebra& algebra) {
  const int n = algebra.Size;
  const auto ch = [&](int e) { return algebra.ElementList[e]; };
  std::vector<int> index(256, 0);
  for (int e = 0; e < n; ++e) index[static_cast<unsigned char>(ch(e))] = e;
  std::vector<uint8_t> leq(n * n);
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) leq[x * n + y] = algebra.LessOrEqual(ch(x), ch(y)) ? 1 : 0;
  }
  std::vector<int> labels;  // new index -> list position
  std::optional<FiniteLattice> lattice = LatticeOfOrder(n, leq, &labels);
  if (!lattice) return std::nullopt;
  std::vector<uint8_t> relabel(n);
  for (int i = 0; i < n; ++i) relabel[labels[i]] = static_cast<uint8_t>(i);
  const auto value = [&](char c) { return relabel[index[static_cast<unsigned char>(c)]]; };
  TableAlgebra t;
  t.Lattice = std::move(*lattice);
  t.Product.resize(n * n);
  t.Equality.resize(n * n);
  t.Delta.resize(n);
  for (int x = 0; x < n; ++x) {
    const char cx = ch(labels[x]);
    t.Delta[x] = static_cast<uint8_t>(Settings.DeltaEnabled ? value(algebra.Delta(cx)) : (x == n - 1 ? n - 1 : 0));
    for (int y = 0; y < n; ++y) {
      const char cy = ch(labels[y]);
      t.Product[x * n + y] = value(algebra.Product(cx, cy));
      t.Equality[x * n + y] = value(algebra.Equality(cx, cy));
    }
  }
  t.Recipe = "a winner of " + std::to_string(n) + " elements";
  return t;
}
