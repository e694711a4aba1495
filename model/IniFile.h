#pragma once
// A plain INI file: sections of "key=value" lines. One section per name: keys
// written to a section that already exists join it, in the order written.
// Reading accepts LF and CR LF line ends; writing uses CR LF.

#include <optional>
#include <string>
#include <utility>
#include <vector>

class IniFile {
 public:
  // Replaces the contents with the file's. A missing file gives an empty
  // IniFile and true (Exists() tells which); an unreadable one gives false,
  // a message naming it, and keeps the contents as they were.
  bool Load(const std::string& path, std::string* error = nullptr);
  // Whether the latest Load found the file.
  bool Exists() const { return exists_; }
  // Writes every section (creating missing parent directories), flushes and
  // reports whether it worked; a failed write keeps the previous file.
  bool Save(const std::string& path, std::string* error = nullptr) const;

  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  void Set(const std::string& section, const std::string& key, const std::string& value);
  // The whole text as Save writes it.
  std::string Text() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
  };
  Section& SectionNamed(const std::string& name);
  std::vector<Section> sections_;
  bool exists_ = false;
};
