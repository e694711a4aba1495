#pragma once
// Isomorphism classes of algebras. Two algebras of one size are isomorphic
// when a permutation of the inner elements ('0' and '1' stay where they are)
// maps every operation in play of one onto the other: ^, *, ~, and d while
// delta is in play (the maximum is derived from the order, so it adds
// nothing). The class key is a canonical form: equal exactly for isomorphic
// algebras. It is defined for any content of the representation (a
// hand-edited file included), winner or not. The exact finder and the rest of
// the program use this one implementation.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/EQAlgebra.h"

// Counts that outgrow 64 bits: (n - 2)! reaches 26! at 28 elements.
__extension__ typedef unsigned __int128 BigCount;

// The decimal digits of a count.
std::string FormatBigCount(BigCount value);
// (n - 2)!, the number of permutations of the inner elements of n elements.
BigCount InnerPermutations(int n);

struct AlgebraClass {
  std::string Key;             // the canonical form (binary; compare, hash, never show)
  BigCount Automorphisms = 1;  // order of the automorphism group
  std::string Id;              // short stable id derived from Key, for people to read
};

// The class of an algebra over the operations in play under this thread's
// settings.
AlgebraClass ClassifyAlgebra(const TEQAlgebra& algebra);

// The short id of a key.
std::string ClassIdOfKey(std::string_view key);
