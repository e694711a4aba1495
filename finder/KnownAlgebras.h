#pragma once
// Algebras known in closed form, tried before any search: the Goedel algebra
// of a distributive lattice (* = meet, ~ its biresiduum), the Lukasiewicz
// chain, and direct products of these. A product satisfies every law both
// factors satisfy, and a law that fails in one factor fails in the product,
// so products carry forbidden properties up to larger sizes. None is assumed
// to be a winner: the model's own evaluation decides.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"
#include "finder/Lattices.h"
#include "model/Settings.h"

struct TableAlgebra {
  FiniteLattice Lattice;
  std::vector<uint8_t> Product;   // x * y at x * n + y
  std::vector<uint8_t> Equality;  // x ~ y at x * n + y
  std::vector<uint8_t> Delta;     // d(x) at x: 1 at the top only, 0 elsewhere (the Baaz delta)
  std::string Recipe;
};

// Nothing when the lattice has no relative pseudocomplement (not distributive).
std::optional<TableAlgebra> GoedelAlgebra(const FiniteLattice& lattice, const std::string& recipe);
TableAlgebra LukasiewiczChain(int n);
TableAlgebra ProductAlgebra(const TableAlgebra& a, const TableAlgebra& b);

// The candidates of n elements in the order they are tried: Goedel and
// Lukasiewicz chains, Goedel algebras on non-chain distributive lattices, and
// products of two chains of these kinds.
std::vector<TableAlgebra> KnownCandidates(int n);

// The algebra in the program's layout, evaluated under the calling thread's
// settings (delta set to `delta`, or the table's own when empty). nullptr
// unless its fitness is exactly 1; a cheap look at the tables turns most
// candidates down before the full evaluation.
std::shared_ptr<TEQAlgebra> WinnerOf(const TableAlgebra& table, const std::vector<uint8_t>& delta = {});

// The tables of an algebra in the program's layout (its order read off the
// infimum), relabelled naturally; nothing when the order is not a lattice.
std::optional<TableAlgebra> TablesOf(const TEQAlgebra& algebra);

// The algebra in the program's layout, not evaluated.
void FillTables(const TableAlgebra& table, const std::vector<uint8_t>& delta, TEQAlgebra& out);
