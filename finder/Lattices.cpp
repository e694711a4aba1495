// Lattice enumeration: naturally labelled posets on the inner elements are
// grown one element at a time (each new element's strict down-set is a
// down-closed set of the elements before it), closed by 0 and 1, kept when
// every pair has a meet, and deduplicated by the least order matrix over all
// relabellings of the inner elements up to 8 elements (a few thousand posets
// and 720 relabellings each). Above that the relabellings are too many to try
// one by one, and the class key of the lattice's algebra tells isomorphic
// lattices apart instead.

#include "finder/Lattices.h"

#include <memory>

#include "classes/AlgebraClass.h"
#include "model/EQAlgebra.h"
#include "finder/LatticeAugmentation.h"
#include "model/Settings.h"

#include <algorithm>
#include <functional>
#include <map>
#include <numeric>
#include <string>

namespace {

// Up to this size isomorphic lattices are found by trying every relabelling.
constexpr int kRelabellingLimit = kQuickLatticeLimit;
// From this size on the lattices come from canonical augmentation; below it,
// from growing every poset (the order and labellings the small sizes have
// always had).
constexpr int kAugmentationFrom = 8;

// Fills meet and join from leq; false when some pair lacks a meet or a join.
bool CompleteLattice(FiniteLattice& lattice) {
  const int n = lattice.n;
  lattice.meet.assign(n * n, 0);
  lattice.join.assign(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      int best = -1;
      int best_up = -1;
      for (int k = 0; k < n; ++k) {
        if (lattice.Leq(k, i) && lattice.Leq(k, j) && (best < 0 || lattice.Leq(best, k))) best = k;
        if (lattice.Leq(i, k) && lattice.Leq(j, k) && (best_up < 0 || lattice.Leq(k, best_up))) best_up = k;
      }
      for (int k = 0; k < n; ++k) {
        if (lattice.Leq(k, i) && lattice.Leq(k, j) && !lattice.Leq(k, best)) return false;
        if (lattice.Leq(i, k) && lattice.Leq(j, k) && !lattice.Leq(best_up, k)) return false;
      }
      lattice.meet[i * n + j] = static_cast<uint8_t>(best);
      lattice.join[i * n + j] = static_cast<uint8_t>(best_up);
    }
  }
  return true;
}

// The order of the inner elements as a bit string under a relabelling.
std::string InnerCode(const FiniteLattice& lattice, const std::vector<int>& image) {
  const int m = lattice.n - 2;
  std::string code(static_cast<size_t>(m * m), '0');
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= m; ++j) {
      if (lattice.Leq(i, j)) code[(image[i] - 1) * m + (image[j] - 1)] = '1';
    }
  }
  return code;
}

std::string CanonicalCode(const FiniteLattice& lattice) {
  const int m = lattice.n - 2;
  std::vector<int> image(lattice.n);
  std::iota(image.begin(), image.end(), 0);
  std::string best = InnerCode(lattice, image);
  std::vector<int> inner(m);
  std::iota(inner.begin(), inner.end(), 1);
  while (std::next_permutation(inner.begin(), inner.end())) {
    for (int i = 0; i < m; ++i) image[i + 1] = inner[i];
    best = std::min(best, InnerCode(lattice, image));
  }
  return best;
}

// The lattice as an algebra whose infimum and product are the meet and whose
// equality is the identity relation: its isomorphisms are exactly the
// lattice's. Runs under settings without delta and maximum.
std::string LatticeKey(const FiniteLattice& lattice, TEQAlgebra& algebra) {
  const int n = lattice.n;
  algebra.Init(n);
  const auto ch = [&](int e) { return algebra.ElementList[e]; };
  int pair = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = x + 1; y < n; ++y, ++pair) {
      algebra.InfimumGene.Entries[pair] = {ch(x), ch(y), ch(lattice.Meet(x, y))};
      algebra.FEqualityGene.Entries[pair] = {ch(x), ch(y), '0'};
    }
  }
  int cell = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) algebra.ProductGene.Entries[cell++] = {ch(x), ch(y), ch(lattice.Meet(x, y))};
  }
  return ClassifyAlgebra(algebra).Key;
}

// Whether inner element `next` has a meet with every earlier one. A later
// element is never below an earlier one, so the common lower bounds of two
// elements are fixed once both exist: a pair without a greatest one (0 is
// below everything) never gets a meet, and the branch can be dropped.
bool MeetsWithEarlier(int next, const std::vector<std::vector<uint8_t>>& below) {
  const auto leq = [&](int k, int j) { return k == j || below[j][k] != 0; };
  for (int j = 1; j < next; ++j) {
    const auto common = [&](int k) { return below[next][k] != 0 && leq(k, j); };
    bool any = false, greatest_found = false;
    for (int g = 1; g < next && !greatest_found; ++g) {
      if (!common(g)) continue;
      any = true;
      bool above_all = true;
      for (int k = 1; k < next && above_all; ++k) above_all = !common(k) || leq(k, g);
      greatest_found = above_all;
    }
    if (any && !greatest_found) return false;
  }
  return true;
}

// Grows the strict down-sets of inner elements 1 .. m, one element at a time.
void GrowPosets(int m, int next, std::vector<std::vector<uint8_t>>& below,
                const std::function<void()>& emit);

}  // namespace

FiniteLattice ChainLattice(int n) {
  FiniteLattice chain;
  chain.n = n;
  chain.chain = true;
  chain.leq.assign(n * n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = i; j < n; ++j) chain.leq[i * n + j] = 1;
  }
  CompleteLattice(chain);
  return chain;
}

std::vector<FiniteLattice> LatticesUpToIsomorphism(int n) {
  std::vector<FiniteLattice> result;
  if (n < 2 || n > kLatticeEnumerationLimit) return result;
  if (n >= kAugmentationFrom) {
    // Too many posets to grow one by one (8 elements took 0.15 s, 10 took 11 s):
    // canonical augmentation, the chain first and the rest in the order of
    // their canonical forms.
    std::map<std::string, FiniteLattice> by_form;
    for (FiniteLattice& lattice : LatticesByAugmentation(n)) {
      if (lattice.chain) {
        result.insert(result.begin(), std::move(lattice));
      } else {
        std::string form = CanonicalOrderForm(lattice);
        by_form.emplace(std::move(form), std::move(lattice));
      }
    }
    for (auto& entry : by_form) result.push_back(std::move(entry.second));
    return result;
  }
  result.push_back(ChainLattice(n));
  if (n <= 3) return result;
  const int m = n - 2;
  SearchSettings plain;
  plain.ElementCount = n;
  plain.UpdateGeneCount();
  const ScopedSettings scoped(plain);
  auto scratch = std::make_unique<TEQAlgebra>();
  const bool relabel = n <= kRelabellingLimit;
  const auto code_of = [&](const FiniteLattice& lattice) {
    return relabel ? CanonicalCode(lattice) : LatticeKey(lattice, *scratch);
  };
  std::map<std::string, FiniteLattice> by_code;
  const std::string chain_code = code_of(result.front());
  // below[i][j] = 1 when inner j < inner i (1-based inner numbers, j < i).
  std::vector<std::vector<uint8_t>> below(m + 1, std::vector<uint8_t>(m + 1, 0));
  GrowPosets(m, 1, below, [&]() {
    FiniteLattice lattice;
    lattice.n = n;
    lattice.leq.assign(n * n, 0);
    for (int i = 0; i < n; ++i) {
      lattice.leq[i] = 1;                  // 0 <= i
      lattice.leq[i * n + (n - 1)] = 1;    // i <= 1
      lattice.leq[i * n + i] = 1;
    }
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j < i; ++j) {
        if (below[i][j]) lattice.leq[j * n + i] = 1;
      }
    }
    if (!CompleteLattice(lattice)) return;
    std::string code = code_of(lattice);
    if (code == chain_code) return;
    by_code.emplace(std::move(code), std::move(lattice));
  });
  for (auto& entry : by_code) result.push_back(std::move(entry.second));
  return result;
}

namespace {

void GrowPosets(int m, int next, std::vector<std::vector<uint8_t>>& below,
                const std::function<void()>& emit) {
  if (next > m) {
    emit();
    return;
  }
  // Every subset of 1 .. next-1 that is closed downwards becomes the strict down-set of `next`.
  const int earlier = next - 1;
  for (uint32_t mask = 0; mask < (1u << earlier); ++mask) {
    bool closed = true;
    for (int j = 1; j <= earlier && closed; ++j) {
      if (!(mask >> (j - 1) & 1u)) continue;
      for (int k = 1; k < j; ++k) {
        if (below[j][k] && !(mask >> (k - 1) & 1u)) {
          closed = false;
          break;
        }
      }
    }
    if (!closed) continue;
    for (int j = 1; j <= earlier; ++j) below[next][j] = static_cast<uint8_t>(mask >> (j - 1) & 1u);
    if (!MeetsWithEarlier(next, below)) continue;
    GrowPosets(m, next + 1, below, emit);
  }
  for (int j = 1; j <= earlier; ++j) below[next][j] = 0;
}

// How many elements lie below and above each one (itself included).
struct BelowAndAbove {
  std::vector<int> below, above;
};

BelowAndAbove CountBelowAndAbove(const FiniteLattice& lattice) {
  const int n = lattice.n;
  BelowAndAbove counts{std::vector<int>(n, 0), std::vector<int>(n, 0)};
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      counts.below[i] += lattice.Leq(j, i) ? 1 : 0;
      counts.above[i] += lattice.Leq(i, j) ? 1 : 0;
    }
  }
  return counts;
}

// An automorphism keeps how many elements lie below and above each one;
// without that test a long chain above a small lattice is tried every way.
std::vector<int> RankSignature(const FiniteLattice& lattice) {
  const int n = lattice.n;
  const BelowAndAbove counts = CountBelowAndAbove(lattice);
  std::vector<int> signature(n, 0);
  for (int i = 0; i < n; ++i) signature[i] = counts.below[i] + (n + 1) * counts.above[i];
  return signature;
}

void ExtendAutomorphism(const FiniteLattice& lattice, const std::vector<int>& signature, int next,
                        std::vector<uint8_t>& image, std::vector<uint8_t>& used, std::vector<uint8_t>& out) {
  const int n = lattice.n;
  if (next == n - 1) {
    out.insert(out.end(), image.begin(), image.end());
    return;
  }
  for (int candidate = 1; candidate < n - 1; ++candidate) {
    if (used[candidate] || signature[candidate] != signature[next]) continue;
    bool keeps = true;
    for (int i = 1; i < next && keeps; ++i) {
      keeps = lattice.Leq(i, next) == lattice.Leq(image[i], candidate) &&
              lattice.Leq(next, i) == lattice.Leq(candidate, image[i]);
    }
    if (!keeps) continue;
    image[next] = static_cast<uint8_t>(candidate);
    used[candidate] = 1;
    ExtendAutomorphism(lattice, signature, next + 1, image, used, out);
    used[candidate] = 0;
  }
}

// Extends an antitone involution, image[i] for the elements assigned so far
// (-1 elsewhere), to the elements from next on; true when that succeeds.
bool ExtendAntitoneInvolution(const FiniteLattice& lattice, const BelowAndAbove& counts, int next,
                              std::vector<int>& image) {
  const int n = lattice.n;
  while (next < n && image[next] >= 0) ++next;
  if (next == n) return true;
  for (int partner = next; partner < n; ++partner) {
    if (image[partner] >= 0 || counts.below[partner] != counts.above[next] || counts.above[partner] != counts.below[next]) {
      continue;
    }
    image[next] = partner;
    image[partner] = next;
    bool reverses = true;
    for (int x = 0; x < n && reverses; ++x) {
      for (int y = 0; y < n && reverses; ++y) {
        if (image[x] >= 0 && image[y] >= 0) reverses = lattice.Leq(x, y) == lattice.Leq(image[y], image[x]);
      }
    }
    if (reverses && ExtendAntitoneInvolution(lattice, counts, next + 1, image)) return true;
    image[next] = image[partner] = -1;
  }
  return false;
}

}  // namespace

std::vector<uint8_t> LatticeAutomorphisms(const FiniteLattice& lattice) {
  const int n = lattice.n;
  std::vector<uint8_t> identity(n);
  std::iota(identity.begin(), identity.end(), 0);
  if (lattice.chain || n <= 3) return identity;
  std::vector<uint8_t> out;
  std::vector<uint8_t> image = identity;
  std::vector<uint8_t> used(n, 0);
  ExtendAutomorphism(lattice, RankSignature(lattice), 1, image, used, out);
  // The candidates are tried in increasing order, so the identity comes first.
  return out;
}

bool HasAntitoneInvolution(const FiniteLattice& lattice) {
  std::vector<int> image(lattice.n, -1);
  return ExtendAntitoneInvolution(lattice, CountBelowAndAbove(lattice), 0, image);
}
