#pragma once
// A plain INI file: sections of "key=value" lines. One section per name: keys
// written to a section that already exists join it, in the order written.
// Reading accepts LF and CR LF line ends; writing uses CR LF. Section and key
// names are found through hash tables, so reading and writing take time in
// proportion to the size of the file, however its keys are spread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class IniFile {
 public:
  // The largest settings file read: the program's own is about 1 kB.
  static constexpr uint64_t kMaxFileBytes = 1024 * 1024;

  // Replaces the contents with the file's. A missing file gives an empty
  // IniFile and true (Exists() tells which); one that cannot be read (a read
  // error, not a regular file, larger than kMaxFileBytes) gives false, a
  // message naming it and the reason, and keeps the contents as they were.
  bool Load(const std::string& path, std::string* error = nullptr);
  // Replaces the contents with those of an INI text.
  void LoadText(std::string_view text);
  // Whether the latest Load found the file.
  bool Exists() const { return exists_; }
  // Writes every section (creating missing parent directories) through a
  // temporary beside the file, synced to disk and renamed over it: a failed
  // write keeps the previous file. The message names the file and the reason.
  bool Save(const std::string& path, std::string* error = nullptr) const;

  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  void Set(const std::string& section, const std::string& key, const std::string& value);
  // The whole text as Save writes it.
  std::string Text() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
    std::unordered_map<std::string, size_t> key_index;  // folded key name -> position in keys
  };
  Section& SectionNamed(const std::string& name);
  const Section* FindSection(const std::string& name) const;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> section_index_;  // folded section name -> position
  bool exists_ = false;
};

// Text without its leading and trailing blanks and control characters, as
// the reading takes a line, a section name, a key or a value apart.
std::string_view TrimmedIniText(std::string_view text);
