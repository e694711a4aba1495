#include "cli/JsonLine.h"

namespace {

// The end of the value that starts at `at`: after a string's closing quote,
// or at the ',' or '}' that ends a number, word, object or array.
size_t ValueEnd(const std::string& line, size_t at) {
  int depth = 0;
  bool in_string = false;
  for (size_t i = at; i < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
        if (depth == 0) return i + 1;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if (c == '}' || c == ']') {
      if (depth == 0) return i;
      if (--depth == 0) return i + 1;
    } else if (c == ',' && depth == 0) {
      return i;
    }
  }
  return std::string::npos;
}

size_t SkipBlanks(const std::string& line, size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
  return at;
}

}  // namespace

std::optional<std::map<std::string, std::string>> JsonMembers(const std::string& line) {
  std::map<std::string, std::string> members;
  size_t at = SkipBlanks(line, 0);
  if (at >= line.size() || line[at] != '{') return std::nullopt;
  at = SkipBlanks(line, at + 1);
  while (at < line.size() && line[at] != '}') {
    if (line[at] != '"') return std::nullopt;
    const size_t name_end = ValueEnd(line, at);
    if (name_end == std::string::npos) return std::nullopt;
    const std::string name = line.substr(at + 1, name_end - at - 2);
    at = SkipBlanks(line, name_end);
    if (at >= line.size() || line[at] != ':') return std::nullopt;
    at = SkipBlanks(line, at + 1);
    const size_t value_end = ValueEnd(line, at);
    if (value_end == std::string::npos || value_end == at) return std::nullopt;
    size_t trimmed = value_end;
    while (trimmed > at && line[trimmed - 1] == ' ') --trimmed;
    members[name] = line.substr(at, trimmed - at);
    at = SkipBlanks(line, value_end);
    if (at < line.size() && line[at] == ',') at = SkipBlanks(line, at + 1);
  }
  if (at >= line.size()) return std::nullopt;
  return members;
}

std::string Unquoted(const std::string& raw) {
  return raw.size() >= 2 && raw.front() == '"' && raw.back() == '"' ? raw.substr(1, raw.size() - 2) : raw;
}
