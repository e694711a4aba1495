// Work planning: a greedy refinement that always splits the unit of the
// largest estimate, the estimate of each new unit from a fixed number of
// random descents seeded by its own path, so the plan is reproducible.

#include "finder/WorkPlan.h"

#include <algorithm>
#include <queue>

namespace {

constexpr int kProbes = 32;
constexpr int64_t kMaxUnitsPerWanted = 16;  // at most this many times the wanted units
// A unit worth less than this (in candidate tries, some milliseconds) is not
// worth its planning: a small run gets fewer units, though at least min_units.
constexpr double kLeastUnitWork = 50000;

uint64_t SeedOf(int lattice, const std::vector<uint8_t>& path) {
  uint64_t hash = 1469598103934665603ull ^ static_cast<uint64_t>(lattice);
  for (const uint8_t digit : path) hash = (hash ^ digit) * 1099511628211ull;
  return hash;
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

}  // namespace

std::vector<WorkUnit> PlanWork(int lattice_count, const SearchOfLattice& search_of, int64_t wanted_units,
                               int64_t min_units, const std::atomic<bool>& stop) {
  std::priority_queue<WorkUnit, std::vector<WorkUnit>, ByEstimate> open;
  std::vector<WorkUnit> units;  // leaves of the trees: not split further
  double total = 0;
  for (int l = 0; l < lattice_count; ++l) {
    WorkUnit root;
    if (stop.load(std::memory_order_relaxed)) {  // estimates do not matter any more
      root.Lattice = static_cast<int>(l);
      open.push(std::move(root));
      continue;
    }
    root.Lattice = static_cast<int>(l);
    root.Estimate = search_of(l).EstimateWork(root.Path, kProbes, SeedOf(root.Lattice, root.Path));
    if (root.Estimate <= 0) continue;  // no candidates at all
    total += root.Estimate;
    open.push(std::move(root));
  }
  const int64_t worth = static_cast<int64_t>(total / kLeastUnitWork);
  wanted_units = std::max<int64_t>(1, std::max(min_units, std::min(wanted_units, worth)));
  const int64_t cap = wanted_units * kMaxUnitsPerWanted;
  while (!open.empty() && !stop.load(std::memory_order_relaxed)) {
    const int64_t count = static_cast<int64_t>(open.size() + units.size());
    const WorkUnit& top = open.top();
    if (count >= cap || (count >= wanted_units && top.Estimate * static_cast<double>(wanted_units) <= 2 * total)) break;
    WorkUnit unit = top;
    open.pop();
    AlgebraSearch& search = search_of(unit.Lattice);
    if (static_cast<int>(unit.Path.size()) >= search.CellCount()) {
      units.push_back(std::move(unit));
      continue;
    }
    total -= unit.Estimate;
    for (std::vector<uint8_t>& path : search.ChildPaths(unit.Path)) {
      WorkUnit child;
      child.Lattice = unit.Lattice;
      child.Estimate = std::max(1.0, search.EstimateWork(path, kProbes, SeedOf(unit.Lattice, path)));
      child.Path = std::move(path);
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
  uint64_t hash = 1469598103934665603ull ^ static_cast<uint64_t>(part_count);
  for (const WorkUnit& unit : units) {
    hash = (hash ^ static_cast<uint64_t>(unit.Lattice)) * 1099511628211ull;
    for (const uint8_t digit : unit.Path) hash = (hash ^ digit) * 1099511628211ull;
    hash = (hash ^ 0xFFu) * 1099511628211ull;
  }
  return hash;
}
