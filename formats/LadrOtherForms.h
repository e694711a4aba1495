#pragma once
// A model finder's two other easy forms of its models, rewritten as the
// interpretation(...) terms of its standard form, so that one reader takes
// them all:
//   cooked    "% Interpretation of size 3" then one "meet(0,1) = 0." per cell
//   portable  [[3, [1, 0], [["function", "meet", 2, [0,0,0, ...]], ...]], ...]
// Relations are left out (the program's algebras have none).

#include <optional>
#include <string>
#include <string_view>

// The standard form of a cooked or portable text; nullopt when the text is
// neither (it is then read as it is). Cells are taken as written; whatever
// is wrong with them is found by the standard reader.
std::optional<std::string> LadrStandardForm(std::string_view text);
