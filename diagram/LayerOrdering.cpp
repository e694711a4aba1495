// Barycentre and median sweeps with the transpose step (after Gansner et
// al., "A technique for drawing directed graphs", and Sugiyama's method).

#include "diagram/LayerOrdering.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

constexpr int kTrials = 8;             // starting orders: the given one, then shuffles
constexpr int kPassesPerTrial = 24;    // sweeps (one layer direction each) per trial
constexpr int kPassesWithoutGain = 6;  // a trial ends after this many sweeps without a better order
constexpr int kTransposeRounds = 32;

// A small deterministic generator for the shuffled starts (never the
// program's search generator, whose draws are part of a seeded run).
struct SplitMix {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

class Orderer {
 public:
  explicit Orderer(LayeredGraph& graph) : g_(graph), pos_(graph.Up.size(), 0) { Renumber(); }

  void Renumber() {
    for (const std::vector<int>& layer : g_.Layers)
      for (size_t i = 0; i < layer.size(); ++i) pos_[layer[i]] = static_cast<int>(i);
  }

  // Crossings between layer r and layer r + 1: edges taken in the order of
  // their lower ends, then upper ends; each crosses the earlier edges whose
  // upper end lies further right (counted with a Fenwick tree).
  int CrossingsAbove(size_t r) {
    const std::vector<int>& upper = g_.Layers[r + 1];
    fenwick_.assign(upper.size() + 1, 0);
    int crossings = 0, seen = 0;
    for (const int u : g_.Layers[r]) {
      ends_.clear();
      for (const int v : g_.Up[u]) ends_.push_back(pos_[v]);
      std::sort(ends_.begin(), ends_.end());
      for (const int p : ends_) crossings += seen - Prefix(p + 1);
      for (const int p : ends_) {
        Add(p + 1);
        ++seen;
      }
    }
    return crossings;
  }

  int Crossings() {
    int total = 0;
    for (size_t r = 0; r + 1 < g_.Layers.size(); ++r) total += CrossingsAbove(r);
    return total;
  }

  // Sorts layer r by the barycentre (or median) of each node's neighbours on
  // one side; a node without neighbours there keeps its place as its key.
  void SortLayer(size_t r, bool by_lower, bool median) {
    std::vector<int>& layer = g_.Layers[r];
    keys_.resize(layer.size());
    for (size_t i = 0; i < layer.size(); ++i) {
      const std::vector<int>& side = by_lower ? g_.Down[layer[i]] : g_.Up[layer[i]];
      if (side.empty()) {
        keys_[i] = {static_cast<double>(i), layer[i]};
        continue;
      }
      ends_.clear();
      for (const int v : side) ends_.push_back(pos_[v]);
      double key;
      if (median) {
        std::sort(ends_.begin(), ends_.end());
        const size_t m = ends_.size() / 2;
        key = ends_.size() % 2 == 1 ? ends_[m] : 0.5 * (ends_[m - 1] + ends_[m]);
      } else {
        key = std::accumulate(ends_.begin(), ends_.end(), 0.0) / static_cast<double>(ends_.size());
      }
      keys_[i] = {key, layer[i]};
    }
    std::stable_sort(keys_.begin(), keys_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < layer.size(); ++i) {
      layer[i] = keys_[i].second;
      pos_[layer[i]] = static_cast<int>(i);
    }
  }

  // Crossings among the edges of u and of v (on both sides) with u left of v.
  int PairCrossings(int u, int v) const {
    int c = 0;
    for (const auto* side : {&g_.Down, &g_.Up})
      for (const int a : (*side)[u])
        for (const int b : (*side)[v]) c += pos_[a] > pos_[b];
    return c;
  }

  // Swaps neighbours while that removes crossings.
  void Transpose() {
    for (int round = 0; round < kTransposeRounds; ++round) {
      bool improved = false;
      for (std::vector<int>& layer : g_.Layers)
        for (size_t i = 0; i + 1 < layer.size(); ++i) {
          const int u = layer[i], v = layer[i + 1];
          if (PairCrossings(v, u) < PairCrossings(u, v)) {
            std::swap(layer[i], layer[i + 1]);
            pos_[layer[i]] = static_cast<int>(i);
            pos_[layer[i + 1]] = static_cast<int>(i + 1);
            improved = true;
          }
        }
      if (!improved) break;
    }
  }

 private:
  int Prefix(size_t i) const {
    int sum = 0;
    for (; i > 0; i -= i & (~i + 1)) sum += fenwick_[i];
    return sum;
  }
  void Add(size_t i) {
    for (; i < fenwick_.size(); i += i & (~i + 1)) ++fenwick_[i];
  }

  LayeredGraph& g_;
  std::vector<int> pos_;  // node -> index within its layer
  std::vector<int> fenwick_;
  std::vector<int> ends_;
  std::vector<std::pair<double, int>> keys_;
};

}  // namespace

int CountCrossings(const LayeredGraph& graph) {
  LayeredGraph copy = graph;
  return Orderer(copy).Crossings();
}

int ReduceCrossings(LayeredGraph& graph) {
  Orderer orderer(graph);
  std::vector<std::vector<int>> best = graph.Layers;
  int best_crossings = orderer.Crossings();
  SplitMix random{0x5EED};
  const size_t layers = graph.Layers.size();
  for (int trial = 0; trial < kTrials && best_crossings > 0; ++trial) {
    if (trial > 0) {
      graph.Layers = best;
      for (std::vector<int>& layer : graph.Layers)
        for (size_t i = layer.size(); i > 1; --i) std::swap(layer[i - 1], layer[random.Next() % i]);
      orderer.Renumber();
    }
    const bool median = trial % 2 == 1;
    int trial_best = orderer.Crossings();
    std::vector<std::vector<int>> trial_order = graph.Layers;
    int without_gain = 0;
    for (int pass = 0; pass < kPassesPerTrial && trial_best > 0 && without_gain < kPassesWithoutGain; ++pass) {
      const bool upwards = pass % 2 == 0;
      if (upwards) {
        for (size_t r = 1; r < layers; ++r) orderer.SortLayer(r, true, median);
      } else {
        for (size_t r = layers - 1; r-- > 0;) orderer.SortLayer(r, false, median);
      }
      const int crossings = orderer.Crossings();
      if (crossings < trial_best) {
        trial_best = crossings;
        trial_order = graph.Layers;
        without_gain = 0;
      } else {
        ++without_gain;
      }
    }
    graph.Layers = trial_order;
    orderer.Renumber();
    orderer.Transpose();
    const int crossings = orderer.Crossings();
    if (crossings < best_crossings) {
      best_crossings = crossings;
      best = graph.Layers;
    }
  }
  graph.Layers = best;
  return best_crossings;
}
