// Work planning: a greedy refinement that always splits the unit of the
// largest estimate, the estimate of each new unit from a fixed number of
// random descents seeded by its own path, so the plan is reproducible.

#include "finder/WorkPlan.h"

#include <algorithm>
#include <queue>
#include <thread>
#include <unordered_map>

#include "finder/Fingerprint.h"

namespace {

constexpr int kProbes = 32;
constexpr int64_t kMaxUnitsPerWanted = 16;  // at most this many times the wanted units
// A unit worth less than this (in candidate tries, some milliseconds) is not
// worth its planning: a small run gets fewer units, though at least min_units.
constexpr double kLeastUnitWork = 50000;

uint64_t SeedOf(int lattice, const std::vector<uint8_t>& path) {
  Fingerprint seed(static_cast<uint64_t>(lattice));
  for (const uint8_t digit : path) seed.Mix(digit);
  return seed.Value();
}

struct ByEstimate {
  bool operator()(const WorkUnit& a, const WorkUnit& b) const {
    if (a.Estimate != b.Estimate) return a.Estimate < b.Estimate;
    if (a.Lattice != b.Lattice) return a.Lattice > b.Lattice;
    return a.Path > b.Path;
  }
};

bool InSearchOrder(const WorkUnit& a, const WorkUnit& b) {
  return a.Lattice != b.Lattice ? a.Lattice < b.Lattice : a.Path < b.Path;
}

// The searches of the lattices planned lately, kept per thread: refinement
// returns to the same few lattices, and a search is costly to set up.
class SearchCache {
 public:
  SearchCache(const std::vector<FiniteLattice>& lattices, const SearchSettings& settings)
      : lattices_(lattices), settings_(settings) {}
  AlgebraSearch& Of(int lattice) {
    std::unique_ptr<AlgebraSearch>& search = searches_[lattice];
    if (!search) {
      if (searches_.size() > kKept) {  // many lattices (11 elements): keep memory small
        searches_.clear();
        return Of(lattice);
      }
      search = std::make_unique<AlgebraSearch>(lattices_[lattice], settings_, 0);
    }
    return *search;
  }

 private:
  static constexpr size_t kKept = 256;
  const std::vector<FiniteLattice>& lattices_;
  const SearchSettings& settings_;
  std::unordered_map<int, std::unique_ptr<AlgebraSearch>> searches_;
};

// Estimates a batch of units, shared out among the threads (the calling one
// among them); each estimate depends only on its unit.
class Estimator {
 public:
  Estimator(const std::vector<FiniteLattice>& lattices, const SearchSettings& settings, int threads)
      : settings_(settings) {
    for (int t = 0; t < std::max(1, threads); ++t) caches_.emplace_back(lattices, settings);
  }
  AlgebraSearch& SearchOf(int lattice) { return caches_[0].Of(lattice); }
  // A stop leaves the estimates not made at 1.
  void Estimate(std::vector<WorkUnit>& units, const std::atomic<bool>& stop) {
    std::atomic<size_t> next{0};
    const auto work = [&](SearchCache& cache) {
      for (size_t i = next++; i < units.size() && !stop.load(std::memory_order_relaxed); i = next++) {
        WorkUnit& unit = units[i];
        unit.Estimate = cache.Of(unit.Lattice).EstimateWork(unit.Path, kProbes, SeedOf(unit.Lattice, unit.Path));
      }
    };
    const size_t helpers = std::min(caches_.size(), units.size()) - (units.empty() ? 0 : 1);
    std::vector<std::thread> threads;
    for (size_t t = 1; t <= helpers; ++t) {
      threads.emplace_back([&, t]() {
        const ScopedSettings scoped(settings_);
        work(caches_[t]);
      });
    }
    work(caches_[0]);
    for (std::thread& thread : threads) thread.join();
  }

 private:
  const SearchSettings& settings_;
  std::vector<SearchCache> caches_;
};

}  // namespace

std::vector<WorkUnit> PlanWork(const std::vector<FiniteLattice>& lattices, const SearchSettings& settings, int threads,
                               int64_t wanted_units, int64_t min_units, const std::atomic<bool>& stop) {
  const ScopedSettings scoped(settings);
  Estimator estimator(lattices, settings, threads);
  std::priority_queue<WorkUnit, std::vector<WorkUnit>, ByEstimate> open;
  std::vector<WorkUnit> units;  // leaves of the trees: not split further
  double total = 0;
  std::vector<WorkUnit> roots(lattices.size());
  for (size_t l = 0; l < roots.size(); ++l) roots[l].Lattice = static_cast<int>(l);
  estimator.Estimate(roots, stop);
  for (WorkUnit& root : roots) {
    if (root.Estimate <= 0) continue;  // no candidates at all
    total += root.Estimate;
    open.push(std::move(root));
  }
  const int64_t worth = static_cast<int64_t>(total / kLeastUnitWork);
  wanted_units = std::max<int64_t>(1, std::max(min_units, std::min(wanted_units, worth)));
  const int64_t cap = wanted_units * kMaxUnitsPerWanted;
  std::vector<WorkUnit> children;
  while (!open.empty() && !stop.load(std::memory_order_relaxed)) {
    const int64_t count = static_cast<int64_t>(open.size() + units.size());
    const WorkUnit& top = open.top();
    if (count >= cap || (count >= wanted_units && top.Estimate * static_cast<double>(wanted_units) <= 2 * total)) break;
    WorkUnit unit = top;
    open.pop();
    AlgebraSearch& search = estimator.SearchOf(unit.Lattice);
    if (static_cast<int>(unit.Path.size()) >= search.CellCount()) {
      units.push_back(std::move(unit));
      continue;
    }
    total -= unit.Estimate;
    children.clear();
    for (std::vector<uint8_t>& path : search.ChildPaths(unit.Path)) {
      WorkUnit child;
      child.Lattice = unit.Lattice;
      child.Path = std::move(path);
      children.push_back(std::move(child));
    }
    estimator.Estimate(children, stop);
    for (WorkUnit& child : children) {
      child.Estimate = std::max(1.0, child.Estimate);
      total += child.Estimate;
      open.push(std::move(child));
    }
  }
  while (!open.empty()) {
    units.push_back(open.top());
    open.pop();
  }
  std::sort(units.begin(), units.end(), InSearchOrder);
  return units;
}

std::vector<int> PartsOfUnits(const std::vector<WorkUnit>& units, int part_count) {
  std::vector<int> parts(units.size(), 0);
  if (part_count <= 1) return parts;
  // In search order, each unit goes to the part with the least estimated
  // work so far. Neighbouring units share their estimates' errors (one
  // lattice, one subtree), so dealing them out across the parts, rather than
  // giving each part a stretch, lets those errors cancel within every part.
  std::vector<double> load(part_count, 0.0);
  for (size_t u = 0; u < units.size(); ++u) {
    const int part = static_cast<int>(std::min_element(load.begin(), load.end()) - load.begin());
    parts[u] = part;
    load[part] += units[u].Estimate;
  }
  return parts;
}

uint64_t PlanFingerprint(const std::vector<WorkUnit>& units, int part_count) {
  Fingerprint plan(static_cast<uint64_t>(part_count));
  for (const WorkUnit& unit : units) {
    plan.Mix(static_cast<uint64_t>(unit.Lattice));
    for (const uint8_t digit : unit.Path) plan.Mix(digit);
    plan.Mix(0xFFu);
  }
  return plan.Value();
}
