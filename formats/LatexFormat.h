#pragma once
// A LaTeX document with the operation tables of algebras, for a plain
// pdflatex with booktabs: one tabular per operation, headed by its symbol.

#include <string>
#include <vector>

#include "formats/ExchangeTables.h"

struct LatexAlgebra {
  std::string Title;  // shown above the tables (free text, escaped)
  ExchangeTables Tables;
};

// With with_implication, a table of x -> y follows the operations.
std::string LatexDocument(const std::vector<LatexAlgebra>& algebras, bool with_implication);

// The implication as the program derives it: 1 when x is 0, y is 1 or
// x <= y, otherwise (x ^ y) ~ x; positions as in ExchangeTables.
std::vector<uint8_t> ImplicationTable(const ExchangeTables& tables);
