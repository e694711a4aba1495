// The Hasse diagram of a 28-element winner, as the Lattice tab makes it on
// every browse step: the meet read through the lookups, the meet laws
// checked, the drawing laid out. Winners: the Goedel chain of 28 elements
// and the product of the Goedel chains of 4 and 7 elements (a 28-element
// lattice of ten ranks, four elements wide). Also the layout alone of the
// widest 28-element lattice, 26 atoms between 0 and 1.

#include <benchmark/benchmark.h>

#include <vector>

#include "formats/ExchangeTables.h"
#include "diagram/HasseLayout.h"

namespace {

// The Goedel chain on ranks 0 .. n-1: meet and product min, x ~ y = min unless equal.
ExchangeTables GoedelTables(int n) {
  ExchangeTables t;
  t.Size = n;
  for (auto* table : {&t.Meet, &t.Prod, &t.Eq}) table->resize(n * n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const auto low = static_cast<uint8_t>(std::min(x, y));
      t.Meet[x * n + y] = t.Prod[x * n + y] = low;
      t.Eq[x * n + y] = x == y ? static_cast<uint8_t>(n - 1) : low;
    }
  return t;
}

// The direct product: pair (i, j) at position i * b.Size + j.
ExchangeTables Product(const ExchangeTables& a, const ExchangeTables& b) {
  ExchangeTables t;
  const int nb = b.Size, n = a.Size * nb;
  t.Size = n;
  for (auto* table : {&t.Meet, &t.Prod, &t.Eq}) table->resize(n * n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const int ax = x / nb, bx = x % nb, ay = y / nb, by = y % nb;
      const auto pair = [&](const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
        return static_cast<uint8_t>(first[ax * a.Size + ay] * nb + second[bx * nb + by]);
      };
      t.Meet[x * n + y] = pair(a.Meet, b.Meet);
      t.Prod[x * n + y] = pair(a.Prod, b.Prod);
      t.Eq[x * n + y] = pair(a.Eq, b.Eq);
    }
  return t;
}

void BrowseStep(benchmark::State& state, const ExchangeTables& tables) {
  TEQAlgebra winner = AlgebraOfTables(tables);
  if (winner.Evaluate() != 1.0) {
    state.SkipWithError("not a winner");
    return;
  }
  for (auto _ : state) {
    const MeetTable meet = MeetOfAlgebra(winner);
    if (!MeetFault(meet).empty()) state.SkipWithError("not a meet");
    const HasseLayout layout = LayoutHasse(meet);
    benchmark::DoNotOptimize(layout.X.data());
  }
}

void BM_BrowseStepChain28(benchmark::State& state) { BrowseStep(state, GoedelTables(28)); }
void BM_BrowseStepProduct4x7(benchmark::State& state) { BrowseStep(state, Product(GoedelTables(4), GoedelTables(7))); }

void BM_LayoutAtoms26(benchmark::State& state) {
  const int n = 28;
  std::vector<uint8_t> meet(n * n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) meet[x * n + y] = static_cast<uint8_t>(x == y || y == n - 1 ? x : x == n - 1 ? y : 0);
  const MeetTable table = MeetOfPositions(n, meet);
  for (auto _ : state) benchmark::DoNotOptimize(LayoutHasse(table).X.data());
}

}  // namespace

BENCHMARK(BM_BrowseStepChain28)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BrowseStepProduct4x7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LayoutAtoms26)->Unit(benchmark::kMicrosecond);
