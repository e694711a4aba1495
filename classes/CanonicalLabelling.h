#pragma once
// Canonical labelling of a small structure of operations on at most 28
// points: binary operations and at most one unary operation whose values are
// points or outside values (characters that are no point). Some points are
// fixed; the others may be permuted freely. The canonical form is the same
// for two structures exactly when a permutation of the movable points maps
// one onto the other; the search also yields the order of the group of
// permutations that map the structure onto itself.
//
// The search is individualisation and refinement: the points are coloured,
// the colouring is refined by how each point meets the others in every
// operation until it is stable, then a point of the first cell that is not
// a singleton is singled out and the refinement goes on, down to a colouring
// in which every point has a colour of its own (a leaf). Each leaf orders the
// points and so relabels the tables; the canonical form is the greatest
// (refinement trace, relabelled tables) over all leaves. Automorphisms found
// on the way prune the children that lie in one orbit, so groups as large as
// the symmetric group on 26 points cost a few hundred refinements.

#include <array>
#include <cstdint>
#include <string>

#include "classes/AlgebraClass.h"

inline constexpr int kMaxPoints = 28;
inline constexpr int kMaxBinaryOperations = 3;
// Values from kOutsideValue on are outside values: kOutsideValue + character code.
inline constexpr uint16_t kOutsideValue = 64;

struct OperationStructure {
  int Points = 0;                             // 1 .. kMaxPoints
  std::array<bool, kMaxPoints> Movable{};     // the permuted points; the others stay
  int BinaryCount = 0;                        // 0 .. kMaxBinaryOperations
  std::array<std::array<uint16_t, kMaxPoints * kMaxPoints>, kMaxBinaryOperations> Binary{};  // x op y at x * kMaxPoints + y
  bool HasUnary = false;
  std::array<uint16_t, kMaxPoints> Unary{};  // op(x) at x
};

struct CanonicalForm {
  std::string Tables;          // the operations relabelled canonically (binary; fixed length per structure)
  BigCount Automorphisms = 1;  // order of the group of permutations that keep every operation
};

// The canonical form of a structure. Thread-safe: all state is local.
CanonicalForm CanonicalLabelling(const OperationStructure& structure);
