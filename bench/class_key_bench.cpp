// ClassifyAlgebra (class key and automorphism order) on algebras of 5, 12
// and 28 elements: (a) random candidates as the search builds them, (b) the
// Goedel chain (rigid, refined at once), (c) the lattice of n - 2 atoms with
// product the meet, every permutation of the atoms an automorphism (the
// largest group there is). The figure to read is the time per item.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "classes/AlgebraClass.h"
#include "model/EQAlgebra.h"
#include "model/Random.h"
#include "model/Settings.h"

namespace {

constexpr int kPoolSize = 16;

enum class Kind { Random, Chain, Atoms };

// Rank of a list position: 0 for '0', n - 1 for '1', the letters between.
char AtRank(const TEQAlgebra& a, int r) { return a.ElementList[r]; }

void FillPairs(TEQAlgebra& a, PairGene& gene, bool all_pairs, char (*value)(const TEQAlgebra&, int, int)) {
  const int n = a.Size;
  int k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = all_pairs ? 0 : i + 1; j < n; ++j) gene.Entries[k++] = {AtRank(a, i), AtRank(a, j), value(a, i, j)};
  }
  gene.Count = k;
}

std::unique_ptr<TEQAlgebra> Build(Kind kind, int n) {
  auto a = std::make_unique<TEQAlgebra>();
  if (kind == Kind::Random) {
    a->BuildRandom(n);
    return a;
  }
  a->Init(n);
  const int top = n - 1;
  if (kind == Kind::Chain) {
    const auto min = [](const TEQAlgebra& b, int i, int j) { return AtRank(b, i < j ? i : j); };
    FillPairs(*a, a->InfimumGene, false, min);
    FillPairs(*a, a->ProductGene, true, min);
    FillPairs(*a, a->FEqualityGene, false, min);
  } else {
    const auto meet = [](const TEQAlgebra& b, int i, int j) {
      const int t = b.Size - 1;
      return AtRank(b, i == j ? i : (i == t ? j : (j == t ? i : 0)));
    };
    const auto equal = [](const TEQAlgebra& b, int i, int j) {
      const int t = b.Size - 1;
      return AtRank(b, j == t ? i : (i == t ? j : 0));
    };
    FillPairs(*a, a->InfimumGene, false, meet);
    FillPairs(*a, a->ProductGene, true, meet);
    FillPairs(*a, a->FEqualityGene, false, equal);
  }
  a->DeltaGene.Count = n;
  for (int i = 0; i < n; ++i) a->DeltaGene.Entries[i] = {AtRank(*a, i), AtRank(*a, i == top ? top : 0)};
  return a;
}

void ClassKeyBench(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto kind = static_cast<Kind>(state.range(1));
  Settings = SearchSettings{};
  Settings.ElementCount = n;
  RandSeed(2024);
  std::vector<std::unique_ptr<TEQAlgebra>> pool;
  for (int i = 0; i < (kind == Kind::Random ? kPoolSize : 1); ++i) pool.push_back(Build(kind, n));
  size_t next = 0;
  BigCount automorphisms = 0;
  for (auto _ : state) {
    const AlgebraClass c = ClassifyAlgebra(*pool[next]);
    next = (next + 1) % pool.size();
    automorphisms += c.Automorphisms;
    benchmark::DoNotOptimize(c.Key.data());
  }
  benchmark::DoNotOptimize(automorphisms);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(kind == Kind::Random ? "random candidates" : (kind == Kind::Chain ? "Goedel chain" : "n - 2 atoms"));
  Settings = SearchSettings{};
}

}  // namespace

BENCHMARK(ClassKeyBench)
    ->ArgNames({"n", "kind"})
    ->ArgsProduct({{5, 12, 28}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);
