#pragma once
// A plain reference of every property law and of the fitness, written
// straight from the definitions with the algebra's own lookups (Infimum,
// Product, Equality, Delta, Maximum, LessOrEqual, Implication) and its list
// positions. Slow on purpose and free of cleverness: the fast checks are
// compared with it.

#include <array>
#include <cstdint>
#include <vector>

#include "model/EQAlgebra.h"
#include "model/Settings.h"

namespace reference {

// The lookups called on the algebra itself.
class DirectLookups {
 public:
  explicit DirectLookups(const TEQAlgebra& algebra) : a_(algebra) {}
  char Inf(char x, char y) const { return a_.Infimum(x, y); }
  char Prod(char x, char y) const { return a_.Product(x, y); }
  char Eq(char x, char y) const { return a_.Equality(x, y); }
  char Del(char x) const { return a_.Delta(x); }
  char Max(char x, char y) const { return a_.Maximum(x, y); }
  bool Leq(char x, char y) const { return a_.LessOrEqual(x, y); }
  char Imp(char x, char y) const { return a_.Implication(x, y); }

 private:
  const TEQAlgebra& a_;
};

// The same lookups, each answer remembered per character pair, so the laws
// over n^4 tuples stay affordable at 28 elements. The algebra must not change
// while this object is in use.
class MemoLookups {
 public:
  explicit MemoLookups(const TEQAlgebra& algebra)
      : a_(algebra), inf_(kCells, -1), prod_(kCells, -1), eq_(kCells, -1), max_(kCells, -1), del_(256, -1) {}
  char Inf(char x, char y) const { return Memo(inf_, x, y, [&] { return a_.Infimum(x, y); }); }
  char Prod(char x, char y) const { return Memo(prod_, x, y, [&] { return a_.Product(x, y); }); }
  char Eq(char x, char y) const { return Memo(eq_, x, y, [&] { return a_.Equality(x, y); }); }
  char Max(char x, char y) const { return Memo(max_, x, y, [&] { return a_.Maximum(x, y); }); }
  char Del(char x) const {
    int16_t& cell = del_[static_cast<uint8_t>(x)];
    if (cell < 0) cell = static_cast<uint8_t>(a_.Delta(x));
    return static_cast<char>(cell);
  }
  bool Leq(char x, char y) const { return Inf(x, y) == x; }  // LessOrEqual's own definition
  char Imp(char x, char y) const {
    if (x == '0' || y == '1' || Leq(x, y)) return '1';  // Implication's own definition
    return Eq(Inf(x, y), x);
  }

 private:
  static constexpr size_t kCells = 256 * 256;
  template <class Lookup>
  static char Memo(std::vector<int16_t>& table, char x, char y, Lookup lookup) {
    int16_t& cell = table[static_cast<uint8_t>(x) * 256 + static_cast<uint8_t>(y)];
    if (cell < 0) cell = static_cast<uint8_t>(lookup());
    return static_cast<char>(cell);
  }

  const TEQAlgebra& a_;
  mutable std::vector<int16_t> inf_, prod_, eq_, max_, del_;
};

// What one check does: whether it writes its out-values and its slot, the
// counts it gives and its return value.
struct Outcome {
  bool WritesOut = true;
  bool WritesSlot = true;
  int32_t Passed = 0;
  int32_t Total = 0;
  int32_t Failures = 0;
};

inline std::vector<char> ElementsOf(const TEQAlgebra& algebra) {
  return std::vector<char>(algebra.ElementList.begin(), algebra.ElementList.begin() + algebra.Size);
}

// Counts the cases on which a law holds, one case per call of holds().
class Tally {
 public:
  void Case(bool holds) {
    ++total_;
    if (!holds) ++failures_;
  }
  Outcome Result() const { return Outcome{true, true, total_ - failures_, total_, failures_}; }

 private:
  int32_t total_ = 0;
  int32_t failures_ = 0;
};

template <class Ops>
Outcome Check(int slot, const TEQAlgebra& algebra, const Ops& op, const SearchSettings& settings) {
  const std::vector<char> e = ElementsOf(algebra);
  const int n = static_cast<int>(e.size());
  Tally tally;
  switch (slot) {
    case kAssociativeInfimumSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e) tally.Case(op.Inf(op.Inf(x, y), z) == op.Inf(x, op.Inf(y, z)));
      return tally.Result();
    case kCommutativeInfimumSlot:
      for (char x : e)
        for (char y : e) tally.Case(op.Inf(x, y) == op.Inf(y, x));
      return tally.Result();
    case kNeutralInfimumSlot:
      for (char x : e) {
        tally.Case(op.Inf(x, '1') == x);
        tally.Case(op.Inf('1', x) == x);
      }
      return tally.Result();
    case kIdempotentInfimumSlot:
      for (char x : e) tally.Case(op.Inf(x, x) == x);
      return tally.Result();
    case kAssociativeProductSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e) tally.Case(op.Prod(op.Prod(x, y), z) == op.Prod(x, op.Prod(y, z)));
      return tally.Result();
    case kNeutralProductSlot:
      for (char x : e) {
        tally.Case(op.Prod(x, '1') == x);
        tally.Case(op.Prod('1', x) == x);
      }
      return tally.Result();
    case kIsotoneProductSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e) tally.Case(!op.Leq(y, z) || op.Leq(op.Prod(y, x), op.Prod(z, x)));
      return tally.Result();
    case kReflexiveFEqualitySlot:
      for (char x : e) tally.Case(op.Eq(x, x) == '1');
      return tally.Result();
    case kCongruenceSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e)
            for (char t : e) tally.Case(op.Leq(op.Prod(op.Eq(x, y), op.Eq(z, t)), op.Eq(op.Eq(x, z), op.Eq(y, t))));
      return tally.Result();
    case kSubstitutionSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e)
            for (char t : e) tally.Case(op.Leq(op.Prod(op.Eq(op.Inf(x, y), z), op.Eq(t, x)), op.Eq(z, op.Inf(t, y))));
      return tally.Result();
    case kMonotoneImplicationSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e) tally.Case(op.Leq(op.Eq(op.Inf(op.Inf(x, y), z), x), op.Eq(op.Inf(x, y), x)));
      return tally.Result();
    case kBoundednessSlot:
      for (char x : e)
        for (char y : e) tally.Case(op.Leq(op.Prod(x, y), op.Eq(x, y)));
      return tally.Result();
    case kGoodnessSlot:
      for (char x : e) tally.Case(op.Eq(x, '1') == x);
      return tally.Result();
    case kInvolutiveSlot:
      for (char x : e) tally.Case(op.Eq(op.Eq(x, '0'), '0') == x);
      return tally.Result();
    case kSemiseparatedSlot:
      for (char x : e) tally.Case(!(op.Eq(x, '1') == '1' && x != '1'));
      return tally.Result();
    case kSeparatedSlot:
      for (char x : e)
        for (char y : e) tally.Case(!(op.Eq(x, y) == '1' && x != y));
      return tally.Result();
    case kResiduatedSlot:
      for (char x : e)
        for (char y : e)
          for (char z : e) {
            const bool left = op.Inf(op.Prod(x, y), z) == op.Prod(x, y);
            const bool right = op.Inf(x, op.Eq(op.Inf(y, z), y)) == x;
            tally.Case(left == right);
          }
      return tally.Result();
    case kCommutativeSlot:
      for (char x : e)
        for (char y : e) tally.Case(op.Prod(x, y) == op.Prod(y, x));
      return tally.Result();
    case kLinearSlot:
      for (char x : e)
        for (char y : e) tally.Case(op.Leq(x, y) || op.Leq(y, x));
      return tally.Result();
    case kLatticeSlot:
      if (!settings.MaximumEnabled) return Outcome{false, false, 0, 0, 0};
      for (char x : e)
        for (char y : e)
          for (char z : e)
            for (char t : e) tally.Case(op.Leq(op.Prod(op.Eq(op.Max(x, y), z), op.Eq(t, x)), op.Eq(op.Max(t, y), z)));
      return tally.Result();
    case kPrelinearSlot:
      for (char x : e)
        for (char y : e) tally.Case(op.Max(op.Imp(x, y), op.Imp(y, x)) == '1');
      return tally.Result();
    case kSupProductDistributivitySlot:
      if (!settings.MaximumEnabled) return Outcome{false, false, 0, 0, 0};
      for (char x : e)
        for (char y : e)
          for (char z : e) tally.Case(op.Prod(x, op.Max(y, z)) == op.Max(op.Prod(x, y), op.Prod(x, z)));
      return tally.Result();
    case kEqualityOverProdEqualitySlot:
      for (char x : e)
        for (char y : e)
          for (char z : e) tally.Case(op.Leq(op.Eq(x, y), op.Eq(op.Prod(x, z), op.Prod(y, z))));
      return tally.Result();
    case kDeltaPropertiesSlot: {
      const bool with_maximum = settings.MaximumEnabled;
      if (!settings.DeltaEnabled) {
        const int32_t total = with_maximum ? 3 * n * n + 3 * n : 2 * n + 2 * n * n;
        return Outcome{true, false, total, total, 0};
      }
      for (char x : e) tally.Case(op.Leq(op.Del(x), x));
      for (char x : e) tally.Case(op.Leq(op.Del(x), op.Del(op.Del(x))));
      for (char x : e)
        for (char y : e) tally.Case(op.Leq(op.Del(op.Eq(x, y)), op.Eq(op.Del(op.Eq(x, '1')), op.Del(op.Eq(y, '1')))));
      for (char x : e)
        for (char y : e) tally.Case(op.Del(op.Inf(x, y)) == op.Inf(op.Del(x), op.Del(y)));
      if (with_maximum) {
        for (char x : e)
          for (char y : e) tally.Case(op.Leq(op.Del(op.Max(x, y)), op.Max(op.Del(x), op.Del(y))));
        for (char x : e) tally.Case(op.Max(op.Del(x), op.Eq(op.Del(x), '0')) == '1');
      }
      return tally.Result();
    }
    case kColourfulnessSlot: {
      // Per target element in list order, search the pairs of different
      // characters until one gives it.
      int32_t attained = 0, missing = n;
      for (char v : e) {
        bool found = false;
        for (char y : e) {
          for (char z : e) {
            if (y != z && op.Eq(y, z) == v) {
              found = true;
              break;
            }
          }
          if (found) break;
        }
        if (found) {
          ++attained;
          --missing;
        }
      }
      return Outcome{true, true, attained, settings.ColorfulnessFEq, missing};
    }
    case kColourfulnessProductSlot: {
      int32_t attained = 0, missing = n;
      for (char v : e) {
        bool found = false;
        for (int p = 1; p <= n - 2 && !found; ++p) {
          for (int q = 1; q <= n - 2 && !found; ++q) found = op.Prod(e[p], e[q]) == v;
        }
        if (found) {
          ++attained;
          --missing;
        }
      }
      return Outcome{true, true, attained, settings.ColorfulnessProd, missing};
    }
    default:
      return Outcome{false, false, 0, 0, 0};
  }
}

// The fitness formed from the reference counts in the stated order: the
// twelve axiom shares, then the optional factors (1 - w) + w * r.
template <class Ops>
double Fitness(const TEQAlgebra& algebra, const Ops& op, const SearchSettings& s) {
  auto share = [&](int slot) {
    const Outcome o = Check(slot, algebra, op, s);
    return static_cast<double>(o.Passed) / static_cast<double>(o.Total);
  };
  double f = 1.0;
  for (int slot : {kAssociativeInfimumSlot, kCommutativeInfimumSlot, kNeutralInfimumSlot, kIdempotentInfimumSlot,
                   kIsotoneProductSlot, kAssociativeProductSlot, kNeutralProductSlot, kReflexiveFEqualitySlot,
                   kSubstitutionSlot, kCongruenceSlot, kMonotoneImplicationSlot, kBoundednessSlot}) {
    const double r = share(slot);
    f = f * r;
  }
  const double w = s.OptionalWeight;
  auto optional = [&](double r) {
    const double factor = (1.0 - w) + w * r;
    f = f * factor;
  };
  auto forbid = [](double r) { return r == 1.0 ? 0.0 : 1.0; };
  auto scored = [&](int slot, bool wanted, bool forbidden) {
    if (!wanted && !forbidden) return;
    const double r = share(slot);
    optional(forbidden ? forbid(r) : r);
  };
  if (s.ColorfulnessFEq > 0) {
    const int32_t attained = Check(kColourfulnessSlot, algebra, op, s).Passed;
    optional(attained < s.ColorfulnessFEq ? static_cast<double>(attained) / s.ColorfulnessFEq : 1.0);
  }
  if (s.ColorfulnessProd > 0) {
    const int32_t attained = Check(kColourfulnessProductSlot, algebra, op, s).Passed;
    optional(attained < s.ColorfulnessProd ? static_cast<double>(attained) / s.ColorfulnessProd : 1.0);
  }
  scored(kGoodnessSlot, s.WantGoodness, s.WantNonGoodness);
  scored(kInvolutiveSlot, s.WantInvolutive, s.WantNonInvolutive);
  scored(kSemiseparatedSlot, s.WantSemiSeparated, s.WantNonSemiSeparated);
  scored(kSeparatedSlot, s.WantSeparated, s.WantNonSeparated);
  scored(kResiduatedSlot, s.WantResiduated, s.WantNonResiduated);
  scored(kCommutativeSlot, s.WantCommutative, s.WantNonCommutative);
  scored(kLinearSlot, s.WantLinear, s.WantNonLinear);
  if (s.MaximumEnabled) {
    scored(kLatticeSlot, s.WantLattice, s.WantNonLattice);
    scored(kPrelinearSlot, s.WantPrelinear, s.WantNonPrelinear);
    scored(kSupProductDistributivitySlot, s.WantSupProdDistributivity, false);
  }
  scored(kEqualityOverProdEqualitySlot, s.WantEqualityOverEqProd, false);
  scored(kDeltaPropertiesSlot, s.DeltaEnabled, false);
  return f;
}

}  // namespace reference
