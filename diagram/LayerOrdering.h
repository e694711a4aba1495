#pragma once
// Crossing reduction for a graph drawn in horizontal layers, every edge
// joining two neighbouring layers (long edges are split by dummy nodes
// beforehand). The order within each layer is improved by barycentre and
// median sweeps, alternately upwards and downwards, from several starting
// orders, each result then polished by swapping neighbours while a swap
// removes crossings (the "transpose" step). Everything is deterministic: the
// same graph gets the same order. For the graphs of lattices up to 28
// elements (a few hundred nodes with the dummies) it takes well under a
// millisecond.

#include <vector>

struct LayeredGraph {
  std::vector<std::vector<int>> Layers;  // node ids of each layer, left to right; layer 0 at the bottom
  std::vector<std::vector<int>> Up;      // per node: its neighbours in the layer above
  std::vector<std::vector<int>> Down;    // per node: its neighbours in the layer below
};

// The edge crossings of the graph in its present orders: pairs of edges
// between the same two layers whose ends lie in opposite orders.
int CountCrossings(const LayeredGraph& graph);

// Reorders the layers to make the crossings few and returns their number.
// The starting order counts: it is the first one tried, and ties keep it.
int ReduceCrossings(LayeredGraph& graph);
