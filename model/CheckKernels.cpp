// The law kernels. Each loops over element positions with the rows of the
// outer variables hoisted, keeps its counter in a local and allocates nothing.
// Infimum, equality and maximum are symmetric by their lookup rules (an entry
// matches in both orientations, the identities are symmetric), so x ~ t may
// be read as t ~ x; the product is read strictly as ordered.

#include "model/CheckKernels.h"

#include <array>

namespace {

CheckOutcome Outcome(int32_t total, int32_t failures) {
  return CheckOutcome{PropertyResult{total - failures, total}, failures};
}

int32_t Cube(int n) { return n * n * n; }

// One inner row of the mask path: the t on which (mask of a) & (bit of b) is empty.
int32_t CountEmpty(const uint32_t* masks, const uint32_t* bits, int n) {
  int32_t empty = 0;
  for (int t = 0; t < n; ++t) empty += (masks[t] & bits[t]) == 0 ? 1 : 0;
  return empty;
}

}  // namespace

// Cost: (Count() + 2n) * n^2 cells, small beside the n^4 tuples they serve.
void QuadRows::Prepare(const LookupTables& tables, bool with_maximum) {
  const int m = tables.Count();
  const int n = tables.ElementCount();
  usable_ = m <= kMaxMaskCharacters;
  has_maximum_ = usable_ && with_maximum;
  n_ = n;
  if (!usable_) return;
  const uint8_t* el = tables.Elements();

  std::array<uint32_t, kMaxMaskCharacters> up_set{};
  for (int a = 0; a < m; ++a) {
    uint32_t mask = 0;
    for (int b = 0; b < m; ++b) {
      if (tables.Leq(static_cast<uint8_t>(a), static_cast<uint8_t>(b))) mask |= 1u << b;
    }
    up_set[a] = mask;
  }

  for (int v = 0; v < m; ++v) {
    const uint8_t* product_row = tables.ProdRow(static_cast<uint8_t>(v));
    const uint8_t* equality_row = tables.EqRow(static_cast<uint8_t>(v));
    for (int p = 0; p < n; ++p) {
      const uint8_t* p_equality = tables.EqRow(el[p]);
      uint32_t* below = &below_product_[(v * n + p) * n];
      uint32_t* equal = &equality_of_equality_[(v * n + p) * n];
      for (int t = 0; t < n; ++t) {
        const uint8_t pt = p_equality[el[t]];
        below[t] = up_set[product_row[pt]];
        equal[t] = 1u << equality_row[pt];
      }
    }
  }
  for (int p = 0; p < n; ++p) {
    const uint8_t* p_equality = tables.EqRow(el[p]);
    for (int q = 0; q < n; ++q) {
      const uint8_t* q_infimum = tables.InfRow(el[q]);
      uint32_t* row = &equality_of_infimum_[(p * n + q) * n];
      for (int t = 0; t < n; ++t) row[t] = 1u << p_equality[q_infimum[el[t]]];
    }
  }
  if (!has_maximum_) return;
  for (int p = 0; p < n; ++p) {
    const uint8_t* p_equality = tables.EqRow(el[p]);
    for (int q = 0; q < n; ++q) {
      const uint8_t* q_maximum = tables.MaxRow(el[q]);
      uint32_t* row = &equality_of_maximum_[(p * n + q) * n];
      for (int t = 0; t < n; ++t) row[t] = 1u << p_equality[q_maximum[el[t]]];
    }
  }
}

QuadRows& ScratchQuadRows() {
  thread_local std::unique_ptr<QuadRows> rows = std::make_unique<QuadRows>();
  return *rows;
}

CheckOutcome CountAssociativeInfimum(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    const uint8_t* x_row = tables.InfRow(el[p]);
    for (int q = 0; q < n; ++q) {
      const uint8_t* xy_row = tables.InfRow(x_row[el[q]]);
      const uint8_t* y_row = tables.InfRow(el[q]);
      for (int r = 0; r < n; ++r) failures += xy_row[el[r]] != x_row[y_row[el[r]]] ? 1 : 0;
    }
  }
  return Outcome(Cube(n), failures);
}

CheckOutcome CountCommutativeInfimum(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) failures += tables.Inf(el[p], el[q]) != tables.Inf(el[q], el[p]) ? 1 : 0;
  }
  return Outcome(n * n, failures);
}

CheckOutcome CountNeutralInfimum(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t one = tables.One();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    failures += tables.Inf(el[p], one) != el[p] ? 1 : 0;
    failures += tables.Inf(one, el[p]) != el[p] ? 1 : 0;
  }
  return Outcome(2 * n, failures);
}

CheckOutcome CountIdempotentInfimum(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) failures += tables.Inf(el[p], el[p]) != el[p] ? 1 : 0;
  return Outcome(n, failures);
}

CheckOutcome CountAssociativeProduct(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    const uint8_t* x_row = tables.ProdRow(el[p]);
    for (int q = 0; q < n; ++q) {
      const uint8_t* xy_row = tables.ProdRow(x_row[el[q]]);
      const uint8_t* y_row = tables.ProdRow(el[q]);
      for (int r = 0; r < n; ++r) failures += xy_row[el[r]] != x_row[y_row[el[r]]] ? 1 : 0;
    }
  }
  return Outcome(Cube(n), failures);
}

CheckOutcome CountNeutralProduct(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t one = tables.One();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    failures += tables.Prod(el[p], one) != el[p] ? 1 : 0;
    failures += tables.Prod(one, el[p]) != el[p] ? 1 : 0;
  }
  return Outcome(2 * n, failures);
}

// Only the left operand varies: y <= z must give y * x <= z * x.
CheckOutcome CountIsotoneProduct(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int q = 0; q < n; ++q) {
    const uint8_t* y_product = tables.ProdRow(el[q]);
    for (int r = 0; r < n; ++r) {
      if (!tables.Leq(el[q], el[r])) continue;  // the premise fails: the triple passes
      const uint8_t* z_product = tables.ProdRow(el[r]);
      for (int p = 0; p < n; ++p) failures += tables.Leq(y_product[el[p]], z_product[el[p]]) ? 0 : 1;
    }
  }
  return Outcome(Cube(n), failures);
}

CheckOutcome CountReflexiveFEquality(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) failures += tables.Eq(el[p], el[p]) != tables.One() ? 1 : 0;
  return Outcome(n, failures);
}

// (x ~ y) * (z ~ t) <= (x ~ z) ~ (y ~ t)
CheckOutcome CountCongruence(const LookupTables& tables, const QuadRows& rows) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  if (rows.Usable()) {
    for (int px = 0; px < n; ++px) {
      const uint8_t* x_equality = tables.EqRow(el[px]);
      for (int py = 0; py < n; ++py) {
        const uint8_t xy = x_equality[el[py]];
        for (int pz = 0; pz < n; ++pz) {
          failures += CountEmpty(rows.BelowProduct(xy, pz),
                                 rows.EqualityOfEquality(x_equality[el[pz]], py), n);
        }
      }
    }
    return Outcome(n * Cube(n), failures);
  }
  for (int px = 0; px < n; ++px) {
    const uint8_t* x_equality = tables.EqRow(el[px]);
    for (int py = 0; py < n; ++py) {
      const uint8_t* xy_product = tables.ProdRow(x_equality[el[py]]);
      const uint8_t* y_equality = tables.EqRow(el[py]);
      for (int pz = 0; pz < n; ++pz) {
        const uint8_t* z_equality = tables.EqRow(el[pz]);
        const uint8_t* xz_equality = tables.EqRow(x_equality[el[pz]]);
        for (int pt = 0; pt < n; ++pt) {
          const uint8_t t = el[pt];
          failures += tables.Leq(xy_product[z_equality[t]], xz_equality[y_equality[t]]) ? 0 : 1;
        }
      }
    }
  }
  return Outcome(n * Cube(n), failures);
}

// ((x o y) ~ z) * (t ~ x) <= (t o y) ~ z for an inner operation o (the
// infimum for Substitution, the maximum for Lattice). inner_row(x) is the
// table row of x o _, and equality_rows(pz, py) the prepared row of
// e_pz ~ (e_py o e_t) over t; both are inlined, so the fast path stays two
// loads and a mask test per tuple.
namespace {

template <class InnerRow, class EqualityRows>
int32_t CountSubstitutionShape(const LookupTables& tables, const QuadRows& rows, bool fast,
                               InnerRow inner_row, EqualityRows equality_rows) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  if (fast) {
    for (int px = 0; px < n; ++px) {
      const uint8_t* x_inner = inner_row(el[px]);
      for (int py = 0; py < n; ++py) {
        const uint8_t* xy_equality = tables.EqRow(x_inner[el[py]]);
        for (int pz = 0; pz < n; ++pz) {
          failures += CountEmpty(rows.BelowProduct(xy_equality[el[pz]], px), equality_rows(pz, py), n);
        }
      }
    }
    return failures;
  }
  for (int px = 0; px < n; ++px) {
    const uint8_t* x_inner = inner_row(el[px]);
    const uint8_t* x_equality = tables.EqRow(el[px]);
    for (int py = 0; py < n; ++py) {
      const uint8_t* xy_equality = tables.EqRow(x_inner[el[py]]);
      const uint8_t* y_inner = inner_row(el[py]);
      for (int pz = 0; pz < n; ++pz) {
        const uint8_t* left_product = tables.ProdRow(xy_equality[el[pz]]);
        const uint8_t* z_equality = tables.EqRow(el[pz]);
        for (int pt = 0; pt < n; ++pt) {
          const uint8_t t = el[pt];
          failures += tables.Leq(left_product[x_equality[t]], z_equality[y_inner[t]]) ? 0 : 1;
        }
      }
    }
  }
  return failures;
}

}  // namespace

// ((x ^ y) ~ z) * (t ~ x) <= z ~ (t ^ y)
CheckOutcome CountSubstitution(const LookupTables& tables, const QuadRows& rows) {
  const int n = tables.ElementCount();
  const int32_t failures = CountSubstitutionShape(
      tables, rows, rows.Usable(), [&](uint8_t x) { return tables.InfRow(x); },
      [&](int pz, int py) { return rows.EqualityOfInfimum(pz, py); });
  return Outcome(n * Cube(n), failures);
}

// ((x ^ y) ^ z) ~ x <= (x ^ y) ~ x
CheckOutcome CountMonotoneImplication(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int px = 0; px < n; ++px) {
    const uint8_t x = el[px];
    const uint8_t* x_infimum = tables.InfRow(x);
    const uint8_t* x_equality = tables.EqRow(x);
    for (int py = 0; py < n; ++py) {
      const uint8_t xy = x_infimum[el[py]];
      const uint8_t right = x_equality[xy];
      const uint8_t* xy_infimum = tables.InfRow(xy);
      for (int pz = 0; pz < n; ++pz) failures += tables.Leq(x_equality[xy_infimum[el[pz]]], right) ? 0 : 1;
    }
  }
  return Outcome(Cube(n), failures);
}

// x * y <= x ~ y
CheckOutcome CountBoundedness(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) {
      failures += tables.Leq(tables.Prod(el[p], el[q]), tables.Eq(el[p], el[q])) ? 0 : 1;
    }
  }
  return Outcome(n * n, failures);
}

// x ~ 1 = x
CheckOutcome CountGoodness(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) failures += tables.Eq(el[p], tables.One()) != el[p] ? 1 : 0;
  return Outcome(n, failures);
}

// (x ~ 0) ~ 0 = x
CheckOutcome CountInvolutive(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t zero = tables.Zero();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) failures += tables.Eq(tables.Eq(el[p], zero), zero) != el[p] ? 1 : 0;
  return Outcome(n, failures);
}

// Fails where x ~ 1 = 1 but x is not 1.
CheckOutcome CountSemiseparated(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t one = tables.One();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) failures += tables.Eq(el[p], one) == one && el[p] != one ? 1 : 0;
  return Outcome(n, failures);
}

// Fails where x ~ y = 1 but x and y differ.
CheckOutcome CountSeparated(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t one = tables.One();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) failures += tables.Eq(el[p], el[q]) == one && el[p] != el[q] ? 1 : 0;
  }
  return Outcome(n * n, failures);
}

// (x * y <= z) must agree with (x <= (y ^ z) ~ y).
CheckOutcome CountResiduated(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int px = 0; px < n; ++px) {
    const uint8_t x = el[px];
    const uint8_t* x_product = tables.ProdRow(x);
    const uint8_t* x_infimum = tables.InfRow(x);
    for (int py = 0; py < n; ++py) {
      const uint8_t y = el[py];
      const uint8_t xy = x_product[y];
      const uint8_t* xy_infimum = tables.InfRow(xy);
      const uint8_t* y_infimum = tables.InfRow(y);
      const uint8_t* y_equality = tables.EqRow(y);
      for (int pz = 0; pz < n; ++pz) {
        const uint8_t z = el[pz];
        const bool left = xy_infimum[z] == xy;
        const bool right = x_infimum[y_equality[y_infimum[z]]] == x;
        failures += left != right ? 1 : 0;
      }
    }
  }
  return Outcome(Cube(n), failures);
}

CheckOutcome CountCommutative(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) failures += tables.Prod(el[p], el[q]) != tables.Prod(el[q], el[p]) ? 1 : 0;
  }
  return Outcome(n * n, failures);
}

CheckOutcome CountLinear(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) {
      failures += tables.Leq(el[p], el[q]) || tables.Leq(el[q], el[p]) ? 0 : 1;
    }
  }
  return Outcome(n * n, failures);
}

// ((x m y) ~ z) * (t ~ x) <= (t m y) ~ z
CheckOutcome CountLattice(const LookupTables& tables, const QuadRows& rows) {
  const int n = tables.ElementCount();
  const int32_t failures = CountSubstitutionShape(
      tables, rows, rows.Usable() && rows.HasMaximum(), [&](uint8_t x) { return tables.MaxRow(x); },
      [&](int pz, int py) { return rows.EqualityOfMaximum(pz, py); });
  return Outcome(n * Cube(n), failures);
}

// (x -> y) m (y -> x) = 1
CheckOutcome CountPrelinear(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t one = tables.One();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    for (int q = 0; q < n; ++q) {
      failures += tables.Max(tables.Imp(el[p], el[q]), tables.Imp(el[q], el[p])) != one ? 1 : 0;
    }
  }
  return Outcome(n * n, failures);
}

// x * (y m z) = (x * y) m (x * z)
CheckOutcome CountSupProductDistributivity(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int px = 0; px < n; ++px) {
    const uint8_t* x_product = tables.ProdRow(el[px]);
    for (int py = 0; py < n; ++py) {
      const uint8_t* y_maximum = tables.MaxRow(el[py]);
      const uint8_t* xy_maximum = tables.MaxRow(x_product[el[py]]);
      for (int pz = 0; pz < n; ++pz) {
        const uint8_t z = el[pz];
        failures += x_product[y_maximum[z]] != xy_maximum[x_product[z]] ? 1 : 0;
      }
    }
  }
  return Outcome(Cube(n), failures);
}

// x ~ y <= (x * z) ~ (y * z)
CheckOutcome CountEqualityOverProdEquality(const LookupTables& tables) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  int32_t failures = 0;
  for (int px = 0; px < n; ++px) {
    const uint8_t* x_product = tables.ProdRow(el[px]);
    const uint8_t* x_equality = tables.EqRow(el[px]);
    for (int py = 0; py < n; ++py) {
      const uint8_t xy = x_equality[el[py]];
      const uint8_t* y_product = tables.ProdRow(el[py]);
      for (int pz = 0; pz < n; ++pz) {
        const uint8_t z = el[pz];
        failures += tables.Leq(xy, tables.Eq(x_product[z], y_product[z])) ? 0 : 1;
      }
    }
  }
  return Outcome(Cube(n), failures);
}

int32_t DeltaPropertiesTotal(int n, bool with_maximum) {
  return with_maximum ? 3 * n * n + 3 * n : 2 * n + 2 * n * n;
}

CheckOutcome CountDeltaProperties(const LookupTables& tables, bool with_maximum) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  const uint8_t zero = tables.Zero();
  const uint8_t one = tables.One();
  int32_t failures = 0;
  for (int p = 0; p < n; ++p) {
    const uint8_t x = el[p];
    const uint8_t dx = tables.Del(x);
    failures += tables.Leq(dx, x) ? 0 : 1;                 // d(x) <= x
    failures += tables.Leq(dx, tables.Del(dx)) ? 0 : 1;    // d(x) <= d(d(x))
    if (with_maximum) failures += tables.Max(dx, tables.Eq(dx, zero)) == one ? 0 : 1;  // d(x) m (d(x) ~ 0) = 1
  }
  for (int p = 0; p < n; ++p) {
    const uint8_t x = el[p];
    const uint8_t dx = tables.Del(x);
    const uint8_t d_x_one = tables.Del(tables.Eq(x, one));
    for (int q = 0; q < n; ++q) {
      const uint8_t y = el[q];
      const uint8_t dy = tables.Del(y);
      // d(x ~ y) <= d(x ~ 1) ~ d(y ~ 1)
      failures += tables.Leq(tables.Del(tables.Eq(x, y)), tables.Eq(d_x_one, tables.Del(tables.Eq(y, one)))) ? 0 : 1;
      // d(x ^ y) = d(x) ^ d(y)
      failures += tables.Del(tables.Inf(x, y)) == tables.Inf(dx, dy) ? 0 : 1;
      // d(x m y) <= d(x) m d(y)
      if (with_maximum) failures += tables.Leq(tables.Del(tables.Max(x, y)), tables.Max(dx, dy)) ? 0 : 1;
    }
  }
  return Outcome(DeltaPropertiesTotal(n, with_maximum), failures);
}

// Every value of a pair marks its index; then the list elements are counted
// by whether their index was marked (the same as searching per element).
CheckOutcome CountColourfulness(const LookupTables& tables, int32_t target) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  std::array<bool, 256> seen{};
  for (int p = 0; p < n; ++p) {
    const uint8_t* y_equality = tables.EqRow(el[p]);
    for (int q = 0; q < n; ++q) {
      if (el[p] != el[q]) seen[y_equality[el[q]]] = true;  // different characters only
    }
  }
  int32_t attained = 0;
  for (int p = 0; p < n; ++p) attained += seen[el[p]] ? 1 : 0;
  return CheckOutcome{PropertyResult{attained, target}, n - attained};
}

CheckOutcome CountColourfulnessProduct(const LookupTables& tables, int32_t target) {
  const int n = tables.ElementCount();
  const uint8_t* el = tables.Elements();
  std::array<bool, 256> seen{};
  for (int p = 1; p < n - 1; ++p) {
    const uint8_t* y_product = tables.ProdRow(el[p]);
    for (int q = 1; q < n - 1; ++q) seen[y_product[el[q]]] = true;
  }
  int32_t attained = 0;
  for (int p = 0; p < n; ++p) attained += seen[el[p]] ? 1 : 0;
  return CheckOutcome{PropertyResult{attained, target}, n - attained};
}
