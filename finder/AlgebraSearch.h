#pragma once
// The search for winners over one fixed lattice: the product, then the
// fuzzy equality, then delta, cell by cell with propagation, keeping only the
// table vector that is least in its orbit under the lattice's automorphisms.
// Pruning is sound (it never drops a winner); every leaf is judged by the
// model's own fitness, so what is reported is exactly a winner.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/EQAlgebra.h"
#include "finder/Lattices.h"
#include "model/Settings.h"

// A representative found: its cells (compact, for handing out later), its
// automorphism order and, during the callback only, the evaluated algebra.
struct SearchWinner {
  std::vector<uint8_t> Cells;  // the decided values in decision order; empty when representatives are not kept
  uint64_t Automorphisms = 1;
  // Valid only while the callback runs; nullptr when representatives are not
  // kept and the search's own checks decide a winner (no algebra is made then).
  const TEQAlgebra* Algebra = nullptr;
};

// A fingerprint of the lattice's search order: its cells in decision order
// and their candidate values under the settings. Paths name the same nodes
// under every search of equal fingerprint.
uint64_t SearchOrderFingerprint(const FiniteLattice& lattice, const SearchSettings& settings);

class AlgebraSearch {
 public:
  // The settings define a winner; the first prefix_depth cells split the work
  // into units. Call on a thread whose Settings are the same block.
  AlgebraSearch(const FiniteLattice& lattice, const SearchSettings& settings, int prefix_depth);
  ~AlgebraSearch();
  AlgebraSearch(const AlgebraSearch&) = delete;
  AlgebraSearch& operator=(const AlgebraSearch&) = delete;

  // Without representatives (counting) a winner is handed out without its cells.
  void KeepRepresentatives(bool keep);
  // The evaluated algebra (canonical text set) of a winner's cells; nullptr
  // when they are not a winner under the settings.
  std::shared_ptr<TEQAlgebra> BuildRepresentative(const std::vector<uint8_t>& cells) const;
  // Changes how many leading cells split the work.
  void SetPrefixDepth(int depth);
  // The number of units: the product of the first cells' candidate counts.
  int64_t UnitCount() const;
  // The path of a unit of the current prefix depth.
  std::vector<uint8_t> UnitPath(int64_t unit) const;
  // Searches one unit. on_winner returns false to end the unit early. Returns
  // false when stop ended it.
  bool RunUnit(int64_t unit, const std::atomic<bool>& stop,
               const std::function<bool(const SearchWinner&)>& on_winner);

  // Bounded attempts (a first winner): a unit ends after about `nodes` search
  // nodes (0: no bound), and BudgetSpent tells whether the last one ended so.
  void SetNodeBudget(uint64_t nodes);
  bool BudgetSpent() const;
  // Tries the values of every cell in an order shuffled by `seed` (0: the
  // usual order). Pruning stays sound under any order.
  void VaryValueOrder(uint64_t seed);

  // A path names a node of the search tree: one candidate index per leading
  // cell. Searches the subtree below it; false when stop ended it.
  bool RunPath(const std::vector<uint8_t>& path, const std::atomic<bool>& stop,
               const std::function<bool(const SearchWinner&)>& on_winner);
  // The paths one cell longer that survive propagation and the duplicate test.
  std::vector<std::vector<uint8_t>> ChildPaths(const std::vector<uint8_t>& path);
  // Knuth's estimate of the work below a path (candidate tries, a leaf
  // weighing more), averaged over `probes` random descents; 0 when the path
  // itself is pruned.
  double EstimateWork(const std::vector<uint8_t>& path, int probes, uint64_t seed);
  int CellCount() const;
  // While a run goes on, `request` set makes it hand the untried branches of
  // its shallowest open cell to `give` (as paths) and leave them out itself.
  void ShareWork(const std::atomic<bool>* request, std::function<void(std::vector<uint8_t>)> give);
  // A run that has tried this many nodes more since it last gave work away
  // gives away its shallowest untried branches unasked (0: only on request),
  // so no run of a path holds much work that a stop would lose.
  void SplitEvery(uint64_t nodes);

 private:
  struct State;
  std::unique_ptr<State> state_;
};
