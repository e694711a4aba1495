#pragma once
// The property laws as kernels over dense tables. The public Check* methods
// and ComputeFitness share them: an evaluation builds the tables once and
// runs every law on them. Loops walk the element list by position; values are
// compared by table index, which is comparing characters. The laws name the
// characters '0' and '1' (tables.Zero(), tables.One()), wherever they stand.
//
// Internal to the model: callers outside model/ use the TEQAlgebra methods.

#include <cstdint>
#include <memory>

#include "model/EQAlgebra.h"
#include "model/LookupTables.h"

struct CheckOutcome {
  PropertyResult Counts;  // what the check stores in its slot
  int32_t Failures = 0;   // the check's return value
};

// Rows of composed operations shared by the three four-variable laws, so their
// innermost loop (over t) is two contiguous loads and a mask test. Only for
// tables of at most 32 characters (every standard algebra); otherwise the
// kernels take a plain path and these rows stay unused.
//
// Layout, with n elements and rows of n cells indexed by the position of t:
//   below_product[(v * n + p) * n + t]  up-set mask of v * (e_p ~ e_t)
//   equality_of_equality[(v * n + p) * n + t]  bit of v ~ (e_p ~ e_t)
//   equality_of_infimum[(p * n + q) * n + t]  bit of e_p ~ (e_q ^ e_t)
//   equality_of_maximum[(p * n + q) * n + t]  bit of e_p ~ (e_q m e_t)
// where v runs over every table index, "up-set mask of a" has bit b set when
// a <= b, and "bit of a" is 1 << a. The law a <= b then holds when
// (mask of a) & (bit of b) is not zero.
class QuadRows {
 public:
  static constexpr int kMaxMaskCharacters = 32;

  // Fills the rows the three laws read; the maximum rows only when asked.
  void Prepare(const LookupTables& tables, bool with_maximum);
  bool Usable() const { return usable_; }
  bool HasMaximum() const { return has_maximum_; }

  const uint32_t* BelowProduct(int v, int p) const { return &below_product_[(v * n_ + p) * n_]; }
  const uint32_t* EqualityOfEquality(int v, int p) const {
    return &equality_of_equality_[(v * n_ + p) * n_];
  }
  const uint32_t* EqualityOfInfimum(int p, int q) const {
    return &equality_of_infimum_[(p * n_ + q) * n_];
  }
  const uint32_t* EqualityOfMaximum(int p, int q) const {
    return &equality_of_maximum_[(p * n_ + q) * n_];
  }

 private:
  static constexpr int kValueRows = kMaxMaskCharacters * kMaxElements * kMaxElements;
  static constexpr int kPairRows = kMaxElements * kMaxElements * kMaxElements;

  bool usable_ = false;
  bool has_maximum_ = false;
  int n_ = 0;
  std::array<uint32_t, kValueRows> below_product_{};
  std::array<uint32_t, kValueRows> equality_of_equality_{};
  std::array<uint32_t, kPairRows> equality_of_infimum_{};
  std::array<uint32_t, kPairRows> equality_of_maximum_{};
};

// A per-thread scratch QuadRows (about 400 kB), reused by every evaluation.
QuadRows& ScratchQuadRows();

// Counting checks: Counts.Total is the number of cases, Failures the failing ones.
CheckOutcome CountAssociativeInfimum(const LookupTables& tables);
CheckOutcome CountCommutativeInfimum(const LookupTables& tables);
CheckOutcome CountNeutralInfimum(const LookupTables& tables);
CheckOutcome CountIdempotentInfimum(const LookupTables& tables);
CheckOutcome CountAssociativeProduct(const LookupTables& tables);
CheckOutcome CountNeutralProduct(const LookupTables& tables);
CheckOutcome CountIsotoneProduct(const LookupTables& tables);
CheckOutcome CountReflexiveFEquality(const LookupTables& tables);
// The four-variable laws read rows prepared from the same tables (the
// maximum rows for Lattice); unusable rows select the plain path.
CheckOutcome CountCongruence(const LookupTables& tables, const QuadRows& rows);
CheckOutcome CountSubstitution(const LookupTables& tables, const QuadRows& rows);
CheckOutcome CountMonotoneImplication(const LookupTables& tables);
CheckOutcome CountBoundedness(const LookupTables& tables);
CheckOutcome CountGoodness(const LookupTables& tables);
CheckOutcome CountInvolutive(const LookupTables& tables);
CheckOutcome CountSemiseparated(const LookupTables& tables);
CheckOutcome CountSeparated(const LookupTables& tables);
CheckOutcome CountResiduated(const LookupTables& tables);
CheckOutcome CountCommutative(const LookupTables& tables);
CheckOutcome CountLinear(const LookupTables& tables);
CheckOutcome CountLattice(const LookupTables& tables, const QuadRows& rows);
CheckOutcome CountPrelinear(const LookupTables& tables);
CheckOutcome CountSupProductDistributivity(const LookupTables& tables);
CheckOutcome CountEqualityOverProdEquality(const LookupTables& tables);
// The six delta families, the maximum ones only when with_maximum.
CheckOutcome CountDeltaProperties(const LookupTables& tables, bool with_maximum);
// Delta's number of cases: 2n + 2n^2, or 3n^2 + 3n with the maximum.
int32_t DeltaPropertiesTotal(int n, bool with_maximum);

// Colourfulness: Counts.Passed is the number of list elements attained as
// y ~ z over pairs of different characters; Counts.Total is the target;
// Failures the elements not attained.
CheckOutcome CountColourfulness(const LookupTables& tables, int32_t target);
// The same for y * z over inner elements, y = z allowed.
CheckOutcome CountColourfulnessProduct(const LookupTables& tables, int32_t target);
