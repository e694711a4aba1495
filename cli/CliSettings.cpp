#include "cli/CliSettings.h"

#include <cstdio>

#include "model/IniFile.h"
#include "model/RegularFile.h"
#include "model/Settings.h"
#include "model/SettingsCheck.h"

namespace {

bool strict_settings = false;
FormValues loaded_settings = DefaultFormValues();

}  // namespace

void SetStrictSettings(bool strict) { strict_settings = strict; }

const FormValues& LoadedSettings() { return loaded_settings; }

bool LoadCliSettings(const std::string& ini_path, FormValues& values, std::string& error) {
  FormValues loaded = DefaultFormValues();
  if (!ini_path.empty()) {
    std::string text, reason;
    const ReadStatus status = ReadRegularFile(ini_path, IniFile::kMaxFileBytes, text, reason);
    if (status == ReadStatus::kMissing) {
      error = "Settings file not found: " + ini_path;
      return false;
    }
    if (status == ReadStatus::kFailed) {
      error = "Error reading file: " + ini_path + ": " + reason;
      return false;
    }
    const std::vector<SettingsWarning> warnings = CheckSettingsText(text, ini_path);
    for (const SettingsWarning& warning : warnings) {
      std::fprintf(stderr, "velmora-cli: %s%s\n", strict_settings ? "error: " : "", warning.message.c_str());
    }
    if (strict_settings && !warnings.empty()) {
      error = ini_path + ": " + std::to_string(warnings.size()) + " line(s) the settings reading would ignore (--strict)";
      return false;
    }
    IniFile ini;
    ini.LoadText(text);
    LoadFormValues(ini, loaded);
  }
  values = loaded;
  loaded_settings = loaded;
  ApplyFormValues(values, Settings);
  return true;
}
