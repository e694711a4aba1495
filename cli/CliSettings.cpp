#include "CliSettings.h"

#include "IniFile.h"
#include "Settings.h"

bool LoadCliSettings(const std::string& ini_path, FormValues& values, std::string& error) {
  FormValues loaded = DefaultFormValues();
  if (!ini_path.empty()) {
    IniFile ini;
    if (!ini.Load(ini_path, &error)) return false;
    if (!ini.Exists()) {
      error = "Settings file not found: " + ini_path;
      return false;
    }
    LoadFormValues(ini, loaded);
  }
  values = loaded;
  ApplyFormValues(values, Settings);
  return true;
}
