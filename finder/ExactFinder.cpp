// RunExactFinder: the lattices of the size, their work units in a fixed
// order, worker threads taking units from a shared counter, and the calling
// thread handing out the classes in unit order, so the output is the same for
// every thread count. Part K of N takes the units whose global index is
// K - 1 modulo N.

#include "ExactFinder.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "AlgebraSearch.h"
#include "Lattices.h"

namespace {

constexpr int64_t kWantedUnits = 256;  // enough units to keep two threads busy to the end
constexpr int kMaxPrefixDepth = 6;

BigCount Factorial(int k) {
  BigCount f = 1;
  for (int i = 2; i <= k; ++i) f *= static_cast<BigCount>(i);
  return f;
}

struct Unit {
  int lattice = 0;
  int64_t index = 0;  // within the lattice
};

struct UnitResult {
  bool done = false;
  std::vector<SearchWinner> winners;
};

}  // namespace

FinderSummary RunExactFinder(const FinderOptions& options, const std::function<void(const FoundClass&)>& onClass,
                             const std::function<void(const FinderProgress&)>& onProgress,
                             const std::atomic<bool>& stop) {
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
  std::vector<Unit> units;
  int64_t global = 0;
  for (size_t l = 0; l < planners.size(); ++l) {
    const int64_t count = planners[l]->UnitCount();
    for (int64_t u = 0; u < count; ++u, ++global) {
      if (global % part_count == part_index) units.push_back({static_cast<int>(l), u});
    }
  }
  planners.clear();

  std::vector<UnitResult> results(units.size());
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<size_t> next_unit{0};
  std::atomic<bool> cancel{false};
  const bool first_only = options.Mode == FinderMode::First;

  int threads = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
  if (threads < 1) threads = 1;
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&]() {
      const ScopedSettings worker_settings(settings);
      std::vector<std::unique_ptr<AlgebraSearch>> searches(lattices.size());
      for (;;) {
        const size_t k = next_unit.fetch_add(1);
        if (k >= units.size() || cancel.load()) break;
        const Unit unit = units[k];
        auto& search = searches[unit.lattice];
        if (!search) search = std::make_unique<AlgebraSearch>(lattices[unit.lattice], settings, depth);
        std::vector<SearchWinner> found;
        search->RunUnit(unit.index, cancel, [&](const SearchWinner& winner) {
          found.push_back(winner);
          return !first_only;
        });
        {
          std::lock_guard<std::mutex> lock(mutex);
          results[k].winners = std::move(found);
          results[k].done = true;
        }
        changed.notify_all();
      }
    });
  }

  const BigCount permutations = Factorial(n - 2);
  bool ended_early = false;
  size_t emitted_units = 0;
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
    {
      std::unique_lock<std::mutex> lock(mutex);
      while (!results[emitted_units].done && !stop.load()) {
        changed.wait_for(lock, std::chrono::milliseconds(50));
        if (std::chrono::steady_clock::now() - last_progress > std::chrono::milliseconds(250)) break;
      }
      if (stop.load()) {
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
      winners = std::move(results[emitted_units].winners);
      ++emitted_units;
    }
    for (const SearchWinner& winner : winners) {
      FoundClass found;
      found.Index = summary.Classes;
      found.Algebra = winner.Algebra;
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
  cancel.store(true);
  for (std::thread& worker : workers) worker.join();
  summary.Complete = !ended_early && every_lattice;
  summary.Seconds = seconds();
  report_progress(emitted_units);
  return summary;
}
