#pragma once
// How a finder run is cut into units: subtrees of the search trees, split
// where an estimate of their work is large, so that units (and the parts of
// a run, each dealt a share of them) carry similar work. The
// plan depends only on the settings and the number of parts, never on the
// thread count, so every part of a split run sees the same units.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "finder/AlgebraSearch.h"

struct WorkUnit {
  int Lattice = 0;
  std::vector<uint8_t> Path;  // the subtree below these candidate indices
  double Estimate = 1;        // estimated work, in the searches' own measure
};

// Splits the trees (one search per lattice) until there are at least
// `wanted_units` units and none carries more than 2/wanted_units of the
// estimated total (or the cap on units is reached). A small run wants fewer
// units, but never fewer than min_units. Units come in the
// searches' order: by lattice, then by path. A stop flag set cuts the
// refinement short (the units still cover all the work). The estimates run
// on `threads` threads; the plan is the same for every thread count.
std::vector<WorkUnit> PlanWork(const std::vector<FiniteLattice>& lattices, const SearchSettings& settings, int threads,
                               int64_t wanted_units, int64_t min_units, const std::atomic<bool>& stop);

// The part (0-based) of each unit: the units dealt out in search order, each
// to the part of least estimated work so far.
std::vector<int> PartsOfUnits(const std::vector<WorkUnit>& units, int part_count);

// A fingerprint of the plan, to tell whether a resumed run is the same run.
uint64_t PlanFingerprint(const std::vector<WorkUnit>& units, int part_count);
