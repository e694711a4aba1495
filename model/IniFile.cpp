// A plain INI file. Section and key names match without regard to ASCII case,
// as INI readers customarily do; the names keep the case they were first
// written with.

#include "IniFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Trimmed(const std::string& text) {
  size_t start = 0, end = text.size();
  while (start < end && static_cast<unsigned char>(text[start]) <= ' ') ++start;
  while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(start, end - start);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool IniFile::Load(const std::string& path, std::string* error) {
  std::error_code code;
  const bool exists = std::filesystem::exists(path, code);
  std::ifstream file;
  if (exists && !std::filesystem::is_directory(path, code)) file.open(path, std::ios::binary);
  if (exists && !file.is_open()) {
    if (error != nullptr) *error = "Error reading file: " + path;
    return false;
  }
  IniFile parsed;
  if (exists) {
    std::stringstream whole;
    whole << file.rdbuf();
    if (file.bad()) {
      if (error != nullptr) *error = "Error reading file: " + path;
      return false;
    }
    std::string line;
    Section* current = nullptr;
    while (std::getline(whole, line)) {
      const std::string text = Trimmed(line);
      if (text.empty() || text[0] == ';' || text[0] == '#') continue;
      if (text.front() == '[' && text.back() == ']') {
        current = &parsed.SectionNamed(Trimmed(text.substr(1, text.size() - 2)));
        continue;
      }
      const size_t equals = text.find('=');
      if (current == nullptr || equals == std::string::npos) continue;  // not a key line
      const std::string key = Trimmed(text.substr(0, equals));
      if (key.empty()) continue;
      // The first line of a key wins, as in the usual readers.
      bool known = false;
      for (const auto& entry : current->keys) known = known || SameName(entry.first, key);
      if (!known) current->keys.emplace_back(key, Trimmed(text.substr(equals + 1)));
    }
  }
  sections_ = std::move(parsed.sections_);
  exists_ = exists;
  return true;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  // Written beside the target and renamed over it, so a failed write never
  // destroys the settings saved before.
  const std::filesystem::path target(path);
  const std::filesystem::path temporary = target.string() + ".tmp";
  std::error_code code;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), code);
  bool written = false;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (file) {
      const std::string text = Text();
      file.write(text.data(), static_cast<std::streamsize>(text.size()));
      file.flush();
      written = static_cast<bool>(file);
    }
  }
  if (written) {
    std::filesystem::rename(temporary, target, code);
    written = !code;
  }
  if (!written) {
    std::filesystem::remove(temporary, code);
    if (error != nullptr) *error = "Error writing file: " + path;
  }
  return written;
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const auto& entry : s.keys) {
      if (SameName(entry.first, key)) return entry.second;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  Section& s = SectionNamed(section);
  for (auto& entry : s.keys) {
    if (SameName(entry.first, key)) {
      entry.second = value;
      return;
    }
  }
  s.keys.emplace_back(key, value);
}

std::string IniFile::Text() const {
  std::string text;
  for (const Section& s : sections_) {
    if (!text.empty()) text += "\r\n";
    text += "[" + s.name + "]\r\n";
    for (const auto& entry : s.keys) text += entry.first + "=" + entry.second + "\r\n";
  }
  return text;
}

IniFile::Section& IniFile::SectionNamed(const std::string& name) {
  for (Section& s : sections_) {
    if (SameName(s.name, name)) return s;
  }
  sections_.push_back(Section{name, {}});
  return sections_.back();
}
