// EQA files: one algebra as line-oriented text. Writing goes through a
// temporary and says why it failed; reading takes the whole file (a regular
// file of bounded size, every read error reported), checks it into a
// temporary algebra and takes that over only when every section is sound, so
// a bad file never leaves the algebra half-read and never overruns a list.

#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "model/AtomicFile.h"
#include "model/EQAlgebra.h"
#include "model/RegularFile.h"
#include "model/Settings.h"

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

// Lines of a text, LF or CR LF, numbered from 1. A text that does not end
// in a line break still ends with a line; one that does has no empty line after it.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (position_ >= text_.size()) return false;
    const size_t end = text_.find('\n', position_);
    const size_t stop = end == std::string_view::npos ? text_.size() : end;
    line = text_.substr(position_, stop - position_);
    position_ = end == std::string_view::npos ? text_.size() : end + 1;
    ++number_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  int64_t Number() const { return number_; }

 private:
  std::string_view text_;
  size_t position_ = 0;
  int64_t number_ = 0;  // a text of more than 2^31 lines must not wrap it
};

// A token as a message shows it: at most its first few dozen characters, so
// a line of junk never becomes a message of the same size.
constexpr size_t kShownTokenLength = 40;

std::string Clipped(std::string_view token) {
  if (token.size() <= kShownTokenLength) return std::string(token);
  return std::string(token.substr(0, kShownTokenLength)) + "...";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one file section by section; the first fault ends the reading with
// a message "<file>: line L: what" (or "<file>: what" at the end of the file).
class EqaParser {
 public:
  EqaParser(std::string_view text, const std::string& file_name) : lines_(text), file_name_(file_name) {}

  bool Parse(TEQAlgebra& into) {
    std::string_view line;
    into.Description = lines_.Next(line) ? std::string(line) : std::string();

    int32_t n = 0;
    if (!ReadCount("the element count", n)) return false;
    if (n < 2 || n > kMaxElements) {
      return FailAtLine("the element count " + Clipped(token_) + " is outside 2.." + std::to_string(kMaxElements));
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
    std::string_view line;
    while (lines_.Next(line)) {
      size_t start = 0;
      while (start < line.size() && IsBlank(line[start])) ++start;
      if (start == line.size()) continue;
      size_t end = start;
      while (end < line.size() && !IsBlank(line[end])) ++end;
      token_ = line.substr(start, end - start);
      int64_t parsed = 0;
      for (char c : token_) {
        if (c < '0' || c > '9') return FailAtLine(what + " \"" + Clipped(token_) + "\" is not a number");
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
    return FailAtLine("the " + section + " count is " + Clipped(token_) + ", expected " +
                      (zero_allowed ? "0 or " : "") + std::to_string(expected) + " for " +
                      std::to_string(expected_elements_) + " elements");
  }

  // One entry line: at least `width` characters, fields at even positions.
  bool ReadEntry(const std::string& section, int k, int count, int width, std::string_view& line) {
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
    std::string_view line;
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
    std::string_view line;
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
  std::string_view token_;  // the text of the latest number read
  std::string error_;
  int32_t expected_elements_ = 0;
};

}  // namespace

std::string TEQAlgebra::EQAText() const {
  std::string out;
  out.reserve(64 + Description.size() + 7 * 4 * kMaxGeneEntries);
  for (const char c : Description) out += c == '\r' || c == '\n' ? ' ' : c;
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
  return out;
}

bool TEQAlgebra::WriteEQA(std::string* reason, bool follow_link) const {
  try {
    return WriteFileAtomically(FileName, EQAText(), reason, FileSync::kNone,
                               follow_link ? LinkPolicy::kFollow : LinkPolicy::kReplace);
  } catch (const std::bad_alloc&) {
    if (reason != nullptr) *reason = "out of memory";
    return false;
  }
}

bool TEQAlgebra::ReadEQA(std::string* error) {
  std::string text;
  std::string reason;
  if (ReadRegularFile(FileName, kMaxEqaFileBytes, text, reason) != ReadStatus::kRead) {
    if (error != nullptr) *error = "Error reading file: " + FileName + ": " + reason;
    return false;
  }
  return ReadEQAText(text, FileName, error);
}

bool TEQAlgebra::ReadEQAText(std::string_view text, const std::string& file_name, std::string* error) {
  auto parsed = std::make_unique<TEQAlgebra>(*this);
  EqaParser parser(text, file_name);
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
