#pragma once
// Dense operation tables for the hot paths (checks, fitness, canonical text,
// joins). They are built from the gene lists with exactly the rules of the
// TEQAlgebra lookups, over every character the algebra can produce: the
// element characters, '0', '1', character 0 and every character an entry
// holds. Lookup results of characters in that set stay in it, so composed
// laws never leave the tables. Characters are renumbered 0 .. Count()-1
// (element list positions first, so a standard algebra of n elements has
// index p - 1 for list position p and Count() = n + 1 with character 0 last).
//
// A table is rebuilt once per evaluation into a reused buffer: building
// allocates nothing.

#include <array>
#include <cstdint>

#include "model/EQAlgebra.h"

class LookupTables {
 public:
  // Builds all five tables from the algebra's counted entries.
  void Build(const TEQAlgebra& algebra);
  // Rebuilds only the maximum table (after RecomputeMaximum changed values).
  void RebuildMaximum(const TEQAlgebra& algebra);

  int Count() const { return count_; }
  int ElementCount() const { return element_count_; }
  // Index of list position p (0-based), for loops over the elements.
  uint8_t Element(int p) const { return element_index_[p]; }
  const uint8_t* Elements() const { return element_index_.data(); }
  uint8_t Zero() const { return zero_; }  // index of '0'
  uint8_t One() const { return one_; }    // index of '1'
  char CharOf(uint8_t index) const { return chars_[index]; }
  int IndexOf(char c) const { return index_of_[static_cast<uint8_t>(c)]; }  // -1 when not in play

  uint8_t Inf(uint8_t x, uint8_t y) const { return inf_[x * count_ + y]; }
  uint8_t Prod(uint8_t x, uint8_t y) const { return prod_[x * count_ + y]; }
  uint8_t Eq(uint8_t x, uint8_t y) const { return eq_[x * count_ + y]; }
  uint8_t Max(uint8_t x, uint8_t y) const { return max_[x * count_ + y]; }
  uint8_t Del(uint8_t x) const { return delta_[x]; }
  bool Leq(uint8_t x, uint8_t y) const { return inf_[x * count_ + y] == x; }
  uint8_t Imp(uint8_t x, uint8_t y) const {
    if (x == zero_ || y == one_ || Leq(x, y)) return one_;
    return Eq(Inf(x, y), x);
  }
  // Rows for inner loops: Row(table)[y] is x op y.
  const uint8_t* InfRow(uint8_t x) const { return &inf_[x * count_]; }
  const uint8_t* ProdRow(uint8_t x) const { return &prod_[x * count_]; }
  const uint8_t* EqRow(uint8_t x) const { return &eq_[x * count_]; }
  const uint8_t* MaxRow(uint8_t x) const { return &max_[x * count_]; }

  // The join of x and y over the first n list elements (TEQAlgebra::Join).
  uint8_t Join(int n, uint8_t x, uint8_t y) const;

 private:
  void CollectCharacters(const TEQAlgebra& algebra);
  uint8_t AddCharacter(char c);
  void BuildMaximumTable(const TEQAlgebra& algebra);

  int count_ = 0;
  int element_count_ = 0;
  uint8_t zero_ = 0, one_ = 0, none_ = 0;
  std::array<int16_t, 256> index_of_{};               // character -> index, -1 when not in play
  std::array<char, 256> chars_{};                     // index -> character
  std::array<uint8_t, kMaxElements> element_index_{};  // list position -> index
  std::array<uint8_t, 256 * 256> inf_{};               // x ^ y at x * Count() + y
  std::array<uint8_t, 256 * 256> prod_{};              // x * y at x * Count() + y
  std::array<uint8_t, 256 * 256> eq_{};                // x ~ y at x * Count() + y
  std::array<uint8_t, 256 * 256> max_{};               // x m y at x * Count() + y
  std::array<uint8_t, 256> delta_{};                   // d(x) at x
};

// A per-thread scratch set of tables (about 330 kB), so evaluations allocate nothing.
LookupTables& ScratchTables();

// Sets every MaximumGene value to the join of its pair, read off tables built
// from the same algebra (RecomputeMaximum without a second table build).
void RecomputeMaximumEntries(TEQAlgebra& algebra, const LookupTables& tables);
