#pragma once
// Lattices up to isomorphism by canonical augmentation: every lattice of
// n + 1 elements is one of n elements with a new coatom, and it is kept only
// when that coatom lies in the orbit of the coatom its canonical labelling
// (nauty) names, so each class is made exactly once without a table of all
// classes. Reaches 11 elements (37,622 lattices) in seconds.

#include <string>
#include <vector>

#include "finder/Lattices.h"

// One lattice of every isomorphism class on n elements (2 <= n <= 11),
// naturally labelled (i <= j implies index i <= index j), 0 first, 1 last.
std::vector<FiniteLattice> LatticesByAugmentation(int n);

// The canonical form of the lattice's order: equal exactly for isomorphic lattices.
std::string CanonicalOrderForm(const FiniteLattice& lattice);
