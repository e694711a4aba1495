#include "formats/LadrOtherForms.h"

#include <map>
#include <vector>

namespace {

// One operation of one model: its arity and its cells in row order.
struct Operation {
  int arity = 0;
  std::map<std::vector<int>, std::string> cells;  // arguments -> value as written
};

struct Model {
  int size = 0;
  std::vector<std::string> order;  // operation names in the order met
  std::map<std::string, Operation> operations;
};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Whether "\"function\"" follows position `at` after blanks (only the
// blanks are looked at: a long text costs no more than its blanks).
bool StartsWithFunction(std::string_view text, size_t at) {
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ') ++at;
  return text.substr(at, 10) == "\"function\"";
}

bool ParseNumber(std::string_view text, int& value) {
  text = Trimmed(text);
  if (text.empty() || text.size() > 6) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// "meet(0,1) = 0." or "c = 1."; false for any other line.
bool AddCookedCell(std::string_view line, Model& model) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos || line.back() != '.') return false;
  std::string_view term = Trimmed(line.substr(0, equals));
  const std::string_view value = Trimmed(line.substr(equals + 1, line.size() - equals - 2));
  std::vector<int> arguments;
  std::string name(term);
  if (const size_t open = term.find('('); open != std::string_view::npos) {
    if (term.back() != ')') return false;
    name = std::string(Trimmed(term.substr(0, open)));
    std::string_view list = term.substr(open + 1, term.size() - open - 2);
    while (!list.empty()) {
      const size_t comma = list.find(',');
      int argument = 0;
      if (!ParseNumber(list.substr(0, comma), argument)) return false;
      arguments.push_back(argument);
      list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
  }
  if (name.empty() || value.empty()) return false;
  auto [where, added] = model.operations.try_emplace(name);
  if (added) {
    model.order.push_back(name);
    where->second.arity = static_cast<int>(arguments.size());
  }
  where->second.cells[arguments] = std::string(value);
  return true;
}

std::string Interpretation(const Model& model, int number) {
  std::string out = "interpretation( " + std::to_string(model.size) + ", [number = " + std::to_string(number) + "], [\n";
  for (size_t k = 0; k < model.order.size(); ++k) {
    const Operation& operation = model.operations.at(model.order[k]);
    std::string pattern = operation.arity == 0 ? "" : "(_";
    for (int a = 1; a < operation.arity; ++a) pattern += ",_";
    if (operation.arity > 0) pattern += ")";
    out += "    function(" + model.order[k] + pattern + ", [";
    bool first = true;
    for (const auto& [arguments, value] : operation.cells) {
      out += (first ? "" : ",") + value;
      first = false;
    }
    out += k + 1 < model.order.size() ? "]),\n" : "])]).\n";
  }
  return out;
}

std::optional<std::string> FromCooked(std::string_view text) {
  constexpr std::string_view kHead = "% Interpretation of size ";
  if (text.find(kHead) == std::string_view::npos) return std::nullopt;
  std::string out;
  Model model;
  bool in_model = false;
  int number = 0;
  const auto flush = [&] {
    if (in_model && !model.order.empty()) out += Interpretation(model, ++number);
    model = Model{};
    in_model = false;
  };
  size_t position = 0;
  while (position < text.size()) {
    const size_t end = text.find('\n', position);
    const std::string_view line =
        Trimmed(text.substr(position, (end == std::string_view::npos ? text.size() : end) - position));
    position = end == std::string_view::npos ? text.size() : end + 1;
    if (line.substr(0, kHead.size()) == kHead) {
      flush();
      in_model = ParseNumber(line.substr(kHead.size()), model.size);
    } else if (in_model && !line.empty() && line[0] != '%' && line[0] != '-') {
      AddCookedCell(line, model);  // relations ("R(0,1).") have no '=' and are left out
    }
  }
  flush();
  return out;
}

// Portable: a list of models, each [size, [...], [[kind, name, arity, [values]], ...]].
std::optional<std::string> FromPortable(std::string_view text) {
  text = Trimmed(text);
  if (text.empty() || text.front() != '[' || text.find("\"function\"") == std::string_view::npos) return std::nullopt;
  std::string out;
  int number = 0;
  size_t at = 0;
  // Each model starts at "[N," where N is its size, one level inside the outer list.
  int depth = 0;
  Model model;
  bool in_model = false;
  while (at < text.size()) {
    const char c = text[at];
    if (c == '[') {
      ++depth;
      if (depth == 2) {
        if (in_model) out += Interpretation(model, ++number);
        model = Model{};
        in_model = true;
        const size_t comma = text.find(',', at);
        if (comma == std::string_view::npos || !ParseNumber(text.substr(at + 1, comma - at - 1), model.size)) {
          return std::nullopt;
        }
      }
      if (depth == 4 && in_model && StartsWithFunction(text, at + 1)) {
        // ["function", "meet", 2, [v, ...]]
        const size_t name_start = text.find('"', text.find("\"function\"", at) + 10);
        const size_t name_end = name_start == std::string_view::npos ? name_start : text.find('"', name_start + 1);
        const size_t values_start = name_end == std::string_view::npos ? name_end : text.find('[', name_end);
        const size_t values_end = values_start == std::string_view::npos ? values_start : text.find(']', values_start);
        if (values_end == std::string_view::npos) return std::nullopt;
        const std::string name(text.substr(name_start + 1, name_end - name_start - 1));
        int arity = 0;
        const std::string_view between = text.substr(name_end + 1, values_start - name_end - 1);
        const size_t first_comma = between.find(',');
        const size_t second_comma = between.find(',', first_comma + 1);
        if (first_comma == std::string_view::npos || second_comma == std::string_view::npos ||
            !ParseNumber(between.substr(first_comma + 1, second_comma - first_comma - 1), arity)) {
          return std::nullopt;
        }
        Operation& operation = model.operations[name];
        model.order.push_back(name);
        operation.arity = arity;
        std::string_view values = text.substr(values_start + 1, values_end - values_start - 1);
        for (int k = 0; !values.empty(); ++k) {
          const size_t comma = values.find(',');
          operation.cells[{k}] = std::string(Trimmed(values.substr(0, comma)));
          values = comma == std::string_view::npos ? std::string_view() : values.substr(comma + 1);
        }
        at = values_end + 1;
        depth = 4;  // the closing ']' of the entry follows
        continue;
      }
    } else if (c == ']') {
      --depth;
    }
    ++at;
  }
  if (in_model) out += Interpretation(model, ++number);
  return out;
}

}  // namespace

std::optional<std::string> LadrStandardForm(std::string_view text) {
  if (text.find("interpretation(") != std::string_view::npos) return std::nullopt;
  if (auto cooked = FromCooked(text)) return cooked;
  return FromPortable(text);
}
