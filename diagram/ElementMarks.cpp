#include "diagram/ElementMarks.h"

#include <algorithm>

ElementMarks MarksOfAlgebra(const TEQAlgebra& algebra, bool with_delta) {
  const int n = std::clamp(algebra.Size, 0, kMaxElements);
  ElementMarks marks;
  for (int p = 0; p < n; ++p) {
    const char x = algebra.ElementList[p];
    marks.ProductIdempotent.push_back(algebra.Product(x, x) == x);
    marks.NegationFixed.push_back(algebra.Equality(x, '0') == x);
    if (with_delta) marks.DeltaFixed.push_back(algebra.Delta(x) == x);
  }
  return marks;
}
