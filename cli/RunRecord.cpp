#include "cli/RunRecord.h"

#include "model/Settings.h"
#include "model/SettingsCheck.h"
#include "VelmoraVersion.h"

namespace {

std::string PartSuffix(int part_index, int part_count) {
  return "_p" + std::to_string(part_index + 1) + "of" + std::to_string(part_count);
}

}  // namespace

std::string ProvenanceMembers(const FormValues& values) {
  SearchSettings settings;
  ApplyFormValues(values, settings);
  return std::string("\"velmora\": \"") + kVelmoraVersion + "\", \"elements\": " +
         std::to_string(settings.ElementCount) + ", \"settings\": " + ChangedSettingsJson(values);
}

std::string ClassFileStem(int part_index, int part_count) {
  return part_count > 1 ? "class" + PartSuffix(part_index, part_count) : "class";
}

std::string RunRecordName(int part_index, int part_count) {
  return (part_count > 1 ? "find" + PartSuffix(part_index, part_count) : std::string("find")) + ".jsonl";
}
