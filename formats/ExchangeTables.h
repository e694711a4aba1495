#pragma once
// An algebra as plain operation tables, the common ground of the exchange
// formats. Elements are numbered by their position in the element list:
// 0 is "0" (the bottom), 1 .. n-2 the letters "a", "b", ..., n-1 is "1" (the
// top). Tables hold positions.

#include <cstdint>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"

struct ExchangeTables {
  int Size = 0;
  std::vector<uint8_t> Meet;  // x ^ y at x * Size + y
  std::vector<uint8_t> Prod;  // x * y at x * Size + y
  std::vector<uint8_t> Eq;    // x ~ y at x * Size + y
  std::vector<uint8_t> Delta;  // d(x) at x; empty when not exchanged
  std::vector<uint8_t> Join;   // x m y at x * Size + y; empty when not exchanged

  bool HasDelta() const { return !Delta.empty(); }
  bool HasJoin() const { return !Join.empty(); }
  int Top() const { return Size - 1; }
};

// The tables of an algebra as its lookups read them: ^, *, ~, and d and m
// when asked for. False, with a message, when a cell has no value or a value
// that is not one of the algebra's elements (a hand-edited file may hold such).
bool TablesOfAlgebra(const TEQAlgebra& algebra, bool with_delta, bool with_join, ExchangeTables& tables,
                     std::string& fault);

// The first way in which tables do not fit the algebra representation (the
// identities its lookups enforce: a commutative, idempotent meet with the top
// as unit; a product with the bottom absorbing and the top as unit; a
// symmetric equality with x ~ x = 1; d 0 = 0, d 1 = 1; a symmetric join with
// the top absorbing), or an empty text when they fit.
std::string ShapeFault(const ExchangeTables& tables);

// An algebra in the standard entry layout holding the tables; a delta or join
// that is not exchanged gets the defaults an EQA file without it reads as.
// Precondition: ShapeFault(tables) is empty.
TEQAlgebra AlgebraOfTables(const ExchangeTables& tables);
