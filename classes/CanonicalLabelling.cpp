#include "classes/CanonicalLabelling.h"

#include <algorithm>
#include <vector>

namespace {

using Labels = std::array<uint8_t, kMaxPoints>;

// An ordered partition of the points: the cells lie side by side in lab, and
// a point's colour is the start of its cell there, so colours say the same
// thing in every relabelling of the structure.
struct Partition {
  Labels lab{};        // the points, cell by cell
  Labels colour{};     // colour of point x at x
  Labels cell_size{};  // size of the cell that starts at lab index i, at i
  int cells = 0;
};

// A fixed 64-bit mixer (the splitmix64 finaliser): the refinement splits
// cells by these values and orders the parts by them, so they must be the
// same on every machine and in every run.
uint64_t Mix(uint64_t z) {
  z += 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

uint64_t Pack(uint64_t kind, uint64_t a, uint64_t b, uint64_t c) { return kind << 60 | a << 40 | b << 20 | c; }

// Unsigned comparison as -1, 0, 1.
template <typename T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

class Search {
 public:
  explicit Search(const OperationStructure& structure) : s_(structure), n_(structure.Points) {
    for (int v = 0; v < static_cast<int>(value_colour_.size()); ++v) value_colour_[v] = static_cast<uint16_t>(v);
  }

  CanonicalForm Run() {
    Partition root;
    int at = 0;
    for (int x = 0; x < n_; ++x) {
      if (!s_.Movable[x]) {
        root.lab[at] = static_cast<uint8_t>(x);
        root.colour[x] = static_cast<uint8_t>(at);
        root.cell_size[at] = 1;
        ++at;
        ++root.cells;
      }
    }
    const int movable_start = at;
    for (int x = 0; x < n_; ++x) {
      if (s_.Movable[x]) {
        root.lab[at++] = static_cast<uint8_t>(x);
        root.colour[x] = static_cast<uint8_t>(movable_start);
      }
    }
    if (movable_start < n_) {
      root.cell_size[movable_start] = static_cast<uint8_t>(n_ - movable_start);
      ++root.cells;
    }
    const uint64_t trace = Refine(root);
    Explore(0, root, trace, true, 0, true);

    CanonicalForm form;
    form.Automorphisms = group_order_;
    form.Tables.reserve(best_tables_.size());
    for (const uint16_t v : best_tables_) {
      if (v < kOutsideValue) {
        form.Tables += static_cast<char>(v);
      } else {
        form.Tables += '\xff';
        form.Tables += static_cast<char>(v - kOutsideValue);
      }
    }
    return form;
  }

 private:
  // One round of refinement: every point of a cell that is not a singleton
  // gets a value summed over how it meets every point (the colours of y,
  // x op y and y op x in each operation) or, in a preimage round, over the
  // pairs that it is the value of. Sums make the value independent of the
  // order of the points; each cell is then split by the values, parts in
  // ascending order. Returns whether a cell was split.
  bool RefineRound(Partition& p, bool preimages, uint64_t& trace) {
    for (int x = 0; x < n_; ++x) value_colour_[x] = p.colour[x];
    std::array<uint64_t, kMaxPoints> value{};
    if (preimages) {
      for (int op = 0; op < s_.BinaryCount; ++op) {
        const uint16_t* table = s_.Binary[op].data();
        for (int y = 0; y < n_; ++y) {
          for (int z = 0; z < n_; ++z) {
            const uint16_t v = table[y * kMaxPoints + z];
            if (v < n_) value[v] += Mix(Pack(4 + op, value_colour_[y], value_colour_[z], 0));
          }
        }
      }
      if (s_.HasUnary) {
        for (int y = 0; y < n_; ++y) {
          const uint16_t v = s_.Unary[y];
          if (v < n_) value[v] += Mix(Pack(8, value_colour_[y], 0, 0));
        }
      }
    } else {
      for (int x = 0; x < n_; ++x) {
        if (p.cell_size[p.colour[x]] == 1) continue;
        uint64_t sum = 0;
        for (int op = 0; op < s_.BinaryCount; ++op) {
          const uint16_t* table = s_.Binary[op].data();
          for (int y = 0; y < n_; ++y) {
            sum += Mix(Pack(op, value_colour_[y], value_colour_[table[x * kMaxPoints + y]],
                            value_colour_[table[y * kMaxPoints + x]]));
          }
        }
        if (s_.HasUnary) sum += Mix(Pack(3, value_colour_[s_.Unary[x]], 0, 0));
        value[x] = sum;
      }
    }

    bool split = false;
    for (int start = 0; start < n_;) {
      const int size = p.cell_size[start];
      if (size > 1) {
        uint8_t* first = p.lab.data() + start;
        std::sort(first, first + size, [&](uint8_t a, uint8_t b) { return value[a] < value[b]; });
        if (value[first[0]] != value[first[size - 1]]) {
          split = true;
          int part = start;
          for (int i = start; i < start + size; ++i) {
            if (i > start && value[p.lab[i]] != value[p.lab[i - 1]]) {
              p.cell_size[part] = static_cast<uint8_t>(i - part);
              trace = Mix(trace ^ Pack(1, part, i - part, 0) ^ value[p.lab[part]]);
              part = i;
              ++p.cells;
            }
            p.colour[p.lab[i]] = static_cast<uint8_t>(part);
          }
          p.cell_size[part] = static_cast<uint8_t>(start + size - part);
          trace = Mix(trace ^ Pack(1, part, start + size - part, 0) ^ value[p.lab[part]]);
        }
      }
      start += size;
    }
    return split;
  }

  // Refines to a stable colouring: cheap rounds first, a preimage round
  // only when they stop splitting. Returns the trace of the splits, an
  // invariant of the node.
  uint64_t Refine(Partition& p) {
    uint64_t trace = 0;
    while (p.cells < n_) {
      if (RefineRound(p, false, trace)) continue;
      if (!RefineRound(p, true, trace)) break;
    }
    return Mix(trace ^ Pack(2, p.cells, 0, 0));
  }

  // Gives point w a cell of its own at the start of its cell.
  static void Individualise(Partition& p, int start, uint8_t w) {
    const int size = p.cell_size[start];
    const int at = static_cast<int>(std::find(p.lab.begin() + start, p.lab.begin() + start + size, w) - p.lab.begin());
    std::swap(p.lab[start], p.lab[at]);
    p.cell_size[start] = 1;
    p.cell_size[start + 1] = static_cast<uint8_t>(size - 1);
    for (int i = start + 1; i < start + size; ++i) p.colour[p.lab[i]] = static_cast<uint8_t>(start + 1);
    ++p.cells;
  }

  // The tables relabelled by a leaf: point lab[i] becomes i.
  void Relabel(const Labels& lab, std::vector<uint16_t>& out) const {
    Labels position{};
    for (int i = 0; i < n_; ++i) position[lab[i]] = static_cast<uint8_t>(i);
    const auto code = [&](uint16_t v) { return v < n_ ? uint16_t{position[v]} : v; };
    out.clear();
    for (int op = 0; op < s_.BinaryCount; ++op) {
      for (int i = 0; i < n_; ++i) {
        for (int j = 0; j < n_; ++j) out.push_back(code(s_.Binary[op][lab[i] * kMaxPoints + lab[j]]));
      }
    }
    if (s_.HasUnary) {
      for (int i = 0; i < n_; ++i) out.push_back(code(s_.Unary[lab[i]]));
    }
  }

  void AddGenerator(const Labels& from, const Labels& to) {
    Labels map{};
    bool identity = true;
    for (int i = 0; i < n_; ++i) {
      map[from[i]] = to[i];
      identity = identity && from[i] == to[i];
    }
    if (!identity) generators_.push_back(map);
  }

  // Orbits (as union-find roots) of the group generated by the automorphisms
  // found so far that fix the points chosen on the way to a node at `level`.
  Labels OrbitsFixingPath(int level) const {
    Labels parent{};
    for (int x = 0; x < n_; ++x) parent[x] = static_cast<uint8_t>(x);
    const auto find = [&](int x) {
      while (parent[x] != x) x = parent[x] = parent[parent[x]];
      return x;
    };
    for (const Labels& g : generators_) {
      bool fixes = true;
      for (int k = 0; k < level && fixes; ++k) fixes = g[path_point_[k]] == path_point_[k];
      if (!fixes) continue;
      for (int x = 0; x < n_; ++x) {
        const int a = find(x), b = find(g[x]);
        if (a != b) parent[std::max(a, b)] = static_cast<uint8_t>(std::min(a, b));
      }
    }
    for (int x = 0; x < n_; ++x) parent[x] = static_cast<uint8_t>(find(x));
    return parent;
  }

  // The level of the deepest node that the current path (down to `level`)
  // shares with a path whose chosen points are `other`.
  int CommonAncestor(int level, const Labels& other) const {
    int common = 0;
    while (common < level && path_point_[common] == other[common]) ++common;
    return common;
  }

  // A leaf: the first one is the first path's end and the best so far. A
  // leaf equal to the first or to the best is an automorphism that maps the
  // subtree holding that leaf onto the one being explored below their common
  // ancestor, so the search goes back to that ancestor at once. Otherwise
  // the greater leaf becomes the best.
  int Leaf(int level, const Partition& p, bool equal_first, int against_best) {
    Relabel(p.lab, scratch_);
    if (!have_first_) {
      have_first_ = true;
      first_tables_ = best_tables_ = scratch_;
      first_lab_ = best_lab_ = p.lab;
      first_depth_ = best_depth_ = level;
      first_trace_ = best_trace_ = path_trace_;
      first_point_ = best_point_ = path_point_;
      return -1;
    }
    if (equal_first && scratch_ == first_tables_) {
      AddGenerator(first_lab_, p.lab);
      return CommonAncestor(level, first_point_);
    }
    const int order = against_best != 0 ? against_best : Compare(scratch_, best_tables_);
    if (order > 0) {
      best_tables_ = scratch_;
      best_lab_ = p.lab;
      best_depth_ = level;
      best_trace_ = path_trace_;
      best_point_ = path_point_;
      ++best_version_;
    } else if (order == 0) {
      AddGenerator(best_lab_, p.lab);
      return CommonAncestor(level, best_point_);
    }
    return -1;
  }

  // Explores the node at `level` whose refined partition is p and whose
  // trace is `trace`. equal_first: the path's traces equal the first path's
  // so far; against_best: how they compare with the best leaf's. Returns -1,
  // or the level of the ancestor to go back to.
  int Explore(int level, const Partition& p, uint64_t trace, bool equal_first, int against_best, bool first_path) {
    path_trace_[level] = trace;
    if (have_first_) {
      equal_first = equal_first && level <= first_depth_ && first_trace_[level] == trace;
      if (against_best == 0) against_best = level <= best_depth_ ? Compare(trace, best_trace_[level]) : 1;
      if (!equal_first && against_best < 0) return -1;
    }
    if (p.cells == n_) return Leaf(level, p, equal_first, against_best);

    int start = 0;
    while (p.cell_size[start] == 1) ++start;
    const int size = p.cell_size[start];
    Labels members{};
    std::copy_n(p.lab.begin() + start, size, members.begin());

    // Children in one orbit of the automorphisms that fix this node's path
    // lead to images of one another: one of each orbit is explored.
    std::array<bool, kMaxPoints> explored{};
    for (int i = 0; i < size; ++i) {
      if (i > 0) {
        const Labels orbit = OrbitsFixingPath(level);
        bool seen = false;
        for (int j = 0; j < i && !seen; ++j) seen = explored[j] && orbit[members[j]] == orbit[members[i]];
        if (seen) continue;
      }
      path_point_[level] = members[i];
      Partition child = p;
      Individualise(child, start, members[i]);
      const uint64_t child_trace = Refine(child);
      const uint64_t version = best_version_;
      const int back = Explore(level + 1, child, child_trace, equal_first, against_best, first_path && i == 0);
      explored[i] = true;
      if (best_version_ != version) against_best = 0;  // the new best runs through this node
      if (back >= 0 && back < level) return back;
    }
    if (first_path) {
      // Every child equivalent to the first was either pruned as a member of
      // its orbit or led to a leaf equal to the first: the orbit is complete.
      const Labels orbit = OrbitsFixingPath(level);
      int orbit_size = 0;
      for (int i = 0; i < size; ++i) orbit_size += orbit[members[i]] == orbit[members[0]] ? 1 : 0;
      group_order_ *= static_cast<BigCount>(orbit_size);
    }
    return -1;
  }

  const OperationStructure& s_;
  const int n_;
  std::array<uint16_t, kOutsideValue + 256> value_colour_{};  // colour of a value: a point's colour, an outside value itself

  std::array<uint64_t, kMaxPoints + 1> path_trace_{};
  Labels path_point_{};  // the point chosen at each level of the current path

  bool have_first_ = false;
  std::vector<uint16_t> first_tables_, best_tables_, scratch_;
  Labels first_lab_{}, best_lab_{};
  Labels first_point_{}, best_point_{};
  int first_depth_ = 0, best_depth_ = 0;
  std::array<uint64_t, kMaxPoints + 1> first_trace_{}, best_trace_{};
  uint64_t best_version_ = 0;

  std::vector<Labels> generators_;
  BigCount group_order_ = 1;
};

}  // namespace

CanonicalForm CanonicalLabelling(const OperationStructure& structure) { return Search(structure).Run(); }
