// The settings file's lines checked against the key table. The lines are
// taken apart as IniFile reads them (blank and ';' or '#' lines skipped,
// names trimmed and matched without regard to ASCII case).

#include "model/SettingsCheck.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "model/Formatting.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lower(x) == Lower(y);
         });
}

// Levenshtein distance without regard to case; names are short.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const size_t replace = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, replace});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool IsInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // as the reading accepts it
  int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

const char* SectionNamed(std::string_view name) {
  for (const SettingsKey& key : kReadOrder) {
    if (SameName(key.section, name)) return key.section;
  }
  for (const WindowKey& key : kWindowKeys) {
    if (SameName(key.section, name)) return key.section;
  }
  return nullptr;
}

// What the check needs of a key, from either table.
struct KnownKey {
  const char* key;
  ValueKind kind;
  int32_t default_value;
};

std::optional<KnownKey> KeyNamed(std::string_view section, std::string_view name) {
  for (const SettingsKey& key : kReadOrder) {
    if (SameName(key.section, section) && SameName(key.key, name)) {
      return KnownKey{key.key, key.kind, DefaultValueOf(key)};
    }
  }
  for (const WindowKey& key : kWindowKeys) {
    if (SameName(key.section, section) && SameName(key.key, name)) {
      return KnownKey{key.key, key.kind, key.default_value};
    }
  }
  return std::nullopt;
}

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

// "; did you mean "Goodness" in [Algebra properties]?" or nothing.
std::string NearMiss(std::string_view name, std::string_view section) {
  const SettingsKey* near = NearestKey(name);
  if (near == nullptr) return std::string();
  std::string hint = "; did you mean " + Quoted(near->key);
  if (!SameName(near->section, section)) hint += std::string(" in [") + near->section + "]";
  return hint + "?";
}

}  // namespace

const SettingsKey* NearestKey(std::string_view name) {
  const SettingsKey* best = nullptr;
  size_t best_distance = 0;
  // Up to two edits, and fewer than a third of the name: "Goodnes", not "Max" for "Mix".
  const size_t allowed = name.empty() ? 0 : std::min<size_t>(2, (name.size() - 1) / 3);
  for (const SettingsKey& key : kReadOrder) {
    const size_t distance = EditDistance(name, key.key);
    if (distance <= allowed && (best == nullptr || distance < best_distance)) {
      best = &key;
      best_distance = distance;
    }
  }
  return best;
}

std::vector<SettingsWarning> CheckSettingsText(std::string_view text, const std::string& file_name) {
  std::vector<SettingsWarning> warnings;
  const auto warn = [&](int line, const std::string& message) {
    warnings.push_back({line, file_name + ":" + std::to_string(line) + ": " + message});
  };
  std::string section;  // as written in the file
  bool section_known = false;
  bool in_section = false;
  int number = 0;
  size_t position = 0;
  while (position < text.size()) {
    const size_t end = text.find('\n', position);
    const size_t stop = end == std::string_view::npos ? text.size() : end;
    const std::string_view line = TrimmedIniText(text.substr(position, stop - position));
    position = end == std::string_view::npos ? text.size() : end + 1;
    ++number;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = std::string(TrimmedIniText(line.substr(1, line.size() - 2)));
      in_section = true;
      section_known = SectionNamed(section) != nullptr;
      if (!section_known) warn(number, "unknown section [" + section + "] (ignored)");
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || TrimmedIniText(line.substr(0, equals)).empty()) {
      warn(number, "not a \"key=value\" line (ignored)");
      continue;
    }
    const std::string_view name = TrimmedIniText(line.substr(0, equals));
    const std::string_view value = TrimmedIniText(line.substr(equals + 1));
    if (!in_section) {
      warn(number, "key " + Quoted(name) + " outside any section (ignored" + NearMiss(name, "") + ")");
      continue;
    }
    if (!section_known) continue;  // the section has been told once
    const std::optional<KnownKey> key = KeyNamed(section, name);
    if (!key) {
      warn(number, "unknown key " + Quoted(name) + " in [" + section + "] (ignored" + NearMiss(name, section) + ")");
    } else if (key->kind != ValueKind::Text && !IsInteger(value)) {
      warn(number, "value " + Quoted(value) + " of " + Quoted(key->key) + " in [" + section +
                       "] is not an integer (the default " + std::to_string(key->default_value) + " is used)");
    }
  }
  return warnings;
}

std::string ChangedSettingsJson(const FormValues& values) {
  const FormValues defaults = DefaultFormValues();
  std::vector<std::string> sections;  // in the order first written
  for (const SettingsKey& key : kWriteOrder) {
    if (std::find(sections.begin(), sections.end(), key.section) == sections.end()) sections.push_back(key.section);
  }
  std::string json = "{";
  for (const std::string& section : sections) {
    std::string members;
    for (const SettingsKey& key : kWriteOrder) {
      if (section != key.section) continue;
      std::string value;
      if (key.kind == ValueKind::Text) {
        const std::string& text = values.quick_dir_path;
        if (text == defaults.quick_dir_path || text == defaults.quick_dir_path + "/") continue;
        value = JsonString(text);
      } else {
        if (key.control == Control::LogProperties) continue;  // the same box as "DumpProperties"
        if (values.Get(key.control) == defaults.Get(key.control)) continue;
        value = std::to_string(values.Get(key.control));
      }
      members += (members.empty() ? "" : ", ") + JsonString(key.key) + ": " + value;
    }
    if (members.empty()) continue;
    json += (json.size() > 1 ? ", " : "") + JsonString(section) + ": {" + members + "}";
  }
  return json + "}";
}
