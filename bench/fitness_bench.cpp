// UpdateFitness per second on random algebras of 5, 12 and 28 elements,
// (a) with default settings and (b) with delta and maximum in play and every
// optional property required (colourfulness targets off). The figure to read
// is items_per_second: evaluations per second on one core.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/EQAlgebra.h"
#include "model/Random.h"
#include "model/Settings.h"

namespace {

constexpr int kPoolSize = 16;

void ApplySettings(int n, bool everything) {
  Settings = SearchSettings{};
  Settings.ElementCount = n;
  if (!everything) return;
  Settings.DeltaEnabled = Settings.MaximumEnabled = true;
  Settings.UpdateGeneCount();
  Settings.WantGoodness = Settings.WantInvolutive = Settings.WantSemiSeparated = true;
  Settings.WantSeparated = Settings.WantResiduated = Settings.WantCommutative = true;
  Settings.WantLinear = Settings.WantLattice = Settings.WantPrelinear = true;
  Settings.WantSupProdDistributivity = Settings.WantEqualityOverEqProd = true;
}

void UpdateFitnessBench(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool everything = state.range(1) != 0;
  ApplySettings(n, everything);
  RandSeed(12345);
  std::vector<std::unique_ptr<TEQAlgebra>> pool;
  for (int i = 0; i < kPoolSize; ++i) {
    pool.push_back(std::make_unique<TEQAlgebra>());
    pool.back()->BuildRandom(n);
  }
  size_t next = 0;
  double sum = 0.0;
  for (auto _ : state) {
    TEQAlgebra& a = *pool[next];
    next = (next + 1) % pool.size();
    a.UpdateFitness();
    sum += a.Fitness;
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(everything ? "delta+max, all required" : "default settings");
  Settings = SearchSettings{};
}

}  // namespace

BENCHMARK(UpdateFitnessBench)
    ->ArgNames({"n", "all"})
    ->Args({5, 0})
    ->Args({12, 0})
    ->Args({28, 0})
    ->Args({5, 1})
    ->Args({12, 1})
    ->Args({28, 1})
    ->Unit(benchmark::kMicrosecond);
