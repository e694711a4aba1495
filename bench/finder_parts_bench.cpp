// How the finder's work spreads: the CPU time of the slowest of N parts
// against the mean (counter slowest_over_mean), two threads against one
// (counter speedup), the cost of planning the units, and the peak memory of
// counting as the number of classes grows (counter peak_mb, measured in a
// child process so each row starts from nothing). Each run is long: one
// iteration per row.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "finder/ExactFinder.h"
#include "finder/LatticeAugmentation.h"
#include "finder/Lattices.h"
#include "model/Settings.h"
#include "finder/WorkPlan.h"

namespace {

SearchSettings SettingsOf(int n, bool good_residuated) {
  SearchSettings s;
  s.ElementCount = n;
  s.WantGoodness = s.WantResiduated = good_residuated;
  s.UpdateGeneCount();
  return s;
}

double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

FinderSummary Count(const SearchSettings& s, int threads, int part, int parts) {
  FinderOptions options;
  options.Settings = s;
  options.Mode = FinderMode::Count;
  options.Threads = threads;
  options.PartIndex = part;
  options.PartCount = parts;
  std::atomic<bool> stop{false};
  return RunExactFinder(options, {}, {}, stop);
}

// Every part on one thread, one after another.
void PartBalance(benchmark::State& state, int n, bool good_residuated, int parts) {
  const SearchSettings s = SettingsOf(n, good_residuated);
  std::vector<double> cpu(parts, 0.0);
  int64_t classes = 0;
  for (auto _ : state) {
    classes = 0;
    for (int k = 0; k < parts; ++k) {
      const double before = ProcessSeconds();
      classes += Count(s, 1, k, parts).Classes;
      cpu[k] = ProcessSeconds() - before;
    }
  }
  double sum = 0;
  for (const double c : cpu) sum += c;
  const double mean = sum / parts;
  state.counters["slowest_over_mean"] = *std::max_element(cpu.begin(), cpu.end()) / mean;
  state.counters["fastest_over_mean"] = *std::min_element(cpu.begin(), cpu.end()) / mean;
  state.counters["cpu_s"] = sum;
  state.SetLabel(std::to_string(classes) + " classes");
}

double WallSeconds(const SearchSettings& s, int threads, int64_t& classes) {
  const auto start = std::chrono::steady_clock::now();
  classes = Count(s, threads, 0, 1).Classes;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ThreadSpeedup(benchmark::State& state, int n, bool good_residuated) {
  const SearchSettings s = SettingsOf(n, good_residuated);
  double one = 0, two = 0;
  int64_t classes = 0;
  for (auto _ : state) {
    one = WallSeconds(s, 1, classes);
    two = WallSeconds(s, 2, classes);
  }
  state.counters["speedup"] = one / two;
  state.SetLabel(std::to_string(classes) + " classes");
}

void Planning(benchmark::State& state, int n, bool good_residuated, int64_t wanted, int threads) {
  const SearchSettings s = SettingsOf(n, good_residuated);
  const std::vector<FiniteLattice> lattices = LatticesUpToIsomorphism(n);
  size_t units = 0;
  const std::atomic<bool> stop{false};
  for (auto _ : state) units = PlanWork(lattices, s, threads, wanted, 1, stop).size();
  state.counters["units"] = static_cast<double>(units);
}

// The peak resident memory of a count in a child process of its own.
void CountMemory(benchmark::State& state, int n, bool good_residuated, int part, int parts) {
  double peak_mb = 0;
  for (auto _ : state) {
    const pid_t child = fork();
    if (child == 0) {
      Count(SettingsOf(n, good_residuated), 2, part, parts);
      _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  }
  state.counters["peak_mb"] = peak_mb;
}

void LatticesOfEleven(benchmark::State& state) {
  size_t count = 0;
  for (auto _ : state) count = LatticesByAugmentation(11).size();
  state.SetLabel(std::to_string(count) + " lattices");
}

// A whole count on two threads: CPU time of both, the label its classes.
void WholeCount(benchmark::State& state, int n, bool good_residuated, bool involutive) {
  // Goodness + Residuated + Involutive at 11 takes hours of CPU here
  // (docs/counts), so it runs only when asked for.
  if (n >= 11 && std::getenv("VELMORA_BENCH_HOURS") == nullptr) {
    state.SkipWithError("hours of CPU: set VELMORA_BENCH_HOURS=1 to run it");
    return;
  }
  SearchSettings s = SettingsOf(n, good_residuated);
  s.WantInvolutive = involutive;
  FinderSummary summary;
  for (auto _ : state) summary = Count(s, 2, 0, 1);
  state.SetLabel(std::to_string(summary.Classes) + (summary.Complete ? " classes, complete" : " classes"));
}

}  // namespace

#define ONCE ->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
BENCHMARK(LatticesOfEleven)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(WholeCount, good_residuated_involutive_n11, 11, true, true) ONCE->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(WholeCount, good_residuated_n8, 8, true, false) ONCE->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Planning, twelve_axioms_n6_1024_units, 6, false, 1024, 1) ONCE;
BENCHMARK_CAPTURE(Planning, twelve_axioms_n6_1024_units_2_threads, 6, false, 1024, 2) ONCE;
BENCHMARK_CAPTURE(Planning, twelve_axioms_n7_1024_units, 7, false, 1024, 1) ONCE;
BENCHMARK_CAPTURE(PartBalance, good_residuated_n7_4_parts, 7, true, 4) ONCE;
BENCHMARK_CAPTURE(PartBalance, good_residuated_n8_4_parts, 8, true, 4) ONCE;
BENCHMARK_CAPTURE(PartBalance, good_residuated_n8_64_parts, 8, true, 64) ONCE;
BENCHMARK_CAPTURE(PartBalance, twelve_axioms_n6_4_parts, 6, false, 4) ONCE;
BENCHMARK_CAPTURE(PartBalance, twelve_axioms_n6_64_parts, 6, false, 64) ONCE;
BENCHMARK_CAPTURE(ThreadSpeedup, good_residuated_n8, 8, true) ONCE;
BENCHMARK_CAPTURE(ThreadSpeedup, twelve_axioms_n6, 6, false) ONCE;
BENCHMARK_CAPTURE(CountMemory, twelve_axioms_n5, 5, false, 0, 1) ONCE;
BENCHMARK_CAPTURE(CountMemory, twelve_axioms_n6, 6, false, 0, 1) ONCE;
BENCHMARK_CAPTURE(CountMemory, twelve_axioms_n7_part_1_of_64, 7, false, 0, 64) ONCE;
