#pragma once
// The per-gene value rules: the cells an EQ-algebra fixes anyway get their
// fixed value, the rest a uniform random element. Random construction and
// mutation share them, so both draw exactly the same way from the one
// process-wide generator.
//
// n is the element count (2 .. 28); x and y are element characters, usually
// the arguments of the entry whose value is drawn.

#include <cstdint>

// A uniform element of an n-element algebra: one draw Random(n); 0 gives '0',
// n - 1 gives '1', any other r the letter of code 96 + r.
char RandomElement(int32_t n);

// Always draws; x when y is '1' or y = x, else the drawn element.
char InfimumRule(int32_t n, char x, char y);

// y when x is '1', x when y is '1' (no draw in these two cases), else a drawn element.
char ProductRule(int32_t n, char x, char y);

// Always draws; with WantGoodness the cell x ~ 1 holds x; x ~ x is '1'.
char EqualityRule(int32_t n, char x, char y);

// Always draws; d(1) = 1 and d(0) = 0, any other x the drawn element.
char DeltaRule(int32_t n, char x);
