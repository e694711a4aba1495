// The cell-by-cell search over one lattice.
//
// Cells are decided in a fixed order: the inner product cells column by
// column (a column is the left-isotone map x -> x * y), then the equality
// cells with '1' (x ~ 1), then the other equality pairs row by row, then
// delta's inner cells. After each decision the laws whose cells it completes
// are checked (three-valued: an instance with an undecided cell passes), so
// every pruning is sound. Four-variable laws are checked where the new cell
// is one of their direct operands; the model's fitness at the leaf judges
// everything else.
//
// Isomorphic duplicates: the table vector (cell values in decision order) is
// kept only when no automorphism of the lattice maps it onto a smaller one;
// the test runs on the decided prefix at every node, and at the leaf the
// automorphisms that fix the vector are counted.

#include "finder/AlgebraSearch.h"

#include <algorithm>
#include <cassert>
#include <random>

#include "finder/AxiomJudge.h"
#include "finder/Fingerprint.h"
#include "finder/SearchState.h"

using search_detail::Cell;
using search_detail::CellKind;
using search_detail::Demands;
using search_detail::kUnknown;

namespace {

Demands DemandsOf(const SearchSettings& s) {
  Demands d;
  if (!(s.OptionalWeight > 0)) return d;
  d.goodness = s.WantGoodness && !s.WantNonGoodness;
  d.semiseparated = s.WantSemiSeparated && !s.WantNonSemiSeparated;
  d.separated = s.WantSeparated && !s.WantNonSeparated;
  d.residuated = s.WantResiduated && !s.WantNonResiduated;
  d.commutative = s.WantCommutative && !s.WantNonCommutative;
  d.involutive = s.WantInvolutive && !s.WantNonInvolutive;
  d.linear = s.WantLinear && !s.WantNonLinear;
  d.non_linear = s.WantNonLinear;
  d.delta_laws = s.DeltaEnabled;
  // Every chain is linear and prelinear. (Not every chain is a lattice
  // EQ-algebra: 89 of the 1,248,810 on the chain of 6 elements are not.)
  d.non_chain = s.WantNonLinear || (s.MaximumEnabled && s.WantNonPrelinear);
  d.colour_equality = s.ColorfulnessFEq > 0 ? s.ColorfulnessFEq : 0;
  d.colour_product = s.ColorfulnessProd > 0 ? s.ColorfulnessProd : 0;
  return d;
}

// The cells in decision order and each cell's candidate values in the order
// tried. A path (candidate indices) names a node of the tree through these
// alone, so they are what a recorded piece of work depends on.
void BuildSearchOrder(const FiniteLattice& lattice, const Demands& demands, bool with_delta, std::vector<Cell>& cells,
                      std::vector<std::vector<uint8_t>>& candidates) {
  const int n = lattice.n;
  const int top = n - 1;
  const auto Leq = [&](int a, int b) { return lattice.leq[a * n + b] != 0; };
  // Columns from both ends inwards (1, n-2, 2, n-3, ...): an involutive
  // negation pairs low and high elements, so a column's negation soon fixes
  // the zero pattern of the next.
  for (int k = 0; k < top - 1; ++k) {
    const int y = k % 2 == 0 ? 1 + k / 2 : top - 1 - k / 2;
    for (int x = 1; x < top; ++x) cells.push_back({CellKind::Product, static_cast<uint8_t>(x), static_cast<uint8_t>(y)});
  }
  for (int x = 0; x < top; ++x) cells.push_back({CellKind::Equality, static_cast<uint8_t>(x), static_cast<uint8_t>(top)});
  for (int x = 0; x < top; ++x) {
    for (int y = x + 1; y < top; ++y) cells.push_back({CellKind::Equality, static_cast<uint8_t>(x), static_cast<uint8_t>(y)});
  }
  if (with_delta) {
    for (int x = 1; x < top; ++x) cells.push_back({CellKind::Delta, static_cast<uint8_t>(x), 0});
  }

  // Candidate values: the product from the least up (small products meet
  // the zero patterns an involutive negation demands, and 0 is never wrong
  // for the isotony), the equality the meet first (the Goedel equivalence of
  // a chain), then from the greatest down.
  for (const Cell& c : cells) {
    std::vector<uint8_t> list;
    if (c.kind == CellKind::Product) {
      for (int v = 0; v <= top; ++v) {
        if (Leq(v, c.y)) list.push_back(static_cast<uint8_t>(v));  // x * y <= 1 * y
      }
    } else if (c.kind == CellKind::Equality) {
      if (demands.goodness && c.y == top) {
        list.push_back(c.x);
      } else {
        const uint8_t m = lattice.Meet(c.x, c.y);  // the Goedel equivalence of a chain
        list.push_back(m);
        for (int v = top; v >= 0; --v) {
          if (v == m || (v == top && (demands.separated || (demands.semiseparated && c.y == top)))) continue;
          list.push_back(static_cast<uint8_t>(v));
        }
      }
    } else {
      list.push_back(c.x);
      for (int v = top; v >= 0; --v) {
        if (v != c.x && (!demands.delta_laws || Leq(v, c.x))) list.push_back(static_cast<uint8_t>(v));
      }
    }
    candidates.push_back(std::move(list));
  }
  // No winner can reach a target above n, and Linear decides the lattice.
  if (demands.colour_equality > n || demands.colour_product > n || (demands.linear && !lattice.chain) ||
      (demands.non_chain && lattice.chain)) {
    for (auto& list : candidates) list.clear();
  }
}

}  // namespace

uint64_t SearchOrderFingerprint(const FiniteLattice& lattice, const SearchSettings& settings) {
  std::vector<Cell> cells;
  std::vector<std::vector<uint8_t>> candidates;
  BuildSearchOrder(lattice, DemandsOf(settings), settings.DeltaEnabled, cells, candidates);
  Fingerprint order(static_cast<uint64_t>(lattice.n));
  for (const uint8_t m : lattice.meet) order.Mix(m);
  for (size_t i = 0; i < cells.size(); ++i) {
    order.Mix(static_cast<uint64_t>(cells[i].kind) << 16 | static_cast<uint64_t>(cells[i].x) << 8 | cells[i].y);
    for (const uint8_t v : candidates[i]) order.Mix(v);
    order.Mix(0xFFFF);
  }
  return order.Value();
}

void AlgebraSearch::State::Setup() {
  n = lattice.n;
  top = n - 1;
  demands = DemandsOf(settings);
  // Beyond the axioms, the search decides exactly the properties it is asked
  // for by their candidates and checks; when only those count, a leaf is a
  // winner without the model's evaluation.
  uint32_t decided = 0;
  const std::pair<bool, int> exact[] = {{demands.goodness, kGoodnessSlot},     {demands.involutive, kInvolutiveSlot},
                                        {demands.semiseparated, kSemiseparatedSlot}, {demands.separated, kSeparatedSlot},
                                        {demands.residuated, kResiduatedSlot}, {demands.commutative, kCommutativeSlot},
                                        {demands.linear, kLinearSlot}};
  for (const auto& [demanded, slot] : exact) decided |= demanded ? 1u << slot : 0u;
  winners_decided = (OptionalFactorsThatCount(settings) & ~decided) == 0;
  BuildSearchOrder(lattice, demands, settings.DeltaEnabled, cells, candidates);
  // x -> x ~ 0 reverses the order, so an involutive one is a dual
  // automorphism of order two. (A pruning, not a change of the search order:
  // recorded paths stay valid.)
  lattice_excluded = demands.involutive && !HasAntitoneInvolution(lattice);

  cell_at.assign(3 * n * n, -1);
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    cell_at[static_cast<int>(c.kind) * n * n + c.x * n + c.y] = static_cast<int16_t>(i);
  }
  images = LatticeAutomorphisms(lattice);
  images.erase(images.begin(), images.begin() + n);  // the identity
  automorphism_count = static_cast<int>(images.size() / n);
  inverses.resize(images.size());
  for (size_t k = 0; k < images.size(); k += n) {
    for (int e = 0; e < n; ++e) inverses[k + images[k + e]] = static_cast<uint8_t>(e);
  }
  equal_prefix.assign(automorphism_count, 0);
  moves_at_level.assign(cells.size(), 0);
  // The preimages as a table while it stays within 8 MB (5,040 automorphisms
  // of 11 elements take 1.4 MB); 9! of them are looked up per comparison.
  constexpr size_t kMostPreimages = size_t{1} << 22;
  const size_t cell_count = cells.size();
  if (static_cast<size_t>(automorphism_count) * cell_count <= kMostPreimages) {
    preimage_cells.resize(static_cast<size_t>(automorphism_count) * cell_count);
    for (int k = 0; k < automorphism_count; ++k) {
      const uint8_t* inverse = &inverses[static_cast<size_t>(k) * n];
      for (size_t i = 0; i < cell_count; ++i) {
        preimage_cells[k * cell_count + i] = static_cast<int16_t>(PreimageCell(inverse, static_cast<int>(i)));
      }
    }
  }
  watchers.assign(cell_count + 1, {});  // position 0 waits for its preimage
  for (int k = 0; k < automorphism_count; ++k) {
    watchers[PreimageCell(&inverses[static_cast<size_t>(k) * n], 0)].push_back(k);
  }

  pair_scratch.assign(static_cast<size_t>(n) * n, {0, 0});
  meet_pairs.assign(n, {});
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) meet_pairs[lattice.Meet(x, y)].push_back({static_cast<uint8_t>(x), static_cast<uint8_t>(y)});
  }

  up_set.assign(n, 0);
  for (int a = 0; a < n; ++a) {
    for (int b = 0; b < n; ++b) up_set[a] |= Leq(a, b) ? 1u << b : 0u;
  }
  prod.assign(n * n, kUnknown);
  product_up.assign(n * n, ~0u);
  eq.assign(n * n, kUnknown);
  forced_eq.assign(n * n, kUnknown);
  if (demands.goodness || demands.residuated) {  // residuation implies x ~ 1 = x
    for (int x = 0; x < top; ++x) {
      forced_eq[x * n + top] = forced_eq[top * n + x] = static_cast<uint8_t>(x);
      eq[x * n + top] = eq[top * n + x] = static_cast<uint8_t>(x);
    }
  }
  del.assign(n, kUnknown);
  for (int x = 0; x < n; ++x) {
    SetProduct(x, 0, 0);
    SetProduct(0, x, 0);
    SetProduct(x, top, static_cast<uint8_t>(x));
    SetProduct(top, x, static_cast<uint8_t>(x));
    eq[x * n + x] = static_cast<uint8_t>(top);
  }
  SetProduct(0, 0, 0);
  SetProduct(top, 0, 0);
  SetProduct(0, top, 0);
  del[0] = 0;
  del[top] = static_cast<uint8_t>(top);
  value.assign(cells.size(), kUnknown);
  negation.assign(n, kUnknown);
  negation[0] = static_cast<uint8_t>(top);
  negation[top] = 0;
  negation_setter.assign(n, -1);
  product_colours.assign(n, 0);
  equality_colours.assign(n, 0);
  for (const Cell& c : cells) {
    if (c.kind == CellKind::Product) ++product_open;
    if (c.kind == CellKind::Equality) ++equality_open;
  }
}

bool AlgebraSearch::State::Assign(int i, uint8_t v) {
  const Cell c = cells[i];
  value[i] = v;
  moves_at_level[i] = moves.size();
  bool holds = true;
  if (c.kind == CellKind::Product) {
    SetProduct(c.x, c.y, v);
    if (product_colours[v]++ == 0) ++product_attained;
    --product_open;
    // On a chain the column's first non-zero value shows y ~ 0 (the element
    // before it); otherwise the complete column does.
    if (demands.residuated && negation[c.y] == kUnknown) {
      if (lattice.chain && v != 0) {
        negation[c.y] = static_cast<uint8_t>(c.x - 1);
        negation_setter[c.y] = i;
      } else if (c.x == top - 1) {
        negation[c.y] = Residuum(c.y, 0);
        negation_setter[c.y] = i;
      }
    }
    holds = ProductHolds(c.x, c.y, v);
    if (holds && c.x == top - 1) {
      if (demands.residuated) holds = ForceResidua(c.y);
    }
  } else if (c.kind == CellKind::Equality) {
    eq[c.x * n + c.y] = v;
    eq[c.y * n + c.x] = v;
    if (equality_colours[v]++ == 0) ++equality_attained;
    --equality_open;
    holds = EqualityHolds(c.x, c.y, v);
  } else {
    del[c.x] = v;
    holds = !demands.delta_laws || DeltaHolds(c.x);
  }
  if (!holds) Unassign(i);
  return holds;
}

void AlgebraSearch::State::Unassign(int i) {
  RestoreMoves(i);
  const Cell c = cells[i];
  const uint8_t v = value[i];
  value[i] = kUnknown;
  if (c.kind == CellKind::Product) {
    SetProduct(c.x, c.y, kUnknown);
    if (--product_colours[v] == 0) --product_attained;
    ++product_open;
    if (negation_setter[c.y] == i) {
      negation[c.y] = kUnknown;
      negation_setter[c.y] = -1;
    }
    if (c.x == top - 1) {
      if (demands.residuated) ReleaseResidua(c.y);
    }
  } else if (c.kind == CellKind::Equality) {
    eq[c.x * n + c.y] = eq[c.y * n + c.x] = forced_eq[c.x * n + c.y];  // back to what is implied
    if (--equality_colours[v] == 0) --equality_attained;
    ++equality_open;
  } else {
    del[c.x] = kUnknown;
  }
}

// False when some automorphism maps the decided prefix onto a smaller vector.
// Only the automorphisms waiting for the cell decided last are compared, each
// from where its equal prefix ended, and each then waits for the next cell
// that blocks it (or for nothing, when it maps the prefix above the vector).
bool AlgebraSearch::State::LexLeaderPrefix(int decided) {
  const int level = decided - 1;
  const int count = static_cast<int>(cells.size());
  for (const int k : watchers[level]) {
    const uint8_t* g = &images[static_cast<size_t>(k) * n];
    const uint8_t* inverse = &inverses[static_cast<size_t>(k) * n];
    int i = equal_prefix[k];
    int blocking = count;
    const int16_t* pre = preimage_cells.empty() ? nullptr : &preimage_cells[static_cast<size_t>(k) * count];
    for (; i < count; ++i) {
      const int j = pre ? pre[i] : PreimageCell(inverse, i);
      if (std::max(i, j) >= decided) {
        blocking = std::max(i, j);
        break;
      }
      const uint8_t image = g[value[j]];
      if (image < value[i]) return false;
      if (image > value[i]) break;
    }
    if (i < count && blocking == count) continue;  // mapped above: waits for nothing
    moves.push_back({static_cast<uint32_t>(k), equal_prefix[k], static_cast<uint16_t>(blocking)});
    equal_prefix[k] = static_cast<uint16_t>(i);
    watchers[blocking].push_back(k);
  }
  return true;
}

void AlgebraSearch::State::RestoreMoves(int level) {
  while (moves.size() > moves_at_level[level]) {
    const Move& move = moves.back();
    watchers[move.watched].pop_back();
    equal_prefix[move.automorphism] = move.from_prefix;
    moves.pop_back();
  }
}

void AlgebraSearch::State::Descend(int i) {
  if ((++nodes & 1023) == 0) {
    if (stop->load(std::memory_order_relaxed)) {
      stopped = ended = true;
      return;
    }
    if (share_request && share_request->load(std::memory_order_relaxed)) {
      Share(i);
    } else if (split_every != 0 && nodes >= next_split && give) {
      next_split = nodes + split_every;
      Share(i);
    }
  }
  if (node_budget != 0 && nodes > node_budget) {
    budget_spent = ended = true;
    return;
  }
  if (i == static_cast<int>(cells.size())) {
    Leaf();
    return;
  }
  const std::vector<uint8_t>& list = candidates[i];
  const bool fixed = i < static_cast<int>(path.size());
  if (fixed && path[i] >= list.size()) return;
  loop_at[i] = fixed ? path[i] : 0;
  loop_end[i] = fixed ? path[i] + 1 : static_cast<int>(list.size());
  for (; loop_at[i] < loop_end[i] && !ended; ++loop_at[i]) {
    if (!Assign(i, list[loop_at[i]])) continue;
    if (LexLeaderPrefix(i + 1)) Descend(i + 1);
    Unassign(i);
  }
}

// The shallowest open cell with untried candidates gives them away: each
// becomes a path of its own, and this run ends that cell's range early.
void AlgebraSearch::State::Share(int open_cells) {
  for (int level = static_cast<int>(path.size()); level < open_cells; ++level) {
    if (loop_at[level] + 1 >= loop_end[level]) continue;
    std::vector<uint8_t> branch(static_cast<size_t>(level) + 1);
    for (int i = 0; i < level; ++i) branch[i] = static_cast<uint8_t>(loop_at[i]);
    for (int k = loop_at[level] + 1; k < loop_end[level]; ++k) {
      branch[level] = static_cast<uint8_t>(k);
      give(branch);
    }
    loop_end[level] = loop_at[level] + 1;
    return;
  }
}

// Decides the cells of a path; the number entered, or -1 (nothing left
// decided) when propagation or the duplicate test prunes it.
int AlgebraSearch::State::EnterPath(const std::vector<uint8_t>& at) {
  if (lattice_excluded) return -1;
  int entered = 0;
  for (size_t i = 0; i < at.size(); ++i) {
    if (i >= cells.size() || at[i] >= candidates[i].size() || !Assign(static_cast<int>(i), candidates[i][at[i]])) break;
    ++entered;
    if (!LexLeaderPrefix(entered)) break;
    if (entered == static_cast<int>(at.size())) return entered;
  }
  if (at.empty()) return 0;
  LeavePath(entered);
  return -1;
}

void AlgebraSearch::State::LeavePath(int entered) {
  for (int i = entered - 1; i >= 0; --i) Unassign(i);
}

void AlgebraSearch::State::Leaf() {
  const int count = static_cast<int>(cells.size());
  // Every automorphism was compared to the end by now: those that fix the
  // vector wait at the end.
  const uint64_t stabiliser = 1 + watchers[count].size();

  // Every instance of every axiom was checked when its last cell was
  // decided, so a leaf satisfies the twelve axioms. When nothing else counts
  // beyond what the search decides and no representative is kept, that is
  // the whole judgement; otherwise the model's fitness decides, on a reused
  // algebra, and a winner leaves only its cells behind.
  assert(TwelveAxiomsHold(lattice, prod.data(), eq.data()));
  if (winners_decided && !keep_representatives) {
#ifndef NDEBUG
    TEQAlgebra check;
    FillAlgebra(check);
    assert(check.Evaluate() == 1.0);
#endif
    SearchWinner winner;
    winner.Automorphisms = stabiliser;
    if (!(*on_winner)(winner)) ended = true;
    return;
  }
  if (!scratch) scratch = std::make_unique<TEQAlgebra>();
  FillAlgebra(*scratch);
  scratch->PropertyResults = {};
  scratch->Fitness = scratch->Evaluate();
  if (scratch->Fitness != 1.0) return;
  SearchWinner winner;
  winner.Automorphisms = stabiliser;
  winner.Algebra = scratch.get();
  if (keep_representatives) winner.Cells = value;
  if (!(*on_winner)(winner)) ended = true;
}

// The algebra of the decided tables in the program's standard layout, as the
// random construction lays it out (delta's default while only the maximum is
// in play; the maximum entries are filled by the evaluation).
void AlgebraSearch::State::FillAlgebra(TEQAlgebra& out) const {
  TEQAlgebra* algebra = &out;
  algebra->Init(n);
  const auto ch = [&](int e) { return algebra->ElementList[e]; };
  int k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = x + 1; y < n; ++y) algebra->InfimumGene.Entries[k++] = {ch(x), ch(y), ch(lattice.Meet(x, y))};
  }
  k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) algebra->ProductGene.Entries[k++] = {ch(x), ch(y), ch(P(x, y))};
  }
  k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = x + 1; y < n; ++y) algebra->FEqualityGene.Entries[k++] = {ch(x), ch(y), ch(E(x, y))};
  }
  if (settings.DeltaEnabled) {
    for (int x = 0; x < n; ++x) algebra->DeltaGene.Entries[x] = {ch(x), ch(del[x])};
  } else if (settings.MaximumEnabled) {
    for (int x = 0; x < n; ++x) algebra->DeltaGene.Entries[x] = {ch(x), x == top ? '1' : '0'};
  } else {
    algebra->DeltaGene.Count = 0;
  }
  if (settings.MaximumEnabled) {
    k = 0;
    for (int x = 0; x < n; ++x) {
      for (int y = 0; y < n; ++y) algebra->MaximumGene.Entries[k++] = {ch(x), ch(y), '\0'};
    }
  }
}

AlgebraSearch::AlgebraSearch(const FiniteLattice& lattice, const SearchSettings& settings, int prefix_depth)
    : state_(std::make_unique<State>()) {
  state_->lattice = lattice;
  state_->settings = settings;
  state_->Setup();
  SetPrefixDepth(prefix_depth);
}

std::shared_ptr<TEQAlgebra> AlgebraSearch::BuildRepresentative(const std::vector<uint8_t>& cells) const {
  State& s = *state_;
  if (cells.size() != s.cells.size()) return nullptr;
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell c = s.cells[i];
    if (c.kind == CellKind::Product) s.prod[c.x * s.n + c.y] = cells[i];
    if (c.kind == CellKind::Equality) s.eq[c.x * s.n + c.y] = s.eq[c.y * s.n + c.x] = cells[i];
    if (c.kind == CellKind::Delta) s.del[c.x] = cells[i];
  }
  auto algebra = std::make_shared<TEQAlgebra>();
  s.FillAlgebra(*algebra);
  for (size_t i = 0; i < cells.size(); ++i) {
    const Cell c = s.cells[i];
    if (c.kind == CellKind::Product) s.prod[c.x * s.n + c.y] = kUnknown;
    if (c.kind == CellKind::Equality) s.eq[c.x * s.n + c.y] = s.eq[c.y * s.n + c.x] = s.forced_eq[c.x * s.n + c.y];
    if (c.kind == CellKind::Delta) s.del[c.x] = kUnknown;
  }
  algebra->Fitness = algebra->Evaluate();
  if (algebra->Fitness != 1.0) return nullptr;
  algebra->BuildCanonicalText();
  return algebra;
}

void AlgebraSearch::KeepRepresentatives(bool keep) { state_->keep_representatives = keep; }

void AlgebraSearch::SetPrefixDepth(int depth) {
  state_->prefix_depth = std::clamp(depth, 0, static_cast<int>(state_->cells.size()));
}

AlgebraSearch::~AlgebraSearch() = default;

int AlgebraSearch::CellCount() const { return static_cast<int>(state_->cells.size()); }

void AlgebraSearch::ShareWork(const std::atomic<bool>* request, std::function<void(std::vector<uint8_t>)> give) {
  state_->share_request = request;
  state_->give = std::move(give);
}

std::vector<std::vector<uint8_t>> AlgebraSearch::ChildPaths(const std::vector<uint8_t>& path) {
  State& s = *state_;
  std::vector<std::vector<uint8_t>> children;
  const int entered = s.EnterPath(path);
  if (entered < 0 || entered >= static_cast<int>(s.cells.size())) {
    if (entered > 0) s.LeavePath(entered);
    return children;
  }
  const std::vector<uint8_t>& list = s.candidates[entered];
  for (size_t k = 0; k < list.size(); ++k) {
    if (!s.Assign(entered, list[k])) continue;
    if (s.LexLeaderPrefix(entered + 1)) {
      children.push_back(path);
      children.back().push_back(static_cast<uint8_t>(k));
    }
    s.Unassign(entered);
  }
  s.LeavePath(entered);
  return children;
}

double AlgebraSearch::EstimateWork(const std::vector<uint8_t>& path, int probes, uint64_t seed) {
  // A leaf costs the evaluation of the whole algebra: as much as many tries.
  constexpr double kLeafWork = 150;
  State& s = *state_;
  const int entered = s.EnterPath(path);
  if (entered < 0) return 0;
  const int cell_count = static_cast<int>(s.cells.size());
  std::vector<uint8_t> open;
  double total = 0;
  for (int probe = 0; probe < probes; ++probe) {
    double weight = 1;
    int depth = entered;
    for (;;) {
      if (depth == cell_count) {
        total += weight * kLeafWork;
        break;
      }
      const std::vector<uint8_t>& list = s.candidates[depth];
      open.clear();
      for (size_t k = 0; k < list.size(); ++k) {
        if (!s.Assign(depth, list[k])) continue;
        if (s.LexLeaderPrefix(depth + 1)) open.push_back(static_cast<uint8_t>(k));
        s.Unassign(depth);
      }
      total += weight * static_cast<double>(list.size());
      if (open.empty()) break;
      seed += 0x9E3779B97F4A7C15ull;  // splitmix64
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      z ^= z >> 31;
      s.Assign(depth, list[open[z % open.size()]]);
      s.LexLeaderPrefix(depth + 1);  // passed above; moves the automorphisms waiting for this cell again
      weight *= static_cast<double>(open.size());
      ++depth;
    }
    for (int i = depth - 1; i >= entered; --i) s.Unassign(i);
  }
  s.LeavePath(entered);
  return total / probes;
}

int64_t AlgebraSearch::UnitCount() const {
  int64_t units = 1;
  for (int i = 0; i < state_->prefix_depth; ++i) units *= static_cast<int64_t>(state_->candidates[i].size());
  return units;
}

std::vector<uint8_t> AlgebraSearch::UnitPath(int64_t unit) const {
  const State& s = *state_;
  std::vector<uint8_t> digits(s.prefix_depth, 0);
  for (int i = s.prefix_depth - 1; i >= 0; --i) {
    const int64_t radix = std::max<int64_t>(1, static_cast<int64_t>(s.candidates[i].size()));
    digits[i] = static_cast<uint8_t>(unit % radix);
    unit /= radix;
  }
  return digits;
}

bool AlgebraSearch::RunUnit(int64_t unit, const std::atomic<bool>& stop,
                            const std::function<bool(const SearchWinner&)>& on_winner) {
  return RunPath(UnitPath(unit), stop, on_winner);
}

bool AlgebraSearch::RunPath(const std::vector<uint8_t>& path, const std::atomic<bool>& stop,
                            const std::function<bool(const SearchWinner&)>& on_winner) {
  State& s = *state_;
  s.path = path;
  s.loop_at.assign(s.cells.size(), 0);
  s.loop_end.assign(s.cells.size(), 0);
  s.stop = &stop;
  s.on_winner = &on_winner;
  s.ended = s.stopped = s.budget_spent = false;
  s.nodes = 0;
  s.next_split = s.split_every;
  if (!s.lattice_excluded) s.Descend(0);
  return !s.stopped;
}

void AlgebraSearch::SplitEvery(uint64_t nodes) { state_->split_every = nodes; }

void AlgebraSearch::SetNodeBudget(uint64_t nodes) { state_->node_budget = nodes; }

bool AlgebraSearch::BudgetSpent() const { return state_->budget_spent; }

void AlgebraSearch::VaryValueOrder(uint64_t seed) {
  State& s = *state_;
  if (s.usual_candidates.empty()) s.usual_candidates = s.candidates;
  s.candidates = s.usual_candidates;
  if (seed == 0) return;
  std::mt19937_64 random(seed);
  for (auto& list : s.candidates) std::shuffle(list.begin(), list.end(), random);
}
