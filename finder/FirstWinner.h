#pragma once
// The search for a first winner at any size. It never stays on one lattice or
// one subtree: algebras known in closed form come first, then bounded
// attempts over many lattices in turn, each round with twice the effort and
// the values tried in another order. Up to 8 elements the lattices are all
// of the size, and an attempt that ends within its bound settles its
// lattice, so "none" is a proof once every lattice is settled; above that the
// chain and lattices made on demand are searched, and "none" says so.

#include <atomic>
#include <functional>

#include "finder/ExactFinder.h"

FinderSummary RunFirstWinner(const FinderOptions& options, const std::function<void(const FoundClass&)>& onClass,
                             const std::function<void(const FinderProgress&)>& onProgress,
                             const std::atomic<bool>& stop);
