#pragma once
// Settings for a command: the controls' defaults, or an INI file in the
// window's format read as the window reads it, then copied into the
// process-wide settings block as the window's handlers copy them.

#include <string>

#include "model/SettingsFile.h"

// Whether a settings file's warnings (unknown sections and keys, values that
// are not integers) are errors: set by --strict.
void SetStrictSettings(bool strict);

// Loads `ini_path` (the defaults when empty) into `values` and applies them to
// Settings. Every line the reading ignores is told on standard error. A
// missing or unreadable file, or any warning under --strict, leaves both
// unchanged and returns false with a message.
bool LoadCliSettings(const std::string& ini_path, FormValues& values, std::string& error);

// The settings last loaded, for the record of how a result was made.
const FormValues& LoadedSettings();
