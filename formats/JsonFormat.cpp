// The JSON object of an algebra; the properties are those the window lists
// for the settings in force, in its order.

#include "formats/JsonFormat.h"

#include <memory>
#include <vector>

#include "classes/AlgebraClass.h"
#include "model/Formatting.h"
#include "model/Settings.h"

namespace {

std::string Name(int position, int n) { return std::string("\"") + ElementName(position, n) + "\""; }

std::string BinaryTable(const std::vector<uint8_t>& table, int n) {
  std::string out = "[";
  for (int x = 0; x < n; ++x) {
    out += x > 0 ? ", [" : "[";
    for (int y = 0; y < n; ++y) out += (y > 0 ? ", " : "") + Name(table[x * n + y], n);
    out += "]";
  }
  return out + "]";
}

}  // namespace

std::string JsonAlgebra(const TEQAlgebra& algebra, const ExchangeTables& t) {
  const int n = t.Size;
  std::string out = "{\"size\": " + std::to_string(n) + ", \"elements\": [";
  for (int p = 0; p < n; ++p) out += (p > 0 ? ", " : "") + Name(p, n);
  out += "], \"operations\": {\"meet\": " + BinaryTable(t.Meet, n) + ", \"prod\": " + BinaryTable(t.Prod, n) +
         ", \"eq\": " + BinaryTable(t.Eq, n);
  if (t.HasDelta()) {
    out += ", \"delta\": [";
    for (int x = 0; x < n; ++x) out += (x > 0 ? ", " : "") + Name(t.Delta[x], n);
    out += "]";
  }
  if (t.HasJoin()) out += ", \"join\": " + BinaryTable(t.Join, n);
  out += "}";

  auto evaluated = std::make_unique<TEQAlgebra>(algebra);
  const double fitness = evaluated->Evaluate();
  out += ", \"fitness\": " + ShortestDouble(fitness) + ", \"properties\": " + DisplayedCountsJson(*evaluated);
  out += ", \"class\": " + JsonString(ClassifyAlgebra(algebra).Id) + "}";
  return out;
}
