#pragma once
// Reading back the tool's own JSON Lines: the members of one flat object,
// each value kept as its raw text (a string with its quotes, a number, an
// object with its braces), so that values can be compared as written.

#include <map>
#include <optional>
#include <string>

// The top-level members of a JSON object on one line; nullopt when the line
// is not one.
std::optional<std::map<std::string, std::string>> JsonMembers(const std::string& line);

// A raw JSON string value without its quotes (escapes kept as written).
std::string Unquoted(const std::string& raw);
