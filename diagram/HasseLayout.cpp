// Ranks, dummy nodes for long edges, the order within the ranks, then the
// horizontal places by repeated least-squares fitting under order and gap
// constraints (pool-adjacent-violators on one layer at a time).

#include "diagram/HasseLayout.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "diagram/LayerOrdering.h"

namespace {

constexpr int kPlacementRounds = 24;

struct Block {
  double sum = 0;   // of the shifted targets
  double weight = 0;
  size_t first = 0;
  double Value() const { return sum / weight; }
};

// Places one layer as close as it can to the targets (least squares) while
// keeping its order and the least gaps: with offsets o_i (the sum of the
// gaps up to node i), z_i = x_i - o_i must not decrease, which is an
// isotonic regression solved by pooling adjacent violators.
void PlaceLayer(const std::vector<int>& layer, const std::vector<double>& target, int real_count,
                std::vector<double>& x, std::vector<Block>& blocks) {
  const size_t k = layer.size();
  blocks.clear();
  double offset = 0;
  std::vector<double> offsets(k);
  for (size_t i = 0; i < k; ++i) {
    if (i > 0) offset += layer[i - 1] < real_count && layer[i] < real_count ? kElementGap : kBendGap;
    offsets[i] = offset;
    blocks.push_back({target[layer[i]] - offset, 1.0, i});
    while (blocks.size() > 1 && blocks[blocks.size() - 2].Value() >= blocks.back().Value()) {
      const Block last = blocks.back();
      blocks.pop_back();
      blocks.back().sum += last.sum;
      blocks.back().weight += last.weight;
    }
  }
  for (size_t b = 0; b < blocks.size(); ++b) {
    const size_t end = b + 1 < blocks.size() ? blocks[b + 1].first : k;
    for (size_t i = blocks[b].first; i < end; ++i) x[layer[i]] = blocks[b].Value() + offsets[i];
  }
}

// The first order of every layer: the order in which a depth-first walk up
// from the least element meets the nodes, the upper covers in list order.
void InitialOrder(LayeredGraph& g, const std::vector<int>& layer_of) {
  const size_t nodes = g.Up.size();
  std::vector<bool> seen(nodes, false);
  std::vector<int> stack;
  const auto walk_from = [&](int start) {
    stack.push_back(start);
    while (!stack.empty()) {
      const int v = stack.back();
      stack.pop_back();
      if (seen[v]) continue;
      seen[v] = true;
      g.Layers[layer_of[v]].push_back(v);
      for (auto it = g.Up[v].rbegin(); it != g.Up[v].rend(); ++it)
        if (!seen[*it]) stack.push_back(*it);
    }
  };
  for (size_t v = 0; v < nodes; ++v)
    if (layer_of[v] == 0 && !seen[v]) walk_from(static_cast<int>(v));
  for (size_t v = 0; v < nodes; ++v)
    if (!seen[v]) walk_from(static_cast<int>(v));
}

}  // namespace

HasseLayout LayoutHasse(const MeetTable& table) {
  assert(MeetFault(table).empty());
  const int n = table.Size;
  const std::vector<Cover> covers = CoveringPairs(table);
  HasseLayout out;
  out.Size = n;
  out.Rank = Ranks(n, covers);
  out.Height = n > 0 ? *std::max_element(out.Rank.begin(), out.Rank.end()) : 0;

  // Nodes: the elements, then one dummy per rank an edge passes.
  LayeredGraph g;
  std::vector<int> layer_of(out.Rank);
  std::vector<std::vector<int>> chains;  // per cover: its nodes from lower to upper
  g.Up.resize(n);
  g.Down.resize(n);
  for (const Cover& c : covers) {
    std::vector<int> chain{c.Lower};
    for (int r = out.Rank[c.Lower] + 1; r < out.Rank[c.Upper]; ++r) {
      chain.push_back(static_cast<int>(g.Up.size()));
      g.Up.emplace_back();
      g.Down.emplace_back();
      layer_of.push_back(r);
    }
    chain.push_back(c.Upper);
    for (size_t i = 0; i + 1 < chain.size(); ++i) {
      g.Up[chain[i]].push_back(chain[i + 1]);
      g.Down[chain[i + 1]].push_back(chain[i]);
    }
    chains.push_back(std::move(chain));
  }
  g.Layers.resize(out.Height + 1);
  InitialOrder(g, layer_of);
  out.Crossings = ReduceCrossings(g);

  // Horizontal places: evenly spread and centred, then each node drawn
  // towards the mean place of its neighbours, layer by layer, both ways.
  const size_t nodes = g.Up.size();
  std::vector<double> x(nodes, 0), target(nodes, 0);
  for (const std::vector<int>& layer : g.Layers)
    for (size_t i = 0; i < layer.size(); ++i) x[layer[i]] = static_cast<double>(i) - 0.5 * (static_cast<double>(layer.size()) - 1.0);
  std::vector<Block> blocks;
  const auto place = [&](size_t r) {
    for (const int v : g.Layers[r]) {
      double sum = 0;
      for (const int u : g.Up[v]) sum += x[u];
      for (const int u : g.Down[v]) sum += x[u];
      const size_t degree = g.Up[v].size() + g.Down[v].size();
      target[v] = degree > 0 ? sum / static_cast<double>(degree) : x[v];
    }
    PlaceLayer(g.Layers[r], target, n, x, blocks);
  };
  for (int round = 0; round < kPlacementRounds; ++round) {
    for (size_t r = 0; r < g.Layers.size(); ++r) place(r);
    for (size_t r = g.Layers.size(); r-- > 0;) place(r);
  }
  // The least element at 0, and no rounding noise (a chain is exactly straight).
  const double origin = n > 0 ? x[g.Layers[0].front()] : 0;
  for (double& v : x) v = std::round((v - origin) * 1e9) / 1e9;

  out.X.assign(x.begin(), x.begin() + n);
  out.Left = out.Right = n > 0 ? x[0] : 0;
  for (const double v : x) {
    out.Left = std::min(out.Left, v);
    out.Right = std::max(out.Right, v);
  }
  for (size_t c = 0; c < covers.size(); ++c) {
    HasseEdge edge{covers[c].Lower, covers[c].Upper, {}};
    for (size_t i = 1; i + 1 < chains[c].size(); ++i) edge.BendX.push_back(x[chains[c][i]]);
    out.Edges.push_back(std::move(edge));
  }
  return out;
}
