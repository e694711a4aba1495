// RunExactFinder: the lattices of the size, their work units in a fixed
// order, worker threads taking units from a shared counter, and the calling
// thread handing out the classes in unit order, so the output is the same for
// every thread count. Part K of N takes the units that a fixed mix of their
// global index assigns to it.

#include "ExactFinder.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "AlgebraSearch.h"
#include "FirstWinner.h"
#include "Lattices.h"

namespace {

constexpr int64_t kWantedUnits = 1024;  // enough units to keep threads and parts busy to the end
constexpr int kMaxPrefixDepth = 8;

// The part a unit belongs to. Neighbouring units share their leading cells and
// are often alike in cost (or all empty), so they are scattered by a fixed mix.
int PartOfUnit(int64_t global, int part_count) {
  const uint64_t mixed = static_cast<uint64_t>(global) * 0x9E3779B97F4A7C15ull;
  return static_cast<int>((mixed >> 32) % static_cast<uint64_t>(part_count));
}

struct Unit {
  int lattice = 0;
  int64_t index = 0;  // within the lattice
};

struct UnitResult {
  bool done = false;
  std::vector<SearchWinner> winners;
  std::vector<AlgebraClass> keys;  // the class key of each winner (not when counting)
};

}  // namespace

FinderSummary RunExactFinder(const FinderOptions& options, const std::function<void(const FoundClass&)>& onClass,
                             const std::function<void(const FinderProgress&)>& onProgress,
                             const std::atomic<bool>& stop) {
  if (options.Mode == FinderMode::First) return RunFirstWinner(options, onClass, onProgress, stop);
  const auto start = std::chrono::steady_clock::now();
  const auto seconds = [&]() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  SearchSettings settings = options.Settings;
  settings.UpdateGeneCount();
  const ScopedSettings scoped(settings);
  const int n = settings.ElementCount;
  FinderSummary summary;
  if (n < 2 || n > kMaxElements) return summary;
  const auto out_of_time = [&]() { return options.TimeLimit > 0 && seconds() >= options.TimeLimit; };

  // Only the chain is linear; above the enumeration limit only the chain is searched.
  const bool linear_only = settings.OptionalWeight > 0 && settings.WantLinear && !settings.WantNonLinear;
  std::vector<FiniteLattice> lattices;
  bool every_lattice = true;
  if (linear_only || n > kLatticeEnumerationLimit) {
    lattices.push_back(ChainLattice(n));
    every_lattice = linear_only;
  } else {
    lattices = LatticesUpToIsomorphism(n);
  }

  // The prefix depth depends on the settings only, never on threads or parts.
  std::vector<std::unique_ptr<AlgebraSearch>> planners;
  for (const FiniteLattice& lattice : lattices) planners.push_back(std::make_unique<AlgebraSearch>(lattice, settings, 0));
  int depth = 0;
  int64_t total_units = 0;
  for (;; ++depth) {
    total_units = 0;
    for (auto& planner : planners) {
      planner->SetPrefixDepth(depth);
      total_units += planner->UnitCount();
    }
    if (total_units >= kWantedUnits || depth >= kMaxPrefixDepth) break;
  }
  const int part_count = options.PartCount < 1 ? 1 : options.PartCount;
  const int part_index = options.PartIndex;
  std::vector<Unit> units;  // in the global order, this part's only
  int64_t global = 0;
  for (size_t l = 0; l < planners.size(); ++l) {
    const int64_t count = planners[l]->UnitCount();
    for (int64_t u = 0; u < count; ++u, ++global) {
      if (PartOfUnit(global, part_count) == part_index) units.push_back({static_cast<int>(l), u});
    }
  }
  planners.clear();

  std::vector<UnitResult> results(units.size());
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<size_t> next_unit{0};
  std::atomic<size_t> emitted_units{0};
  std::atomic<bool> cancel{false};
  const bool first_only = options.Mode == FinderMode::First;

  int threads = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
  if (threads < 1) threads = 1;
  // Workers run at most this many units ahead of the one handed out next, so
  // the representatives waiting for their turn stay few.
  const size_t ahead = static_cast<size_t>(4 * threads + 8);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&]() {
      const ScopedSettings worker_settings(settings);
      std::vector<std::unique_ptr<AlgebraSearch>> searches(lattices.size());
      for (;;) {
        const size_t k = next_unit.fetch_add(1);
        if (k >= units.size() || cancel.load()) break;
        {
          std::unique_lock<std::mutex> lock(mutex);
          changed.wait(lock, [&]() { return k < emitted_units.load() + ahead || cancel.load(); });
        }
        if (cancel.load()) break;
        const Unit unit = units[k];
        auto& search = searches[unit.lattice];
        if (!search) {
          search = std::make_unique<AlgebraSearch>(lattices[unit.lattice], settings, depth);
          search->KeepRepresentatives(options.Mode != FinderMode::Count);
        }
        std::vector<SearchWinner> found;
        std::vector<AlgebraClass> keys;
        search->RunUnit(unit.index, cancel, [&](const SearchWinner& winner) {
          SearchWinner kept;
          kept.Cells = winner.Cells;
          kept.Automorphisms = winner.Automorphisms;
          found.push_back(std::move(kept));
          if (options.Mode != FinderMode::Count) keys.push_back(ClassifyAlgebra(*winner.Algebra));
          return !first_only;
        });
        {
          std::lock_guard<std::mutex> lock(mutex);
          results[k].winners = std::move(found);
          results[k].keys = std::move(keys);
          results[k].done = true;
        }
        changed.notify_all();
      }
    });
  }

  const BigCount permutations = InnerPermutations(n);
  std::vector<std::unique_ptr<AlgebraSearch>> builders(lattices.size());
  bool ended_early = false;
  auto last_progress = std::chrono::steady_clock::now();
  const auto report_progress = [&](size_t done) {
    if (!onProgress) return;
    FinderProgress progress;
    progress.Done = static_cast<double>(done);
    progress.Total = static_cast<double>(units.size());
    progress.Classes = summary.Classes;
    progress.Labelled = summary.Labelled;
    progress.Seconds = seconds();
    onProgress(progress);
  };
  while (emitted_units < units.size() && !ended_early) {
    std::vector<SearchWinner> winners;
    std::vector<AlgebraClass> keys;
    int lattice_of_unit = 0;
    {
      std::unique_lock<std::mutex> lock(mutex);
      while (!results[emitted_units].done && !stop.load()) {
        changed.wait_for(lock, std::chrono::milliseconds(50));
        if (std::chrono::steady_clock::now() - last_progress > std::chrono::milliseconds(250)) break;
      }
      if (stop.load() || out_of_time()) {
        ended_early = true;
        break;
      }
      if (!results[emitted_units].done) {
        size_t done = 0;
        for (const UnitResult& r : results) done += r.done ? 1 : 0;
        lock.unlock();
        last_progress = std::chrono::steady_clock::now();
        report_progress(done);
        continue;
      }
      lattice_of_unit = units[emitted_units].lattice;
      winners = std::move(results[emitted_units].winners);
      keys = std::move(results[emitted_units].keys);
      ++emitted_units;
    }
    changed.notify_all();
    if (std::chrono::steady_clock::now() - last_progress > std::chrono::milliseconds(250)) {
      last_progress = std::chrono::steady_clock::now();
      report_progress(emitted_units);
    }
    for (size_t w = 0; w < winners.size(); ++w) {
      // One unit may hold many classes: a stop ends the handing out too.
      if (stop.load()) {
        ended_early = true;
        break;
      }
      const SearchWinner& winner = winners[w];
      FoundClass found;
      found.Index = summary.Classes;
      if (options.Mode != FinderMode::Count) {
        // Representatives wait as cells and become algebras only when handed out.
        auto& builder = builders[lattice_of_unit];
        if (!builder) builder = std::make_unique<AlgebraSearch>(lattices[lattice_of_unit], settings, 0);
        found.Algebra = builder->BuildRepresentative(winner.Cells);
        if (!found.Algebra) continue;  // never happens: the leaf judged the same tables
      }
      if (w < keys.size()) found.Class = keys[w];
      found.Class.Automorphisms = winner.Automorphisms;
      found.Labelled = permutations / winner.Automorphisms;
      ++summary.Classes;
      summary.Labelled += found.Labelled;
      if (options.Mode != FinderMode::Count && onClass) onClass(found);
      if (first_only || (options.Limit > 0 && summary.Classes >= options.Limit)) {
        ended_early = true;
        break;
      }
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    cancel.store(true);
  }
  changed.notify_all();
  for (std::thread& worker : workers) worker.join();
  summary.Complete = !ended_early && every_lattice;
  summary.Seconds = seconds();
  const std::string size = std::to_string(n) + " elements";
  summary.Searched = every_lattice ? (linear_only ? "the chain of " + size + " (only the chain is linear)"
                                                  : "every lattice of " + size)
                                   : "the chain of " + size + " only";
  if (options.PartCount > 1) summary.Searched += ", part " + std::to_string(part_index + 1) + " of " + std::to_string(part_count);
  if (stop.load()) {
    summary.WhyIncomplete = "stopped";
  } else if (out_of_time()) {
    summary.WhyIncomplete = "time limit";
  } else if (ended_early) {
    summary.WhyIncomplete = "limit of " + std::to_string(options.Limit) + " classes";
  } else if (!every_lattice) {
    summary.WhyIncomplete = "lattices of more than " + std::to_string(kLatticeEnumerationLimit) + " elements are not enumerated";
  }
  report_progress(emitted_units);
  return summary;
}
