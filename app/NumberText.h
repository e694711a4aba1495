#pragma once
// Numbers as the window shows them: in the user's locale (its decimal
// separator), never with group separators.

#include <QString>

// General form: the shortest text with at most 15 significant digits
// (95.00000000000001 reads "95", 1 reads "1").
QString GeneralNumber(double value);

// Fixed point with the given decimals after rounding to the given number of
// significant digits (FixedNumber(0.91666666, 7, 7) is "0.9166667",
// FixedNumber(100, 3, 5) is "100.000").
QString FixedNumber(double value, int decimals, int significant);

// The locale's separator between hours and minutes (":" in most locales).
QString TimeSeparator();
