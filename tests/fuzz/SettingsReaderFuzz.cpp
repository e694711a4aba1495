// libFuzzer target: the settings reader on any bytes, as the window and the
// tool read it (INI text, the keys in reading order, the settings block).
// What was read must survive being written and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/IniFile.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniFile ini;
  ini.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
  FormValues values = DefaultFormValues();
  LoadFormValues(ini, values);
  Settings = SearchSettings{};
  ApplyFormValues(values, Settings);

  IniFile written;
  SaveFormValues(values, written);
  IniFile reread;
  reread.LoadText(written.Text());
  FormValues again = DefaultFormValues();
  LoadFormValues(reread, again);
  if (again.values != values.values || again.quick_dir_path != values.quick_dir_path) __builtin_trap();
  return 0;
}
