#pragma once
// The state of the search over one lattice, shared by the search's walk of
// the tree (AlgebraSearch.cpp) and the laws it checks as cells are decided
// (SearchLaws.cpp). Internal to the finder.

#include <atomic>
#include <cassert>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "finder/AlgebraSearch.h"

namespace search_detail {

constexpr uint8_t kUnknown = 255;

enum class CellKind : uint8_t { Product, Equality, Delta };

struct Cell {
  CellKind kind;
  uint8_t x;
  uint8_t y;
};

// What the settings demand of a winner beyond the twelve axioms.
struct Demands {
  bool goodness = false, semiseparated = false, separated = false, residuated = false;
  bool commutative = false, involutive = false, linear = false, non_linear = false;
  bool delta_laws = false;
  bool non_chain = false;  // a forbidden property that holds on every chain
  int colour_equality = 0, colour_product = 0;
};

}  // namespace search_detail

struct AlgebraSearch::State {
  using Cell = search_detail::Cell;
  using CellKind = search_detail::CellKind;
  using Demands = search_detail::Demands;
  static constexpr uint8_t kUnknown = search_detail::kUnknown;

  FiniteLattice lattice;
  int n = 0;
  int top = 0;
  SearchSettings settings;
  Demands demands;
  int prefix_depth = 0;

  std::vector<Cell> cells;
  std::vector<std::vector<uint8_t>> candidates;  // per cell, in the order tried
  // The automorphisms without the identity, n entries each: g(e) and g^-1(e).
  // A lattice of 11 elements may have 9! of them, so the cell a g^-1 maps a
  // cell from is looked up per comparison rather than stored per automorphism.
  int automorphism_count = 0;
  std::vector<uint8_t> images, inverses;
  std::vector<int16_t> cell_at;  // the cell (kind, x, y) at kind * n * n + x * n + y, or -1
  // Each automorphism is known to map the first equal_prefix[k] positions of
  // the vector onto equal values; the comparison goes on when the cell that
  // blocks it (the next position or its preimage, whichever comes later) is
  // decided, so a node tests only the automorphisms waiting for its cell
  // (watchers), not all 9!. One that maps the prefix above the vector waits
  // for nothing in the subtree; one that fixes the whole vector waits in
  // watchers[cells.size()]. A decision records each automorphism it moved
  // (moves, from moves_at_level[cell] on) and the cell that takes it back
  // restores them. With 9! automorphisms millions of moves stand at once,
  // hence 8 bytes each.
  std::vector<uint16_t> equal_prefix;
  std::vector<int16_t> preimage_cells;  // per automorphism and position, the cell it maps there (empty: too many)
  std::vector<std::vector<int>> watchers;
  struct Move {
    uint32_t automorphism;
    uint16_t from_prefix;
    uint16_t watched;
  };
  std::vector<Move> moves;
  std::vector<size_t> moves_at_level;
  mutable std::vector<std::pair<uint8_t, uint8_t>> pair_scratch;  // n * n entries: pairs (b, d)
  std::vector<std::vector<std::pair<uint8_t, uint8_t>>> meet_pairs;  // pairs (x, y) with x ^ y = a, at a

  std::vector<uint8_t> prod;  // x * y at x * n + y, kUnknown while undecided
  // Bit sets of elements (n <= 28): at x * n + y those at or above x * y
  // (every element while x * y is undecided), so that the laws test
  // x * y <= c with one load; at e those at or above e.
  std::vector<uint32_t> product_up, up_set;
  std::vector<uint8_t> eq;    // x ~ y at x * n + y (both orientations), decided or implied
  std::vector<uint8_t> forced_eq;  // x ~ y implied before its cell is decided (goodness, residua), or kUnknown
  std::vector<uint8_t> del;   // d(x) at x
  std::vector<uint8_t> value;  // per cell in decision order
  std::vector<uint8_t> negation;         // x ~ 0 forced by residuation, per column, once known
  std::vector<int> negation_setter;      // the cell whose decision made negation known, per column
  std::vector<int> product_colours, equality_colours;  // decided cells per value
  int product_attained = 0, equality_attained = 0;
  int product_open = 0, equality_open = 0;

  std::vector<uint8_t> path;  // the candidate index of each leading cell of the run
  std::vector<int> loop_at, loop_end;  // per open cell: the candidate tried and the end of the range
  const std::atomic<bool>* share_request = nullptr;
  std::function<void(std::vector<uint8_t>)> give;
  uint64_t nodes = 0;
  uint64_t node_budget = 0;  // 0: none
  uint64_t split_every = 0, next_split = 0;  // self-splitting (0: none)
  bool budget_spent = false;
  std::vector<std::vector<uint8_t>> usual_candidates;  // before VaryValueOrder
  const std::atomic<bool>* stop = nullptr;
  const std::function<bool(const SearchWinner&)>* on_winner = nullptr;
  bool ended = false, stopped = false;
  std::unique_ptr<TEQAlgebra> scratch;  // the leaf's algebra, reused
  bool keep_representatives = true;
  bool winners_decided = false;  // nothing counts in the fitness but what the search decides
  bool lattice_excluded = false;  // the lattice carries no winner (Involutive needs an antitone involution)

  bool Leq(int a, int b) const { return lattice.leq[a * n + b] != 0; }
  uint8_t P(int a, int b) const { return prod[a * n + b]; }
  uint8_t E(int a, int b) const { return eq[a * n + b]; }
  // a * b <= c, or a * b undecided.
  bool ProductBelow(int a, int b, int c) const {
    assert(c < n);
    return (product_up[a * n + b] >> c & 1) != 0;
  }
  void SetProduct(int a, int b, uint8_t v) {
    prod[a * n + b] = v;
    product_up[a * n + b] = v == kUnknown ? ~0u : up_set[v];
  }

  void Setup();
  bool Assign(int i, uint8_t v);
  void Unassign(int i);
  bool ProductHolds(int x, int y, uint8_t v);
  bool EqualityHolds(int x, int y, uint8_t v);
  bool LawsAroundEquality(int x, int y) const;
  bool CongruenceUnder(int x, int y, uint8_t v) const;
  bool ForceResidua(int y);
  void ReleaseResidua(int y);
  bool DeltaHolds(int x);
  bool AssociativeAt(int x, int y, int z) const;
  bool MonotoneAt(int b, int a, int c) const;
  uint8_t Residuum(int upper, int lower) const;
  bool ColumnResiduated(int y) const;
  bool NegationConsistent(int x, int y, uint8_t v) const;
  int PreimageCell(const uint8_t* inverse, int i) const {
    const Cell& c = cells[i];
    int x = inverse[c.x], y = c.kind == CellKind::Delta ? 0 : inverse[c.y];
    if (c.kind == CellKind::Equality && x > y) std::swap(x, y);
    return cell_at[static_cast<int>(c.kind) * n * n + x * n + y];
  }
  bool LexLeaderPrefix(int decided);
  void RestoreMoves(int level);
  void Descend(int i);
  void Share(int open_cells);
  int EnterPath(const std::vector<uint8_t>& at);
  void LeavePath(int entered);
  void Leaf();
  void FillAlgebra(TEQAlgebra& out) const;
};
