// The exact finder on the sizes and settings people ask for: every class of
// a size, or the first winner of a large one. Each run is long, so each
// benchmark runs once per repetition; the label gives the class count. CPU
// time is that of the whole process (both worker threads).

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "finder/ExactFinder.h"
#include "model/Settings.h"

namespace {

enum class Demand {
  TwelveAxioms,
  GoodResiduated,
  LinearInvolutiveGoodResiduated,
  Colourful,
  NonLinear,
  InvolutiveNonLinear,
  MaxNonLattice,
  GoedelNonChain,  // Goodness + Residuated + Non-Linear + Non-Involutive
  DeltaMaxColourful,
  ChainColourful,  // colourfulness n - 1, * n / 2
  DeltaMaxEqProdGoodResiduated,
  GoodResiduatedInvolutive,
};

SearchSettings SettingsFor(Demand demand, int n) {
  SearchSettings s;
  s.ElementCount = n;
  s.WantGoodness = s.WantResiduated = demand == Demand::GoodResiduated || demand == Demand::LinearInvolutiveGoodResiduated;
  s.WantLinear = s.WantInvolutive = demand == Demand::LinearInvolutiveGoodResiduated;
  if (demand == Demand::GoodResiduatedInvolutive) s.WantGoodness = s.WantResiduated = s.WantInvolutive = true;
  if (demand == Demand::Colourful || demand == Demand::DeltaMaxColourful) {
    s.ColorfulnessFEq = 10;
    s.ColorfulnessProd = 4;
  }
  s.DeltaEnabled = demand == Demand::DeltaMaxColourful;
  s.MaximumEnabled = demand == Demand::DeltaMaxColourful || demand == Demand::MaxNonLattice;
  s.WantNonLattice = demand == Demand::MaxNonLattice;
  s.WantNonLinear = demand == Demand::NonLinear || demand == Demand::InvolutiveNonLinear || demand == Demand::GoedelNonChain;
  s.WantInvolutive = s.WantInvolutive || demand == Demand::InvolutiveNonLinear;
  if (demand == Demand::GoedelNonChain) s.WantGoodness = s.WantResiduated = s.WantNonInvolutive = true;
  if (demand == Demand::ChainColourful) {
    s.ColorfulnessFEq = n - 1;
    s.ColorfulnessProd = n / 2;
  }
  if (demand == Demand::DeltaMaxEqProdGoodResiduated) {
    s.DeltaEnabled = s.MaximumEnabled = s.WantEqualityOverEqProd = true;
    s.WantGoodness = s.WantResiduated = true;
  }
  s.UpdateGeneCount();
  return s;
}

void RunFinder(benchmark::State& state, Demand demand, int n, FinderMode mode) {
  FinderOptions options;
  options.Settings = SettingsFor(demand, n);
  options.Mode = mode;
  options.Threads = 2;
  std::atomic<bool> stop{false};
  FinderSummary summary;
  for (auto _ : state) {
    summary = RunExactFinder(options, {}, {}, stop);
    benchmark::DoNotOptimize(summary.Classes);
  }
  state.SetLabel(std::to_string(summary.Classes) + (summary.Complete ? " classes, complete" : " classes"));
}

}  // namespace

BENCHMARK_CAPTURE(RunFinder, all_twelve_axioms_n5, Demand::TwelveAxioms, 5, FinderMode::All)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, all_twelve_axioms_n6, Demand::TwelveAxioms, 6, FinderMode::Count)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, all_good_residuated_n7, Demand::GoodResiduated, 7, FinderMode::All)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, all_good_residuated_n8, Demand::GoodResiduated, 8, FinderMode::Count)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
// Delta's laws prune as its cells are decided, so few leaves are judged in
// vain: classes per CPU second = the label's classes / CPU time.
BENCHMARK_CAPTURE(RunFinder, count_delta_max_eqprod_good_residuated_n8, Demand::DeltaMaxEqProdGoodResiduated, 8,
                  FinderMode::Count)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
// A lattice with many automorphisms (0 < a < six atoms < b < 1 holds most of
// the classes) and the lattices an involution rules out.
BENCHMARK_CAPTURE(RunFinder, count_good_residuated_involutive_n10, Demand::GoodResiduatedInvolutive, 10,
                  FinderMode::Count)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, first_twelve_axioms_n28, Demand::TwelveAxioms, 28, FinderMode::First)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, first_good_residuated_n28, Demand::GoodResiduated, 28, FinderMode::First)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, first_linear_involutive_good_residuated_n10, Demand::LinearInvolutiveGoodResiduated, 10,
                  FinderMode::First)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, first_linear_involutive_good_residuated_n12, Demand::LinearInvolutiveGoodResiduated, 12,
                  FinderMode::First)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(RunFinder, first_colourful_n12, Demand::Colourful, 12, FinderMode::First)
    ->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// First winners beyond the chain (the speed table), one row per task and size.
void FirstWinnerArguments(benchmark::internal::Benchmark* b) {
  const std::pair<Demand, std::vector<int>> rows[] = {
      {Demand::NonLinear, {9, 11, 12, 16, 20, 28}},
      {Demand::InvolutiveNonLinear, {8, 9, 10, 12, 16, 20, 28}},
      {Demand::MaxNonLattice, {7, 8, 10, 12}},
      {Demand::GoedelNonChain, {8, 12}},
      {Demand::DeltaMaxColourful, {28}},
      {Demand::ChainColourful, {11, 16, 20, 28}},
  };
  for (const auto& [demand, sizes] : rows) {
    for (const int n : sizes) b->Args({static_cast<int>(demand), n});
  }
}

void FirstWinner(benchmark::State& state) {
  RunFinder(state, static_cast<Demand>(state.range(0)), static_cast<int>(state.range(1)), FinderMode::First);
}

BENCHMARK(FirstWinner)
    ->Apply(FirstWinnerArguments)
    ->ArgNames({"task", "n"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
