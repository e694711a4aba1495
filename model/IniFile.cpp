// A plain INI file. Section and key names match without regard to ASCII case,
// as INI readers customarily do; the names keep the case they were first
// written with. The tables are keyed by the names folded to lower case.

#include "model/IniFile.h"

#include <filesystem>

#include "model/AtomicFile.h"
#include "model/RegularFile.h"

namespace {

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

std::string_view TrimmedIniText(std::string_view text) {
  size_t start = 0, end = text.size();
  while (start < end && static_cast<unsigned char>(text[start]) <= ' ') ++start;
  while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(start, end - start);
}

bool IniFile::Load(const std::string& path, std::string* error) {
  std::string text;
  std::string reason;
  const ReadStatus status = ReadRegularFile(path, kMaxFileBytes, text, reason);
  if (status == ReadStatus::kFailed) {
    if (error != nullptr) *error = "Error reading file: " + path + ": " + reason;
    return false;
  }
  LoadText(text);
  exists_ = status == ReadStatus::kRead;
  return true;
}

void IniFile::LoadText(std::string_view text) {
  IniFile parsed;
  Section* current = nullptr;
  size_t position = 0;
  while (position < text.size()) {
    const size_t end = text.find('\n', position);
    const size_t stop = end == std::string_view::npos ? text.size() : end;
    const std::string_view line = TrimmedIniText(text.substr(position, stop - position));
    position = end == std::string_view::npos ? text.size() : end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      current = &parsed.SectionNamed(std::string(TrimmedIniText(line.substr(1, line.size() - 2))));
      continue;
    }
    const size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) continue;  // not a key line
    const std::string_view key = TrimmedIniText(line.substr(0, equals));
    if (key.empty()) continue;
    // The first line of a key wins, as in the usual readers.
    const auto [where, added] = current->key_index.try_emplace(Folded(key), current->keys.size());
    if (added) current->keys.emplace_back(std::string(key), std::string(TrimmedIniText(line.substr(equals + 1))));
  }
  sections_ = std::move(parsed.sections_);
  section_index_ = std::move(parsed.section_index_);
  exists_ = true;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  const std::filesystem::path target(path);
  std::error_code code;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), code);
  std::string reason;
  // The settings file is the user's: a link to it (into a dotfiles folder, say) is kept.
  if (WriteFileAtomically(path, Text(), &reason, FileSync::kToDisk, LinkPolicy::kFollow)) return true;
  if (error != nullptr) *error = "Error writing file: " + path + ": " + reason;
  return false;
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  const auto found = s->key_index.find(Folded(key));
  if (found == s->key_index.end()) return std::nullopt;
  return s->keys[found->second].second;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  Section& s = SectionNamed(section);
  const auto [where, added] = s.key_index.try_emplace(Folded(key), s.keys.size());
  if (added) {
    s.keys.emplace_back(key, value);
  } else {
    s.keys[where->second].second = value;
  }
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

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
  const auto found = section_index_.find(Folded(name));
  return found == section_index_.end() ? nullptr : &sections_[found->second];
}

IniFile::Section& IniFile::SectionNamed(const std::string& name) {
  const auto [where, added] = section_index_.try_emplace(Folded(name), sections_.size());
  if (added) sections_.push_back(Section{name, {}, {}});
  return sections_[where->second];
}
