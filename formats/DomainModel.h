#pragma once
// A model as the exchange files hold it: a domain 0 .. n-1 and named
// operation tables. Converting it finds the program's five operations by
// name, checks them and renumbers the domain into list positions so that the
// top becomes "1" and the bottom "0".

#include <string>
#include <string_view>
#include <vector>

#include "formats/ExchangeTables.h"

// The names of the operations in a file.
struct OperationNames {
  std::string Meet = "meet";
  std::string Prod = "prod";
  std::string Eq = "eq";
  std::string Delta = "d";
  std::string Join = "join";
};

// Reads "meet=m,prod=p,eq=e,delta=d,join=j" (any subset, any order) over
// the defaults. False with a message for an unknown key or an empty name.
bool ParseOperationNames(std::string_view text, OperationNames& names, std::string& error);

// Whether name is one of the five operations the program takes from a file.
bool IsOperationName(const OperationNames& names, std::string_view name);

// A model's name from a file as the program keeps it: control characters
// (line breaks among them) become spaces, so the name stays one line in any
// file it is written to; blanks around it go, and it is cut to
// kMaxModelNameBytes (at a character boundary).
inline constexpr size_t kMaxModelNameBytes = 1024;
std::string ModelName(std::string_view raw);

struct DomainOperation {
  std::string Name;
  int Arity = 0;
  std::vector<long long> Values;  // row-major over the domain, n^Arity values
};

struct DomainModel {
  long long Size = 0;
  std::vector<DomainOperation> Operations;
};

// Converts a model. The domain elements preferred_bottom and preferred_top
// become "0" and "1" when preferred_top is the unit of meet (the numbering
// of the program's own exports); otherwise the unit of meet becomes "1" and
// the first element below all others (or else the first other element)
// becomes "0". The remaining elements become "a", "b", ... in domain order.
// Operations of other names are ignored; meet, prod and eq are required,
// delta and join taken when present. False with the fault otherwise.
bool ConvertDomainModel(const DomainModel& model, const OperationNames& names, int preferred_bottom,
                        int preferred_top, ExchangeTables& tables, std::string& fault);
