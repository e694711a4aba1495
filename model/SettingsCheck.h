#pragma once
// Checks a settings file's text against the program's key table, so that a
// misspelt key or a value that is not a number does not pass unnoticed: the
// reading itself ignores both (a missing key, or a value that is not an
// integer, gives the default), which changes the answer without a word.

#include <string>
#include <string_view>
#include <vector>

#include "model/SettingsFile.h"

// One line of the file that the reading ignores, told as
// "FILE:LINE: unknown key "Goodnes" in [Algebra properties] (ignored; did you
// mean "Goodness"?)".
struct SettingsWarning {
  int line = 0;
  std::string message;  // with the file name and line in front
};

// Every unknown section, unknown key and value that is not an integer where
// one is expected, in the order of the lines. `file_name` heads each message.
std::vector<SettingsWarning> CheckSettingsText(std::string_view text, const std::string& file_name);

// The key whose name is closest to `name` within a small edit distance, or
// nullptr when none is near (letter case is ignored, as in the reading).
const SettingsKey* NearestKey(std::string_view name);

// The keys whose value differs from the default, as a JSON object of
// sections: {"Algebra properties": {"Goodness": 1}}. The settings a result
// was made with, so that it can be made again.
std::string ChangedSettingsJson(const FormValues& values);
