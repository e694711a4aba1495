#pragma once
// Settings for a command: the controls' defaults, or an INI file in the
// window's format read as the window reads it, then copied into the
// process-wide settings block as the window's handlers copy them.

#include <string>

#include "SettingsFile.h"

// Loads `ini_path` (the defaults when empty) into `values` and applies them to
// Settings. A missing or unreadable file leaves both unchanged and returns
// false with a message.
bool LoadCliSettings(const std::string& ini_path, FormValues& values, std::string& error);
