#pragma once
// The settings file "Velmora.ini": its keys, defaults and ranges, the order in
// which they are read and written, and how the read values reach the search
// settings. The window and the command-line tool both use this one table.

#include <array>
#include <cstdint>
#include <string>

#include "model/IniFile.h"
#include "model/Settings.h"

// One persistent control of the main window.
enum class Control : int {
  ElementsNumber, OptionalWeight, Colorfulness, ColorfulnessProd,
  PopulationLimit, StepsLimit, MutationRate, CrossoverRate, WinnersLimit, ChildRatio,
  RemoveEqual, QuickDirPath, DumpProperties, Delta, Max,
  Goodness, Involutive, Semiseparated, Separated, Residuated, Commutative,
  NonLattice, NonResiduated, NonCommutative, NonGoodness, NonInvolutive, NonSeparated,
  NonPrelinear, NonSemiSeparated, NonLinear, Linear, Lattice, Prelinear,
  SupProdDistributivity, EqualityOverEqProd,
  AutoLoadWinners, LogDerived, LogProperties, Quicksave, Autosave, TadaSound,
  OnePerClass, Threads,
};
inline constexpr int kControlCount = static_cast<int>(Control::Threads) + 1;
inline constexpr int kSettingsKeyCount = 43;

// The number of cores the system reports (at least 1): the default of "Threads".
int32_t EveryCore();

enum class ValueKind { Integer, Boolean, Text };

struct SettingsKey {
  Control control;
  const char* section;
  const char* key;
  ValueKind kind;
  int32_t default_value;  // Booleans 0 or 1; unused for text; 0 for "Threads": every core
  int32_t minimum;        // the control's range (colourfulness: up to the element count)
  int32_t maximum;
};

// Every key in the order in which the window reads them.
extern const std::array<SettingsKey, kSettingsKeyCount> kReadOrder;
// Every key in the order in which they are written ("DumpProperties" and
// "Log properties" both hold the Dump Properties box).
extern const std::array<SettingsKey, kSettingsKeyCount> kWriteOrder;

// Keys the window keeps beside the search's, in a section of their own: they
// set no search value, so they are outside the controls' table.
struct WindowKey {
  const char* section;
  const char* key;
  ValueKind kind;
  int32_t default_value;
  int32_t minimum;
  int32_t maximum;
};
inline constexpr std::array<WindowKey, 2> kWindowKeys = {{
    {"Find", "Keep at most", ValueKind::Integer, 1000, 1, 1000000},
    {"Find", "First only", ValueKind::Boolean, 0, 0, 1},
}};

// The partner box of a mutually exclusive pair, or the control itself.
Control PartnerOf(Control control);

// The values of the persistent controls.
struct FormValues {
  std::array<int32_t, kControlCount> values{};
  std::string quick_dir_path;  // the edit's text, unchanged

  int32_t Get(Control c) const { return values[static_cast<int>(c)]; }
  void Set(Control c, int32_t v) { values[static_cast<int>(c)] = v; }
};

// The controls' defaults (the quick-save text without its trailing separator).
FormValues DefaultFormValues();

// The default quick-save directory: "Velmora/EQ" in the user's home directory.
std::string DefaultQuickDirText();

// A key's default value.
int32_t DefaultValueOf(const SettingsKey& key);
// The integer a key reads as: missing or not an integer gives the default;
// the result is not clamped.
int32_t ReadIntegerKey(const IniFile& ini, const SettingsKey& key);
// The text a text key reads as (the default quick-save path with its separator when missing).
std::string ReadTextKey(const IniFile& ini, const SettingsKey& key);

// Reads every key in order as the window does: values clamped to the
// controls' ranges, colourfulness to the element count read so far, and a box
// that is switched on clearing its partner.
void LoadFormValues(const IniFile& ini, FormValues& values);
// Writes every key in the write order: percentages as integers, Booleans as 1 and 0.
void SaveFormValues(const FormValues& values, IniFile& ini);
// Copies the values into the settings block as the window's handlers do
// (percentages divided by 100, GeneCount derived, QuickDir trimmed and ending in '/').
void ApplyFormValues(const FormValues& values, SearchSettings& settings);

// Where "Velmora.ini" lives: beside the executable when one is already there
// (a portable copy, the build tree), otherwise in the user's configuration
// directory ($XDG_CONFIG_HOME or ~/.config, then Velmora/).
std::string SettingsFilePath(const std::string& executable_directory);
