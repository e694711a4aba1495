// Conversion between TEQAlgebra and plain tables, and the shape test that
// makes the conversion back lossless: tables that pass it mean exactly the
// same through the algebra's lookups.

#include "formats/ExchangeTables.h"

#include <array>

namespace {

// Position of every character in the element list, -1 for the others.
std::array<int, 256> PositionsOf(const TEQAlgebra& algebra) {
  std::array<int, 256> positions;
  positions.fill(-1);
  for (int p = algebra.Size - 1; p >= 0; --p) positions[static_cast<uint8_t>(algebra.ElementList[p])] = p;
  return positions;
}

std::string CellText(char symbol, char x, char y) {
  return std::string("the cell ") + x + ' ' + symbol + ' ' + y;
}

}  // namespace

bool TablesOfAlgebra(const TEQAlgebra& algebra, bool with_delta, bool with_join, ExchangeTables& tables,
                     std::string& fault) {
  const int n = algebra.Size;
  if (n < 2 || n > kMaxElements) {
    fault = "the element count " + std::to_string(n) + " is outside 2.." + std::to_string(kMaxElements);
    return false;
  }
  const std::array<int, 256> positions = PositionsOf(algebra);
  const auto& list = algebra.ElementList;
  ExchangeTables out;
  out.Size = n;
  out.Meet.resize(n * n);
  out.Prod.resize(n * n);
  out.Eq.resize(n * n);
  if (with_join) out.Join.resize(n * n);
  if (with_delta) out.Delta.resize(n);

  // Stores the position of a looked-up value; false for a value outside the list.
  const auto store = [&](char value, uint8_t& cell, const std::string& where) {
    const int p = positions[static_cast<uint8_t>(value)];
    if (p < 0) {
      fault = where + (value == 0 ? " has no value" : std::string(" holds \"") + value + "\", not an element");
      return false;
    }
    cell = static_cast<uint8_t>(p);
    return true;
  };
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      const char a = list[x], b = list[y];
      const int cell = x * n + y;
      if (!store(algebra.Infimum(a, b), out.Meet[cell], CellText('^', a, b))) return false;
      if (!store(algebra.Product(a, b), out.Prod[cell], CellText('*', a, b))) return false;
      if (!store(algebra.Equality(a, b), out.Eq[cell], CellText('~', a, b))) return false;
      if (with_join && !store(algebra.Maximum(a, b), out.Join[cell], CellText('m', a, b))) return false;
    }
    if (with_delta && !store(algebra.Delta(list[x]), out.Delta[x], std::string("the cell d ") + list[x])) {
      return false;
    }
  }
  tables = std::move(out);
  return true;
}

std::string ShapeFault(const ExchangeTables& t) {
  const int n = t.Size;
  if (n < 2 || n > kMaxElements) {
    return "it has " + std::to_string(n) + " elements, outside 2.." + std::to_string(kMaxElements);
  }
  const int top = t.Top();
  const auto name = [n](int p) { return std::string(1, ElementName(p, n)); };
  const auto cell = [&](const char* op, int x, int y) { return name(x) + " " + op + " " + name(y); };
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      const int xy = x * n + y, yx = y * n + x;
      if (t.Meet[xy] != t.Meet[yx]) return "meet is not commutative: " + cell("^", x, y) + " differs from " + cell("^", y, x);
      if (t.Eq[xy] != t.Eq[yx]) return "eq is not symmetric: " + cell("~", x, y) + " differs from " + cell("~", y, x);
      if (t.HasJoin() && t.Join[xy] != t.Join[yx]) {
        return "join is not symmetric: " + cell("m", x, y) + " differs from " + cell("m", y, x);
      }
    }
    if (t.Meet[x * n + top] != x) return "the top is not the unit of meet: " + cell("^", x, n - 1) + " is " + name(t.Meet[x * n + top]);
    if (t.Meet[x * n + x] != x) return "meet is not idempotent: " + cell("^", x, x) + " is " + name(t.Meet[x * n + x]);
    if (t.Prod[x] != 0 || t.Prod[x * n] != 0) return "the bottom does not absorb prod at " + name(x);
    if (t.Prod[top * n + x] != x || t.Prod[x * n + top] != x) return "the top is not the unit of prod at " + name(x);
    if (t.Eq[x * n + x] != top) return "eq is not reflexive: " + cell("~", x, x) + " is " + name(t.Eq[x * n + x]);
    if (t.HasJoin() && t.Join[x * n + top] != top) return "the top does not absorb join: " + cell("m", x, n - 1) + " is " + name(t.Join[x * n + top]);
  }
  if (t.HasDelta() && (t.Delta[0] != 0 || t.Delta[top] != top)) return "delta does not keep the bottom and the top";
  return {};
}

TEQAlgebra AlgebraOfTables(const ExchangeTables& t) {
  const int n = t.Size;
  TEQAlgebra algebra;
  algebra.Init(n);
  const auto& list = algebra.ElementList;
  int half = 0, full = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      const int xy = x * n + y;
      if (y > x) {
        algebra.InfimumGene.Entries[half] = {list[x], list[y], list[t.Meet[xy]]};
        algebra.FEqualityGene.Entries[half] = {list[x], list[y], list[t.Eq[xy]]};
        ++half;
      }
      algebra.ProductGene.Entries[full] = {list[x], list[y], list[t.Prod[xy]]};
      // Without a join: the placeholder an EQA file without one reads as.
      const char placeholder = x == n - 1 ? '1' : (x == 0 ? list[y] : (x == y ? list[x] : '0'));
      algebra.MaximumGene.Entries[full] = {list[x], list[y], t.HasJoin() ? list[t.Join[xy]] : placeholder};
      ++full;
    }
    const char default_delta = x == n - 1 ? '1' : '0';
    algebra.DeltaGene.Entries[x] = {list[x], t.HasDelta() ? list[t.Delta[x]] : default_delta};
  }
  return algebra;
}
