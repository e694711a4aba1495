// From a model over a numbered domain to the program's tables: find the
// operations, check their size and values, choose the renumbering, check the
// shape.

#include "formats/DomainModel.h"

#include <numeric>

#include "model/EQAlgebra.h"

namespace {

const DomainOperation* FindOperation(const DomainModel& model, const std::string& name) {
  for (const DomainOperation& op : model.Operations) {
    if (op.Name == name) return &op;
  }
  return nullptr;
}

// Checks arity, length and values of one operation; empty text when sound.
std::string OperationFault(const DomainOperation& op, int arity, int n) {
  if (op.Arity != arity) {
    return op.Name + " takes " + std::to_string(op.Arity) + " arguments, not " + std::to_string(arity);
  }
  const size_t expected = arity == 2 ? static_cast<size_t>(n) * n : static_cast<size_t>(n);
  if (op.Values.size() != expected) {
    return op.Name + " has " + std::to_string(op.Values.size()) + " values, not " + std::to_string(expected);
  }
  for (size_t i = 0; i < op.Values.size(); ++i) {
    if (op.Values[i] < 0 || op.Values[i] >= n) {
      return op.Name + " holds " + std::to_string(op.Values[i]) + ", outside the domain 0.." + std::to_string(n - 1);
    }
  }
  return {};
}

bool IsMeetUnit(const DomainOperation& meet, int n, int e) {
  for (int x = 0; x < n; ++x) {
    if (meet.Values[e * n + x] != x) return false;
  }
  return true;
}

bool IsMeetBottom(const DomainOperation& meet, int n, int e) {
  for (int x = 0; x < n; ++x) {
    if (meet.Values[e * n + x] != e) return false;
  }
  return true;
}

// position_of[domain element] for the renumbering described in the header.
bool ChooseNumbering(const DomainOperation& meet, int n, int bottom, int top, std::vector<int>& position_of,
                     std::string& fault) {
  if (top < 0 || top >= n || bottom < 0 || bottom >= n || bottom == top || !IsMeetUnit(meet, n, top)) {
    top = -1;
    for (int e = 0; e < n && top < 0; ++e) {
      if (IsMeetUnit(meet, n, e)) top = e;
    }
    if (top < 0) {
      fault = "meet has no unit, so no element can be the top";
      return false;
    }
    bottom = -1;
    for (int e = 0; e < n && bottom < 0; ++e) {
      if (e != top && IsMeetBottom(meet, n, e)) bottom = e;
    }
    for (int e = 0; e < n && bottom < 0; ++e) {
      if (e != top) bottom = e;
    }
  }
  position_of.assign(n, 0);
  position_of[bottom] = 0;
  position_of[top] = n - 1;
  int next = 1;
  for (int e = 0; e < n; ++e) {
    if (e != bottom && e != top) position_of[e] = next++;
  }
  return true;
}

std::vector<uint8_t> Renumbered(const DomainOperation& op, int n, const std::vector<int>& position_of) {
  std::vector<uint8_t> out(op.Values.size());
  if (op.Arity == 1) {
    for (int x = 0; x < n; ++x) out[position_of[x]] = static_cast<uint8_t>(position_of[op.Values[x]]);
  } else {
    for (int x = 0; x < n; ++x)
      for (int y = 0; y < n; ++y)
        out[position_of[x] * n + position_of[y]] = static_cast<uint8_t>(position_of[op.Values[x * n + y]]);
  }
  return out;
}

}  // namespace

bool ParseOperationNames(std::string_view text, OperationNames& names, std::string& error) {
  OperationNames parsed = names;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view item = text.substr(start, end - start);
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos || equals + 1 == item.size()) {
      error = std::string(1, '"').append(item).append("\" is not of the form operation=name");
      return false;
    }
    const std::string_view key = item.substr(0, equals);
    const std::string value(item.substr(equals + 1));
    if (key == "meet") parsed.Meet = value;
    else if (key == "prod") parsed.Prod = value;
    else if (key == "eq") parsed.Eq = value;
    else if (key == "delta") parsed.Delta = value;
    else if (key == "join") parsed.Join = value;
    else {
      error = "unknown operation \"" + std::string(key) + "\" (known: meet, prod, eq, delta, join)";
      return false;
    }
    start = end + 1;
  }
  names = parsed;
  return true;
}

bool IsOperationName(const OperationNames& names, std::string_view name) {
  return name == names.Meet || name == names.Prod || name == names.Eq || name == names.Delta || name == names.Join;
}

std::string ModelName(std::string_view raw) {
  std::string name;
  for (const char c : raw.substr(0, kMaxModelNameBytes + 4)) {
    const auto byte = static_cast<unsigned char>(c);
    name += byte < 0x20 || byte == 0x7F ? ' ' : c;
  }
  if (name.size() > kMaxModelNameBytes) {
    size_t end = kMaxModelNameBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
  }
  const size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

bool ConvertDomainModel(const DomainModel& model, const OperationNames& names, int preferred_bottom,
                        int preferred_top, ExchangeTables& tables, std::string& fault) {
  if (model.Size < 2 || model.Size > kMaxElements) {
    fault = "its size " + std::to_string(model.Size) + " is outside 2.." + std::to_string(kMaxElements);
    return false;
  }
  const int n = static_cast<int>(model.Size);
  const DomainOperation* meet = FindOperation(model, names.Meet);
  const DomainOperation* prod = FindOperation(model, names.Prod);
  const DomainOperation* eq = FindOperation(model, names.Eq);
  const DomainOperation* delta = FindOperation(model, names.Delta);
  const DomainOperation* join = FindOperation(model, names.Join);
  for (const auto& [op, name] : {std::pair{meet, names.Meet}, {prod, names.Prod}, {eq, names.Eq}}) {
    if (op == nullptr) {
      fault = "it has no operation " + name;
      return false;
    }
    if (fault = OperationFault(*op, 2, n); !fault.empty()) return false;
  }
  if (delta != nullptr && (fault = OperationFault(*delta, 1, n), !fault.empty())) return false;
  if (join != nullptr && (fault = OperationFault(*join, 2, n), !fault.empty())) return false;

  std::vector<int> position_of;
  if (!ChooseNumbering(*meet, n, preferred_bottom, preferred_top, position_of, fault)) return false;
  ExchangeTables out;
  out.Size = n;
  out.Meet = Renumbered(*meet, n, position_of);
  out.Prod = Renumbered(*prod, n, position_of);
  out.Eq = Renumbered(*eq, n, position_of);
  if (delta != nullptr) out.Delta = Renumbered(*delta, n, position_of);
  if (join != nullptr) out.Join = Renumbered(*join, n, position_of);
  if (fault = ShapeFault(out); !fault.empty()) return false;
  tables = std::move(out);
  return true;
}
