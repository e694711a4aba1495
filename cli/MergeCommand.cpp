// velmora-cli merge: the parts of one find --part K/N run into one result.
// Each part is the JSON Lines a find printed (its class lines and summary),
// or a folder holding the records find --out writes (find_pKofN.jsonl). The
// parts must all be there, complete, made by the same version with the same
// settings, and no class may appear twice; then the combined summary is
// printed, and otherwise each fault is named and nothing is printed.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "classes/AlgebraClass.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonLine.h"
#include "model/RegularFile.h"
#include "cli/StandardOutput.h"

namespace {

// The largest part output read: 2^32 bytes holds millions of class lines.
constexpr uint64_t kMaxPartBytes = uint64_t{1} << 32;

struct Part {
  std::string file;
  int index = 1;  // 1-based
  int count = 1;
  std::map<std::string, std::string> summary;
  std::vector<std::string> class_ids;
};

bool ParseDecimal(const std::string& text, BigCount& value) {
  if (text.empty() || text.size() > 38) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

// "2/4" into 2 and 4.
bool ParsePart(const std::string& text, int& index, int& count) {
  const size_t slash = text.find('/');
  BigCount k = 0, n = 0;
  if (slash == std::string::npos || !ParseDecimal(text.substr(0, slash), k) ||
      !ParseDecimal(text.substr(slash + 1), n) || k < 1 || n < k || n > 1000000) {
    return false;
  }
  index = static_cast<int>(k);
  count = static_cast<int>(n);
  return true;
}

bool ReadPart(const std::string& file, Part& part, std::string& error) {
  std::string text, reason;
  if (ReadRegularFile(file, kMaxPartBytes, text, reason) != ReadStatus::kRead) {
    error = file + ": " + reason;
    return false;
  }
  part.file = file;
  std::istringstream lines(text);
  std::string line, last;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (line.empty()) continue;
    const auto members = JsonMembers(line);
    if (!members) {
      error = file + ":" + std::to_string(number) + ": not a line of find";
      return false;
    }
    if (members->count("complete") != 0) {
      part.summary = *members;
    } else if (const auto id = members->find("id"); id != members->end()) {
      part.class_ids.push_back(Unquoted(id->second));
    }
    last = line;
  }
  if (part.summary.empty() || JsonMembers(last)->count("complete") == 0) {
    error = file + ": no summary line at the end (a find that did not finish?)";
    return false;
  }
  if (const auto found = part.summary.find("part"); found != part.summary.end()) {
    if (!ParsePart(Unquoted(found->second), part.index, part.count)) {
      error = file + ": \"part\" is " + found->second + ", not K/N";
      return false;
    }
  }
  return true;
}

// The files a name stands for: itself, or the records of find in a folder.
std::vector<std::string> PartFiles(const std::string& name) {
  std::error_code error;
  if (!std::filesystem::is_directory(name, error)) return {name};
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(name, error)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind("find", 0) == 0 && entry.path().extension() == ".jsonl") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) files.push_back(name);  // told as "not a regular file"
  return files;
}

std::string Member(const Part& part, const std::string& name) {
  const auto found = part.summary.find(name);
  return found == part.summary.end() ? std::string() : found->second;
}

// Every reason the parts do not make one whole run; empty when they do.
std::vector<std::string> Faults(const std::vector<Part>& parts) {
  std::vector<std::string> faults;
  const Part& first = parts.front();
  std::map<int, const Part*> by_index;
  std::map<std::string, const Part*> by_class;
  int64_t repeated_classes = 0;  // the first few are named, the rest counted
  constexpr int64_t kNamedRepeats = 3;
  for (const Part& part : parts) {
    const std::string name = "\"" + part.file + "\"";
    const std::string which = "part " + std::to_string(part.index) + "/" + std::to_string(part.count);
    if (Member(part, "complete") != "true") {
      const std::string why = Member(part, "why_incomplete");
      faults.push_back(name + ": " + which + " is incomplete" + (why.empty() ? "" : " (" + Unquoted(why) + ")"));
    }
    if (part.count != first.count) {
      faults.push_back(name + ": " + which + " is of a run in " + std::to_string(part.count) + " parts, \"" +
                       first.file + "\" of one in " + std::to_string(first.count));
    }
    for (const char* key : {"velmora", "elements", "settings"}) {
      if (Member(part, key) != Member(first, key)) {
        faults.push_back(name + ": made with other " + (key == std::string("velmora") ? "version" : key) +
                         " than \"" + first.file + "\" (" + Member(part, key) + " against " + Member(first, key) +
                         ")");
      }
    }
    if (const auto [where, added] = by_index.emplace(part.index, &part); !added) {
      faults.push_back(name + ": " + which + " is given twice (also \"" + where->second->file + "\")");
    }
    if (!part.class_ids.empty() && std::to_string(part.class_ids.size()) != Member(part, "classes")) {
      faults.push_back(name + ": " + std::to_string(part.class_ids.size()) + " class lines, but the summary says " +
                       Member(part, "classes"));
    }
    for (const std::string& id : part.class_ids) {
      if (const auto [where, added] = by_class.emplace(id, &part); !added && ++repeated_classes <= kNamedRepeats) {
        faults.push_back(name + ": class " + id + " appears twice (also in \"" + where->second->file + "\")");
      }
    }
  }
  if (repeated_classes > kNamedRepeats) {
    faults.push_back(std::to_string(repeated_classes - kNamedRepeats) + " more classes appear twice");
  }
  for (int k = 1; k <= first.count; ++k) {
    if (by_index.count(k) == 0) {
      faults.push_back("part " + std::to_string(k) + "/" + std::to_string(first.count) + " is missing");
    }
  }
  return faults;
}

}  // namespace

int RunMerge(int argc, char** argv) {
  CommandLine line;
  const CommandSpec& command = *FindCommand("merge");
  if (const int exit = line.Parse(command, argc, argv); exit >= 0) return exit;
  const std::vector<std::string>& names = line.Operands();
  if (names.empty()) return UsageError(command, "no part given");
  std::vector<Part> parts;
  bool read_ok = true;
  for (const std::string& name : names) {
    for (const std::string& file : PartFiles(name)) {
      Part part;
      std::string error;
      if (ReadPart(file, part, error)) {
        parts.push_back(std::move(part));
      } else {
        std::fprintf(stderr, "velmora-cli merge: %s\n", error.c_str());
        read_ok = false;
      }
    }
  }
  if (!read_ok || parts.empty()) return kExitInputFailed;
  const std::vector<std::string> faults = Faults(parts);
  for (const std::string& fault : faults) std::fprintf(stderr, "velmora-cli merge: %s\n", fault.c_str());
  if (!faults.empty()) return kExitInputFailed;

  BigCount classes = 0, labelled = 0;
  for (const Part& part : parts) {
    BigCount c = 0, l = 0;
    ParseDecimal(Member(part, "classes"), c);
    ParseDecimal(Member(part, "labelled"), l);
    classes += c;
    labelled += l;
  }
  const Part& first = parts.front();
  const std::string summary = "{\"classes\": " + FormatBigCount(classes) + ", \"labelled\": " + FormatBigCount(labelled) +
                           ", \"complete\": true, \"parts\": " + std::to_string(first.count) + ", \"velmora\": " +
                           Member(first, "velmora") + ", \"elements\": " + Member(first, "elements") +
                           ", \"settings\": " + Member(first, "settings") + "}\n";
  return WriteToStandardOutput(summary) ? kExitOk : kExitInputFailed;
}
