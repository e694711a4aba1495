#include "cli/FindResume.h"

#include <algorithm>
#include <cstdio>

#include "model/RegularFile.h"

namespace {

constexpr uint64_t kMaxOutputBytes = 1ull << 32;  // a find run's output: representatives and all

// A decimal number at text[at], advancing at; false when there is none.
bool ReadDecimal(const std::string& text, size_t& at, BigCount& value) {
  while (at < text.size() && text[at] == ' ') ++at;
  const size_t begin = at;
  value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - begin < 38) {
    value = value * 10 + static_cast<unsigned>(text[at++] - '0');
  }
  return at > begin;
}

bool Expect(const std::string& text, size_t& at, char c) {
  while (at < text.size() && text[at] == ' ') ++at;
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// Sixteen hexadecimal digits at text[at], advancing at.
bool ReadHex(const std::string& text, size_t& at, uint64_t& value) {
  value = 0;
  int digits = 0;
  for (; at < text.size() && digits < 16; ++at, ++digits) {
    const char c = text[at];
    const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (v < 0) break;
    value = value << 4 | static_cast<uint64_t>(v);
  }
  return digits == 16;
}

std::string PathText(const std::vector<uint8_t>& path) {
  std::string text = "[";
  for (size_t i = 0; i < path.size(); ++i) text += (i > 0 ? ", " : "") + std::to_string(path[i]);
  return text + "]";
}

// A list of items in brackets, each read by `item`; false on the first fault.
template <typename ReadItem>
bool ReadList(const std::string& text, size_t& at, ReadItem item) {
  if (!Expect(text, at, '[')) return false;
  if (Expect(text, at, ']')) return true;
  for (;;) {
    if (!item()) return false;
    if (Expect(text, at, ']')) return true;
    if (!Expect(text, at, ',')) return false;
  }
}

bool ReadPath(const std::string& text, size_t& at, std::vector<uint8_t>& path) {
  path.clear();
  return ReadList(text, at, [&]() {
    BigCount digit = 0;
    if (!ReadDecimal(text, at, digit) || digit > 255) return false;
    path.push_back(static_cast<uint8_t>(digit));
    return true;
  });
}

// The recorded pieces of a count on the line from `at`: "space", then the
// pieces done with what they found, then those still open.
bool ReadPieces(const std::string& text, size_t at, const std::string& path, FinderOptions& resumed,
                std::string& error) {
  const size_t line_end = std::min(text.find('\n', at), text.size());
  const std::string kSpace = "\"space\": \"";
  const size_t space = text.find(kSpace, at);
  if (space == std::string::npos || space > line_end) return true;  // a record of units only
  at = space + kSpace.size();
  const auto fail = [&](const std::string& what) {
    error = "\"" + path + "\": " + what + " near byte " + std::to_string(at);
    return false;
  };
  if (!ReadHex(text, at, resumed.ResumedSpace)) return fail("the search space is not 16 hexadecimal digits");
  for (const bool done : {true, false}) {
    const std::string key = done ? "\"pieces\": " : "\"open\": ";
    const size_t found = text.find(key, at);
    if (found == std::string::npos || found > line_end) return fail("the record lacks " + key.substr(0, key.size() - 2));
    at = found + key.size();
    const bool read = ReadList(text, at, [&]() {
      RecordedPiece piece;
      BigCount lattice = 0, classes = 0;
      if (!Expect(text, at, '[') || !ReadDecimal(text, at, lattice) || lattice > INT32_MAX || !Expect(text, at, ',') ||
          !ReadPath(text, at, piece.Path)) {
        return false;
      }
      if (done && (!Expect(text, at, ',') || !ReadDecimal(text, at, classes) || classes > INT64_MAX ||
                   !Expect(text, at, ',') || !ReadDecimal(text, at, piece.Labelled))) {
        return false;
      }
      piece.Lattice = static_cast<int>(lattice);
      piece.Done = done;
      piece.Classes = static_cast<int64_t>(classes);
      resumed.ResumedPieces.push_back(std::move(piece));
      return Expect(text, at, ']');
    });
    if (!read) {
      return fail(done ? "a piece is not [lattice, [path], classes, labelled]" : "an open piece is not [lattice, [path]]");
    }
  }
  return true;
}

}  // namespace

std::string FinishedUnitsFields(const FinderSummary& summary) {
  std::string text = ", \"plan\": \"";
  text.append(Hex(summary.Plan));
  text.append("\", \"units\": ");
  text.append(std::to_string(summary.Units));
  text.append(", \"finished\": [");
  for (size_t i = 0; i < summary.Finished.size(); ++i) {
    const FinishedUnit& unit = summary.Finished[i];
    text.append(i > 0 ? ", [" : "[");
    text.append(std::to_string(unit.Unit));
    text.append(", ");
    text.append(std::to_string(unit.Classes));
    text.append(", ");
    text.append(FormatBigCount(unit.Labelled));
    text.append("]");
  }
  text.append("]");
  if (summary.Partial.Unit >= 0) {
    text.append(", \"partial\": [" + std::to_string(summary.Partial.Unit) + ", " +
                std::to_string(summary.Partial.Classes) + "]");
  }
  if (summary.Space == 0) return text;
  text.append(", \"space\": \"" + Hex(summary.Space) + "\"");
  for (const bool done : {true, false}) {
    text.append(done ? ", \"pieces\": [" : "], \"open\": [");
    bool first = true;
    for (const RecordedPiece& piece : summary.Pieces) {
      if (piece.Done != done) continue;
      text.append(first ? "[" : ", [");
      first = false;
      text.append(std::to_string(piece.Lattice) + ", " + PathText(piece.Path));
      if (done) text.append(", " + std::to_string(piece.Classes) + ", " + FormatBigCount(piece.Labelled));
      text.append("]");
    }
  }
  text.append("]");
  return text;
}

bool ReadResumeRecord(const std::string& path, FinderOptions& resumed, std::string& error) {
  uint64_t& plan = resumed.ResumedPlan;
  std::vector<FinishedUnit>& units = resumed.Resumed;
  PartialUnit& partial = resumed.ResumedPartial;
  std::string text, reason;
  if (ReadRegularFile(path, kMaxOutputBytes, text, reason) != ReadStatus::kRead) {
    error = "cannot read \"" + path + "\": " + reason;
    return false;
  }
  const std::string kPlan = "\"plan\": \"";
  const size_t found = text.rfind(kPlan);
  const std::string bad = "\"" + path + "\" holds no summary of a run cut short (\"plan\" and \"finished\")";
  if (found == std::string::npos) {
    error = bad;
    return false;
  }
  size_t at = found + kPlan.size();
  const bool hex = ReadHex(text, at, plan);
  const std::string kFinished = "\"finished\": [";
  const size_t list = text.find(kFinished, at);
  if (!hex || list == std::string::npos || text.find('\n', at) < list) {
    error = bad;
    return false;
  }
  at = list + kFinished.size();
  units.clear();
  partial = PartialUnit{};
  resumed.ResumedSpace = 0;
  resumed.ResumedPieces.clear();
  // After the list, on the same line, the unit the run was handing out, and
  // a count's pieces.
  const auto read_partial = [&]() {
    const std::string kPartial = ", \"partial\": [";
    if (text.compare(at, kPartial.size(), kPartial) != 0) return ReadPieces(text, at, path, resumed, error);
    at += kPartial.size();
    BigCount unit = 0, classes = 0;
    if (!ReadDecimal(text, at, unit) || !Expect(text, at, ',') || !ReadDecimal(text, at, classes) ||
        !Expect(text, at, ']') || unit > static_cast<BigCount>(INT64_MAX) || classes > static_cast<BigCount>(INT64_MAX)) {
      error = "\"" + path + "\": the partial unit is not [unit, classes] near byte " + std::to_string(at);
      return false;
    }
    partial = {static_cast<int64_t>(unit), static_cast<int64_t>(classes)};
    return ReadPieces(text, at, path, resumed, error);
  };
  if (Expect(text, at, ']')) return read_partial();
  for (;;) {
    BigCount unit = 0, classes = 0, labelled = 0;
    if (!Expect(text, at, '[') || !ReadDecimal(text, at, unit) || !Expect(text, at, ',') ||
        !ReadDecimal(text, at, classes) || !Expect(text, at, ',') || !ReadDecimal(text, at, labelled) ||
        !Expect(text, at, ']') || unit > static_cast<BigCount>(INT64_MAX) || classes > static_cast<BigCount>(INT64_MAX)) {
      error = "\"" + path + "\": a finished unit is not [unit, classes, labelled] near byte " + std::to_string(at);
      return false;
    }
    units.push_back({static_cast<int64_t>(unit), static_cast<int64_t>(classes), labelled});
    if (Expect(text, at, ']')) return read_partial();
    if (!Expect(text, at, ',')) {
      error = "\"" + path + "\": the list of finished units is cut off near byte " + std::to_string(at);
      return false;
    }
  }
}

void SettleUnprintedClass(FinderSummary& summary, int64_t printed) {
  if (summary.Classes <= printed) return;
  if (summary.Partial.Unit >= 0) {
    if (--summary.Partial.Classes <= 0) summary.Partial = PartialUnit{};
    return;
  }
  // Units are handed out in plan order, so the class belonged to the last one.
  const auto last = std::max_element(summary.Finished.begin(), summary.Finished.end(),
                                     [](const FinishedUnit& a, const FinishedUnit& b) { return a.Unit < b.Unit; });
  if (last == summary.Finished.end()) return;
  const FinishedUnit unit = *last;
  summary.Finished.erase(last);
  if (unit.Classes > 1) summary.Partial = {unit.Unit, unit.Classes - 1};
}
