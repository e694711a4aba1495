// Generation steps per second, headless, and where a step spends its time.
//
// BM_Step runs whole steps of one search (as the run loop does) on 1 and on 2
// threads, back to back, reported as steps per second of wall-clock time. BM_StepPhases makes the same generation piece by piece
// from a fixed ranked population and reports the average milliseconds of
// each phase: making the children (allocation, copies, crossover, mutation),
// evaluating every member, removing equal members, and ranking.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <utility>

#include "genetic/EQGenerations.h"
#include "genetic/GeneticEQ.h"
#include "model/Random.h"
#include "model/Settings.h"

namespace {

void Configure(int32_t elements, int32_t limit) {
  Settings = SearchSettings{};
  Settings.ElementCount = elements;
  Settings.PopulationLimit = limit;
  Settings.UpdateGeneCount();
  GA = GAStatus{};
  RandSeed(20240601);
}

void BM_Step(benchmark::State& state) {
  const auto elements = static_cast<int32_t>(state.range(0));
  const auto limit = static_cast<int32_t>(state.range(1));
  Configure(elements, limit);
  Settings.Threads = static_cast<int32_t>(state.range(2));
  TEQGenerations search(elements, limit);
  for (auto _ : state) {
    search.Step();
    benchmark::DoNotOptimize(GA.BestFitness);
  }
  state.counters["steps/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["members"] = search.FCurrent()->Count();
}

using Clock = std::chrono::steady_clock;
double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

void BM_StepPhases(benchmark::State& state) {
  const auto elements = static_cast<int32_t>(state.range(0));
  const auto limit = static_cast<int32_t>(state.range(1));
  Configure(elements, limit);
  TEQGenerations search(elements, limit);
  for (int i = 0; i < 3; ++i) search.Step();  // a ranked population past the random start
  const PopulationPtr previous = search.FCurrent();
  GA.ChildrenToMake = ChildrenTarget(limit, Settings.ChildRatio);
  const int32_t m = ParentRange(previous->Count(), Settings.CrossoverRate);

  double children_ms = 0, evaluate_ms = 0, remove_ms = 0, sort_ms = 0;
  for (auto _ : state) {
    TEQPopulation next;
    const Clock::time_point start = Clock::now();
    for (int made = 0; made < GA.ChildrenToMake; made += 2 * Settings.GeneCount) {
      Crossover(*previous->Get(RankSelect(m)), *previous->Get(RankSelect(m)), next);
    }
    Mutate(next, Settings.MutationRate);
    // Carry-over as copies, so the same previous population serves every iteration.
    const int carry = limit >= next.Count() ? std::min(limit - next.Count() + 1, previous->Count()) : 0;
    for (int i = 0; i < carry; ++i) {
      auto member = std::make_unique<TEQAlgebra>();
      member->CopyFrom(previous->Get(i));
      next.Add(std::move(member));
    }
    const Clock::time_point made = Clock::now();
    next.EvaluateMembers(search.FWinners().get());
    const Clock::time_point evaluated = Clock::now();
    RemoveEqual(next);
    const Clock::time_point removed = Clock::now();
    next.Sort();
    const Clock::time_point sorted = Clock::now();
    children_ms += Milliseconds(start, made);
    evaluate_ms += Milliseconds(made, evaluated);
    remove_ms += Milliseconds(evaluated, removed);
    sort_ms += Milliseconds(removed, sorted);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["children_ms"] = children_ms / n;
  state.counters["evaluate_ms"] = evaluate_ms / n;
  state.counters["remove_ms"] = remove_ms / n;
  state.counters["sort_ms"] = sort_ms / n;
}

// {elements, population limit, threads}: the defaults, 12 and 28 elements and
// the largest limit, each on one thread and then on two.
void ThreadCases(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"elements", "limit", "threads"});
  for (const auto& [elements, limit] : {std::pair{5, 180}, {12, 180}, {28, 180}, {5, 10000}}) {
    benchmark->Args({elements, limit, 1})->Args({elements, limit, 2});
  }
  benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
}

// {elements, population limit}: the defaults, 12 and 28 elements, and the largest limit.
void Cases(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"elements", "limit"});
  benchmark->Args({5, 180})->Args({12, 180})->Args({28, 180})->Args({5, 10000});
  benchmark->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Step)->Apply(ThreadCases);
BENCHMARK(BM_StepPhases)->Apply(Cases);
