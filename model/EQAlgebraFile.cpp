// EQA files: one algebra as line-oriented text. Writing never throws and says
// whether the file was written; reading checks the whole file into a
// temporary and takes it over only when every section is sound, so a bad
// file never leaves the algebra half-read and never overruns a list.

#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <string>

#include "EQAlgebra.h"
#include "Settings.h"

namespace {

int ClampedCount(int32_t count) {
  return count < 0 ? 0 : (count > kMaxGeneEntries ? kMaxGeneEntries : count);
}

void AppendPairSection(std::string& out, const PairGene& gene) {
  const int count = ClampedCount(gene.Count);
  out += std::to_string(count);
  out += "\r\n";
  for (int k = 0; k < count; ++k) {
    const PairEntry& e = gene.Entries[k];
    const char line[7] = {e.X, ' ', e.Y, ' ', e.Value, '\r', '\n'};
    out.append(line, sizeof line);
  }
}

void AppendSingleSection(std::string& out, const SingleGene& gene) {
  const int count = ClampedCount(gene.Count);
  out += std::to_string(count);
  out += "\r\n";
  for (int k = 0; k < count; ++k) {
    const SingleEntry& e = gene.Entries[k];
    const char line[5] = {e.X, ' ', e.Value, '\r', '\n'};
    out.append(line, sizeof line);
  }
}

// Lines of a text file, LF or CR LF, numbered from 1.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}

  bool Next(std::string& line) {
    if (!std::getline(in_, line)) return false;
    ++number_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
  int Number() const { return number_; }

 private:
  std::istream& in_;
  int number_ = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one file section by section; the first fault ends the reading with
// a message "<file>: line L: what" (or "<file>: what" at the end of the file).
class EqaParser {
 public:
  EqaParser(std::istream& in, const std::string& file_name) : lines_(in), file_name_(file_name) {}

  bool Parse(TEQAlgebra& into) {
    std::string line;
    into.Description = lines_.Next(line) ? line : std::string();

    int32_t n = 0;
    if (!ReadCount("the element count", n)) return false;
    if (n < 2 || n > kMaxElements) {
      return FailAtLine("the element count " + token_ + " is outside 2.." + std::to_string(kMaxElements));
    }
    into.Size = n;
    expected_elements_ = n;
    if (!lines_.Next(line)) return FailAtEnd("the element line is missing");
    // n characters, each but the last followed by one separator.
    if (static_cast<int>(line.size()) < 2 * n - 1) {
      return FailAtLine("the element line is too short for " + std::to_string(n) + " elements");
    }
    for (int p = 0; p < n; ++p) into.ElementList[p] = line[2 * p];

    const int32_t half = n * (n - 1) / 2;
    if (!ReadPairSection("infimum", half, false, into.InfimumGene)) return false;
    if (!ReadPairSection("product", n * n, false, into.ProductGene)) return false;
    if (!ReadPairSection("fuzzy equality", half, false, into.FEqualityGene)) return false;
    if (!ReadDeltaSection(n, into)) return false;
    return ReadMaximumSection(n, into);
  }

  const std::string& Error() const { return error_; }

 private:
  enum class Number { kRead, kEnd };

  // Skips blank lines, takes the next run of non-blank characters as a
  // decimal count and ignores the rest of its line. kEnd at the end of the file.
  bool ReadNumber(const std::string& what, int32_t& value, Number& status) {
    std::string line;
    while (lines_.Next(line)) {
      size_t start = 0;
      while (start < line.size() && IsBlank(line[start])) ++start;
      if (start == line.size()) continue;
      size_t end = start;
      while (end < line.size() && !IsBlank(line[end])) ++end;
      token_ = line.substr(start, end - start);
      int64_t parsed = 0;
      for (char c : token_) {
        if (c < '0' || c > '9') return FailAtLine(what + " \"" + token_ + "\" is not a number");
        if (parsed <= kMaxGeneEntries) parsed = parsed * 10 + (c - '0');  // larger is wrong anyway
      }
      value = static_cast<int32_t>(parsed > kMaxGeneEntries ? kMaxGeneEntries + 1 : parsed);
      status = Number::kRead;
      return true;
    }
    status = Number::kEnd;
    return true;
  }

  bool ReadCount(const std::string& what, int32_t& value) {
    Number status;
    if (!ReadNumber(what, value, status)) return false;
    if (status == Number::kEnd) return FailAtEnd(what + " is missing");
    return true;
  }

  bool CheckCount(const std::string& section, int32_t count, int32_t expected, bool zero_allowed) {
    if (count == expected || (zero_allowed && count == 0)) return true;
    return FailAtLine("the " + section + " count is " + token_ + ", expected " +
                      (zero_allowed ? "0 or " : "") + std::to_string(expected) + " for " +
                      std::to_string(expected_elements_) + " elements");
  }

  // One entry line: at least `width` characters, fields at even positions.
  bool ReadEntry(const std::string& section, int k, int count, int width, std::string& line) {
    if (!lines_.Next(line)) {
      return FailAtEnd("the file ends inside the " + section + " entries (entry " + std::to_string(k) +
                       " of " + std::to_string(count) + ")");
    }
    if (static_cast<int>(line.size()) < width) {
      return FailAtLine("the " + section + " entry " + std::to_string(k) + " is truncated");
    }
    return true;
  }

  bool ReadPairEntries(const std::string& section, int32_t count, PairGene& gene) {
    std::string line;
    for (int k = 1; k <= count; ++k) {
      if (!ReadEntry(section, k, count, 5, line)) return false;
      gene.Entries[k - 1] = {line[0], line[2], line[4]};
    }
    gene.Count = count;
    return true;
  }

  bool ReadPairSection(const std::string& section, int32_t expected, bool zero_allowed, PairGene& gene) {
    int32_t count = 0;
    if (!ReadCount("the " + section + " count", count)) return false;
    if (!CheckCount(section, count, expected, zero_allowed)) return false;
    return ReadPairEntries(section, count, gene);
  }

  // A missing section or a count of 0 gives the default delta: d(1) = 1, else 0.
  bool ReadDeltaSection(int32_t n, TEQAlgebra& into) {
    int32_t count = 0;
    Number status;
    if (!ReadNumber("the delta count", count, status)) return false;
    if (status == Number::kEnd) count = 0;
    if (count == 0) {
      for (int k = 0; k < n; ++k) {
        const char x = into.ElementList[k];
        into.DeltaGene.Entries[k] = {x, x == '1' ? '1' : '0'};
      }
      into.DeltaGene.Count = n;
      return true;
    }
    if (!CheckCount("delta", count, n, true)) return false;
    std::string line;
    for (int k = 1; k <= count; ++k) {
      if (!ReadEntry("delta", k, count, 3, line)) return false;
      into.DeltaGene.Entries[k - 1] = {line[0], line[2]};
    }
    into.DeltaGene.Count = count;
    return true;
  }

  // A missing section or a count of 0 gives placeholders, which the
  // evaluation replaces by the joins while maximum is in play.
  bool ReadMaximumSection(int32_t n, TEQAlgebra& into) {
    int32_t count = 0;
    Number status;
    if (!ReadNumber("the maximum count", count, status)) return false;
    if (status == Number::kEnd) count = 0;
    if (count == 0) {
      int k = 0;
      for (int i = 0; i < n; ++i) {
        const char x = into.ElementList[i];
        for (int j = 0; j < n; ++j) {
          const char y = into.ElementList[j];
          const char v = x == '1' ? '1' : (x == '0' ? y : (i == j ? x : '0'));
          into.MaximumGene.Entries[k++] = {x, y, v};
        }
      }
      into.MaximumGene.Count = k;
      return true;
    }
    if (!CheckCount("maximum", count, n * n, true)) return false;
    return ReadPairEntries("maximum", count, into.MaximumGene);
  }

  bool FailAtLine(const std::string& what) {
    error_ = file_name_ + ": line " + std::to_string(lines_.Number()) + ": " + what;
    return false;
  }
  bool FailAtEnd(const std::string& what) {
    error_ = file_name_ + ": " + what;
    return false;
  }

  LineReader lines_;
  const std::string& file_name_;
  std::string token_;  // the text of the latest number read
  std::string error_;
  int32_t expected_elements_ = 0;
};

}  // namespace

bool TEQAlgebra::WriteEQA() const {
  try {
    std::string out;
    out.reserve(64 + 7 * 4 * kMaxGeneEntries);
    out += Description;
    out += "\r\n";
    out += std::to_string(Size);
    out += "\r\n";
    const int n = Size < 0 ? 0 : (Size > kMaxElements ? kMaxElements : Size);
    for (int p = 0; p < n; ++p) {
      if (p > 0) out += ' ';
      out += ElementList[p];
    }
    out += "\r\n";
    AppendPairSection(out, InfimumGene);
    AppendPairSection(out, ProductGene);
    AppendPairSection(out, FEqualityGene);
    if (Settings.DeltaEnabled || Settings.MaximumEnabled) AppendSingleSection(out, DeltaGene);
    if (Settings.MaximumEnabled) AppendPairSection(out, MaximumGene);

    std::ofstream file(FileName, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.flush();
    return static_cast<bool>(file);
  } catch (...) {
    return false;
  }
}

bool TEQAlgebra::ReadEQA(std::string* error) {
  std::error_code ignored;
  std::ifstream file;
  if (!std::filesystem::is_directory(FileName, ignored)) file.open(FileName, std::ios::binary);
  if (!file.is_open()) {
    if (error != nullptr) *error = "Error reading file: " + FileName;
    return false;
  }
  auto parsed = std::make_unique<TEQAlgebra>(*this);
  EqaParser parser(file, FileName);
  if (!parser.Parse(*parsed)) {
    if (error != nullptr) *error = parser.Error();
    return false;
  }
  Description = std::move(parsed->Description);
  Size = parsed->Size;
  ElementList = parsed->ElementList;
  InfimumGene = parsed->InfimumGene;
  ProductGene = parsed->ProductGene;
  FEqualityGene = parsed->FEqualityGene;
  DeltaGene = parsed->DeltaGene;
  MaximumGene = parsed->MaximumGene;
  return true;
}
