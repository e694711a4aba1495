#pragma once
// Finite lattices with a least element 0 and a greatest element 1, as the
// order of a winner's infimum. Element i is list position i + 1: index 0 is
// '0', index n - 1 is '1', the inner elements lie between.

#include <cstdint>
#include <vector>

struct FiniteLattice {
  int n = 0;
  std::vector<uint8_t> leq;   // 1 when i <= j, at i * n + j
  std::vector<uint8_t> meet;  // i ^ j at i * n + j
  std::vector<uint8_t> join;  // the least upper bound of i and j at i * n + j
  bool chain = false;

  bool Leq(int i, int j) const { return leq[i * n + j] != 0; }
  uint8_t Meet(int i, int j) const { return meet[i * n + j]; }
  uint8_t Join(int i, int j) const { return join[i * n + j]; }
};

// The largest size for which every lattice is enumerated; above it only the
// chain. The largest size is made by canonical augmentation.
inline constexpr int kLatticeEnumerationLimit = 11;
// The largest size whose lattices are enumerated in well under a second (at
// 10 elements it takes seconds).
inline constexpr int kQuickLatticeLimit = 8;

// The chain 0 < a < b < ... < 1 on n elements.
FiniteLattice ChainLattice(int n);

// One lattice of every isomorphism class on n elements (n <= the limit), the
// chain first, the rest in a fixed order; every one labelled so that i <= j
// implies index i <= index j.
std::vector<FiniteLattice> LatticesUpToIsomorphism(int n);

// Every permutation of the inner elements that preserves the order, one after
// another as the images of 0 .. n - 1 (0 and n - 1 fixed); the identity first.
// Flat, as 9! of them on 11 elements would cost a heap block each.
std::vector<uint8_t> LatticeAutomorphisms(const FiniteLattice& lattice);

// Whether some map that reverses the order is its own inverse. An involutive
// algebra needs one: x -> x ~ 0 reverses the order in every EQ-algebra.
bool HasAntitoneInvolution(const FiniteLattice& lattice);
