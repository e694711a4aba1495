// The exact finder on the sizes and settings people ask for: every class of
// a size, or the first winner of a large one. Each run is long, so each
// benchmark runs once per repetition; the label gives the class count. CPU
// time is that of the whole process (both worker threads).

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

#include "ExactFinder.h"
#include "Settings.h"

namespace {

enum class Demand { TwelveAxioms, GoodResiduated, LinearInvolutiveGoodResiduated, Colourful };

SearchSettings SettingsFor(Demand demand, int n) {
  SearchSettings s;
  s.ElementCount = n;
  s.WantGoodness = s.WantResiduated = demand == Demand::GoodResiduated || demand == Demand::LinearInvolutiveGoodResiduated;
  s.WantLinear = s.WantInvolutive = demand == Demand::LinearInvolutiveGoodResiduated;
  if (demand == Demand::Colourful) {
    s.ColorfulnessFEq = 10;
    s.ColorfulnessProd = 4;
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
