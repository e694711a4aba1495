#pragma once
// Lattices made on demand from smaller ones, for sizes whose lattices are too
// many to enumerate: direct products, ordinal sums (the top of one glued to
// the bottom of the next), horizontal sums (bottoms and tops glued) and the
// lattices of small size enumerated whole. Every result is naturally labelled
// (i <= j implies index i <= index j) with 0 first and 1 last.

#include <optional>
#include <string>
#include <vector>

#include "finder/Lattices.h"

// The lattice of an order on n elements given as leq[i * n + j], relabelled
// along a linear extension; nothing when the order has no least or greatest
// element or some pair lacks a meet or a join. labels, when given, receives
// the original index of every new one.
std::optional<FiniteLattice> LatticeOfOrder(int n, const std::vector<uint8_t>& leq,
                                            std::vector<int>* labels = nullptr);

// The pair (i, j) is index i * b.n + j before relabelling (see labels).
FiniteLattice ProductLattice(const FiniteLattice& a, const FiniteLattice& b, std::vector<int>* labels = nullptr);
// a below b, a's top identified with b's bottom: a.n + b.n - 1 elements.
FiniteLattice OrdinalSum(const FiniteLattice& a, const FiniteLattice& b);
// a and b side by side between one bottom and one top: a.n + b.n - 2 elements.
FiniteLattice HorizontalSum(const FiniteLattice& a, const FiniteLattice& b);

struct NamedLattice {
  FiniteLattice Lattice;
  std::string Recipe;  // how it was made, e.g. "2x3 + chain 4"
};

// Up to `most` lattices of n elements other than the chain, the ones closest
// to a chain first: a small non-chain lattice between two chains at every
// height, products of chains with chains around them, then horizontal sums.
std::vector<NamedLattice> ConstructedLattices(int n, int most);
