#pragma once
// Elements a reader of a Hasse diagram may want singled out: the idempotents
// of the product (x * x = x), the fixed points of the delta (d x = x) and
// those of the negation (~x = x ~ 0 = x). Read through the algebra's lookups.

#include <vector>

#include "model/EQAlgebra.h"

struct ElementMarks {
  std::vector<bool> ProductIdempotent;  // per list position
  std::vector<bool> DeltaFixed;         // per list position; empty without delta
  std::vector<bool> NegationFixed;      // per list position
};

ElementMarks MarksOfAlgebra(const TEQAlgebra& algebra, bool with_delta);
