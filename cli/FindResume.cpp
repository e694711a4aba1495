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

}  // namespace

std::string FinishedUnitsFields(const FinderSummary& summary) {
  char plan[17];
  std::snprintf(plan, sizeof plan, "%016llx", static_cast<unsigned long long>(summary.Plan));
  std::string text = ", \"plan\": \"";
  text.append(plan);
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
  return text;
}

bool ReadFinishedUnits(const std::string& path, uint64_t& plan, std::vector<FinishedUnit>& units, PartialUnit& partial,
                       std::string& error) {
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
  plan = 0;
  int digits = 0;
  for (; at < text.size() && digits < 16; ++at, ++digits) {
    const char c = text[at];
    const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (v < 0) break;
    plan = plan << 4 | static_cast<uint64_t>(v);
  }
  const std::string kFinished = "\"finished\": [";
  const size_t list = text.find(kFinished, at);
  if (digits != 16 || list == std::string::npos || text.find('\n', at) < list) {
    error = bad;
    return false;
  }
  at = list + kFinished.size();
  units.clear();
  partial = PartialUnit{};
  // After the list, on the same line, the unit the run was handing out.
  const auto read_partial = [&]() {
    const std::string kPartial = ", \"partial\": [";
    if (text.compare(at, kPartial.size(), kPartial) != 0) return true;
    at += kPartial.size();
    BigCount unit = 0, classes = 0;
    if (!ReadDecimal(text, at, unit) || !Expect(text, at, ',') || !ReadDecimal(text, at, classes) ||
        !Expect(text, at, ']') || unit > static_cast<BigCount>(INT64_MAX) || classes > static_cast<BigCount>(INT64_MAX)) {
      error = "\"" + path + "\": the partial unit is not [unit, classes] near byte " + std::to_string(at);
      return false;
    }
    partial = {static_cast<int64_t>(unit), static_cast<int64_t>(classes)};
    return true;
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
