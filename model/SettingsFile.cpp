// The settings file: one table of keys with their sections, defaults and
// ranges, read in the window's reading order and written in its writing
// order. Reading replays what the window's handlers do when a control
// changes: values are clamped to the control's range, a new element count
// clamps both colourfulness values, and a box switched on clears its partner.

#include "model/SettingsFile.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <thread>

namespace {

constexpr const char kAlgebra[] = "Algebra properties";
constexpr const char kGa[] = "GA properties";
constexpr const char kLog[] = "Log";
constexpr const char kLogProperties[] = "Log properties";

constexpr SettingsKey Integer(Control c, const char* section, const char* key, int32_t def, int32_t lo,
                              int32_t hi) {
  return {c, section, key, ValueKind::Integer, def, lo, hi};
}
constexpr SettingsKey Boolean(Control c, const char* section, const char* key, bool def) {
  return {c, section, key, ValueKind::Boolean, def ? 1 : 0, 0, 1};
}
constexpr SettingsKey Text(Control c, const char* section, const char* key) {
  return {c, section, key, ValueKind::Text, 0, 0, 0};
}

// Colourfulness is bounded by the element count; the table holds the widest range.
constexpr SettingsKey kElementsNumber = Integer(Control::ElementsNumber, kAlgebra, "Elements number", 5, 2, 28);
constexpr SettingsKey kOptionalWeight = Integer(Control::OptionalWeight, kAlgebra, "Optional weight", 10, 0, 100);
constexpr SettingsKey kColorfulness = Integer(Control::Colorfulness, kAlgebra, "Colorfulness", 0, 0, 28);
constexpr SettingsKey kColorfulnessProd =
    Integer(Control::ColorfulnessProd, kAlgebra, "Colorfulness(*)", 0, 0, 28);
constexpr SettingsKey kPopulationLimit =
    Integer(Control::PopulationLimit, kGa, "Population limit", 180, 10, 10000);
constexpr SettingsKey kStepsLimit = Integer(Control::StepsLimit, kGa, "Steps limit", 100, 10, 10000);
constexpr SettingsKey kMutationRate = Integer(Control::MutationRate, kGa, "Mutation rate", 10, 0, 100);
constexpr SettingsKey kCrossoverRate = Integer(Control::CrossoverRate, kGa, "Crossover rate", 90, 0, 100);
constexpr SettingsKey kWinnersLimit = Integer(Control::WinnersLimit, kGa, "Winners limit", 100, 10, 10000);
constexpr SettingsKey kChildRatio = Integer(Control::ChildRatio, kGa, "Child ratio", 95, 0, 100);
constexpr SettingsKey kRemoveEqual = Boolean(Control::RemoveEqual, kGa, "Remove equal", true);
constexpr SettingsKey kThreads = Integer(Control::Threads, kGa, "Threads", 0, 1, kMostThreads);
constexpr SettingsKey kQuickDirPath = Text(Control::QuickDirPath, kLog, "QuickDirPath");
constexpr SettingsKey kDumpProperties = Boolean(Control::DumpProperties, kLog, "DumpProperties", true);
constexpr SettingsKey kDelta = Boolean(Control::Delta, kAlgebra, "Delta", false);
constexpr SettingsKey kMax = Boolean(Control::Max, kAlgebra, "Max", false);
constexpr SettingsKey kGoodness = Boolean(Control::Goodness, kAlgebra, "Goodness", false);
constexpr SettingsKey kInvolutive = Boolean(Control::Involutive, kAlgebra, "Involutive", false);
constexpr SettingsKey kSemiseparated = Boolean(Control::Semiseparated, kAlgebra, "Semiseparated", false);
constexpr SettingsKey kSeparated = Boolean(Control::Separated, kAlgebra, "Separated", false);
constexpr SettingsKey kResiduated = Boolean(Control::Residuated, kAlgebra, "Residuated", false);
constexpr SettingsKey kCommutative = Boolean(Control::Commutative, kAlgebra, "Commutative", false);
constexpr SettingsKey kNonLattice = Boolean(Control::NonLattice, kAlgebra, "Non-Lattice", false);
constexpr SettingsKey kNonResiduated = Boolean(Control::NonResiduated, kAlgebra, "Non-Residuated", false);
constexpr SettingsKey kNonCommutative = Boolean(Control::NonCommutative, kAlgebra, "Non-Commutative", false);
constexpr SettingsKey kNonGoodness = Boolean(Control::NonGoodness, kAlgebra, "Non-Goodness", false);
constexpr SettingsKey kNonInvolutive = Boolean(Control::NonInvolutive, kAlgebra, "Non-Involutive", false);
constexpr SettingsKey kNonSeparated = Boolean(Control::NonSeparated, kAlgebra, "Non-Separated", false);
constexpr SettingsKey kNonPrelinear = Boolean(Control::NonPrelinear, kAlgebra, "Non-Prelinear", false);
constexpr SettingsKey kNonSemiSeparated =
    Boolean(Control::NonSemiSeparated, kAlgebra, "Non-SemiSeparated", false);
constexpr SettingsKey kNonLinear = Boolean(Control::NonLinear, kAlgebra, "Non-Linear", false);
constexpr SettingsKey kLinear = Boolean(Control::Linear, kAlgebra, "Linear", false);
constexpr SettingsKey kLattice = Boolean(Control::Lattice, kAlgebra, "Lattice", false);
constexpr SettingsKey kPrelinear = Boolean(Control::Prelinear, kAlgebra, "Prelinear", false);
constexpr SettingsKey kSupProd =
    Boolean(Control::SupProdDistributivity, kAlgebra, "Sup-product distributivity", false);
constexpr SettingsKey kEqProd = Boolean(Control::EqualityOverEqProd, kAlgebra, "Equality over EqProd", false);
constexpr SettingsKey kAutoLoadWinners =
    Boolean(Control::AutoLoadWinners, kLogProperties, "AutoLoadWinners", true);
constexpr SettingsKey kLogDerived = Boolean(Control::LogDerived, kLogProperties, "Log derived", true);
// Holds the Dump Properties box, like "DumpProperties".
constexpr SettingsKey kLogPropertiesKey = Boolean(Control::LogProperties, kLogProperties, "Log properties", true);
constexpr SettingsKey kQuicksave = Boolean(Control::Quicksave, kLogProperties, "Quicksave", true);
constexpr SettingsKey kAutosave = Boolean(Control::Autosave, kLogProperties, "Autosave", true);
constexpr SettingsKey kTadaSound = Boolean(Control::TadaSound, kLogProperties, "Tada sound", true);
// Read and written last: files without it read as off.
constexpr SettingsKey kOnePerClass = Boolean(Control::OnePerClass, kGa, "One per class", false);

// The box a key's value lands in.
Control BoxOf(Control control) {
  return control == Control::LogProperties ? Control::DumpProperties : control;
}

bool ParseInt32(const std::string& text, int32_t& value) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
  int32_t parsed = 0;
  const auto result = std::from_chars(first, last, parsed);
  if (result.ec != std::errc() || result.ptr != last || first == last) return false;
  value = parsed;
  return true;
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return ".";
}

std::string TrimmedBlanks(const std::string& text) {
  size_t start = 0, end = text.size();
  while (start < end && static_cast<unsigned char>(text[start]) <= ' ') ++start;
  while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(start, end - start);
}

bool On(const FormValues& values, Control c) { return values.Get(c) != 0; }

}  // namespace

const std::array<SettingsKey, kSettingsKeyCount> kReadOrder = {
    kElementsNumber, kOptionalWeight, kColorfulness, kColorfulnessProd, kPopulationLimit, kStepsLimit,
    kMutationRate, kCrossoverRate, kWinnersLimit, kChildRatio, kRemoveEqual, kQuickDirPath,
    kDumpProperties, kDelta, kMax, kGoodness, kInvolutive, kSemiseparated, kSeparated, kResiduated,
    kCommutative, kNonLattice, kNonResiduated, kNonCommutative, kNonGoodness, kNonInvolutive,
    kNonSeparated, kNonPrelinear, kNonSemiSeparated, kNonLinear, kLinear, kLattice, kPrelinear,
    kSupProd, kEqProd, kAutoLoadWinners, kLogDerived, kLogPropertiesKey, kQuicksave, kAutosave,
    kTadaSound, kOnePerClass, kThreads,
};

const std::array<SettingsKey, kSettingsKeyCount> kWriteOrder = {
    kElementsNumber, kOptionalWeight, kColorfulness, kColorfulnessProd,
    kPopulationLimit, kStepsLimit, kMutationRate, kCrossoverRate, kWinnersLimit, kChildRatio, kRemoveEqual,
    kThreads,
    kDumpProperties,
    kDelta, kMax, kGoodness, kInvolutive, kSemiseparated, kSeparated, kResiduated, kCommutative,
    kNonLattice, kNonResiduated, kNonCommutative, kNonGoodness, kNonInvolutive, kNonSeparated,
    kNonPrelinear, kNonSemiSeparated, kNonLinear, kLinear, kLattice, kPrelinear, kSupProd, kEqProd,
    kAutoLoadWinners, kLogDerived, kLogPropertiesKey, kQuicksave, kAutosave, kTadaSound,
    kQuickDirPath, kOnePerClass,
};

Control PartnerOf(Control control) {
  switch (control) {
    case Control::Goodness: return Control::NonGoodness;
    case Control::NonGoodness: return Control::Goodness;
    case Control::Involutive: return Control::NonInvolutive;
    case Control::NonInvolutive: return Control::Involutive;
    case Control::Semiseparated: return Control::NonSemiSeparated;
    case Control::NonSemiSeparated: return Control::Semiseparated;
    case Control::Separated: return Control::NonSeparated;
    case Control::NonSeparated: return Control::Separated;
    case Control::Residuated: return Control::NonResiduated;
    case Control::NonResiduated: return Control::Residuated;
    case Control::Commutative: return Control::NonCommutative;
    case Control::NonCommutative: return Control::Commutative;
    case Control::Linear: return Control::NonLinear;
    case Control::NonLinear: return Control::Linear;
    case Control::Lattice: return Control::NonLattice;
    case Control::NonLattice: return Control::Lattice;
    case Control::Prelinear: return Control::NonPrelinear;
    case Control::NonPrelinear: return Control::Prelinear;
    default: return control;
  }
}

int32_t EveryCore() {
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int32_t>(std::clamp<unsigned>(cores, 1, kMostThreads));
}

int32_t DefaultValueOf(const SettingsKey& key) {
  return key.control == Control::Threads ? EveryCore() : key.default_value;
}

std::string DefaultQuickDirText() { return HomeDirectory() + "/Velmora/EQ"; }

FormValues DefaultFormValues() {
  FormValues values;
  for (const SettingsKey& key : kReadOrder) {
    if (key.kind != ValueKind::Text) values.Set(key.control, DefaultValueOf(key));
  }
  values.quick_dir_path = DefaultQuickDirText();
  return values;
}

int32_t ReadIntegerKey(const IniFile& ini, const SettingsKey& key) {
  const std::optional<std::string> text = ini.Value(key.section, key.key);
  int32_t value = 0;
  if (!text || !ParseInt32(*text, value)) return DefaultValueOf(key);
  return value;
}

std::string ReadTextKey(const IniFile& ini, const SettingsKey& key) {
  const std::optional<std::string> text = ini.Value(key.section, key.key);
  return text ? *text : DefaultQuickDirText() + "/";
}

void LoadFormValues(const IniFile& ini, FormValues& values) {
  for (const SettingsKey& key : kReadOrder) {
    if (key.kind == ValueKind::Text) {
      values.quick_dir_path = ReadTextKey(ini, key);
      continue;
    }
    int32_t value = ReadIntegerKey(ini, key);
    if (key.kind == ValueKind::Boolean) {
      value = value != 0 ? 1 : 0;
    } else {
      int32_t maximum = key.maximum;
      if (key.control == Control::Colorfulness || key.control == Control::ColorfulnessProd) {
        maximum = values.Get(Control::ElementsNumber);
      }
      value = std::clamp(value, key.minimum, maximum);
    }
    const Control box = BoxOf(key.control);
    if (value == values.Get(box)) continue;  // an unchanged control runs no handler
    values.Set(box, value);
    if (box == Control::ElementsNumber) {
      for (Control c : {Control::Colorfulness, Control::ColorfulnessProd}) {
        values.Set(c, std::min(values.Get(c), value));
      }
    }
    const Control partner = PartnerOf(box);
    if (partner != box && value != 0 && On(values, partner)) values.Set(partner, 0);
  }
  values.Set(Control::LogProperties, values.Get(Control::DumpProperties));
}

void SaveFormValues(const FormValues& values, IniFile& ini) {
  for (const SettingsKey& key : kWriteOrder) {
    if (key.kind == ValueKind::Text) {
      ini.Set(key.section, key.key, values.quick_dir_path);
    } else if (key.kind == ValueKind::Boolean) {
      ini.Set(key.section, key.key, On(values, BoxOf(key.control)) ? "1" : "0");
    } else {
      ini.Set(key.section, key.key, std::to_string(values.Get(key.control)));
    }
  }
}

void ApplyFormValues(const FormValues& values, SearchSettings& settings) {
  const auto ranged = [&values](const SettingsKey& key) {
    return std::clamp(values.Get(key.control), key.minimum, key.maximum);
  };
  settings.ElementCount = ranged(kElementsNumber);
  settings.OptionalWeight = PercentToFraction(ranged(kOptionalWeight));
  settings.ColorfulnessFEq = std::clamp(values.Get(Control::Colorfulness), 0, settings.ElementCount);
  settings.ColorfulnessProd = std::clamp(values.Get(Control::ColorfulnessProd), 0, settings.ElementCount);
  settings.PopulationLimit = ranged(kPopulationLimit);
  settings.MutationRate = PercentToFraction(ranged(kMutationRate));
  settings.CrossoverRate = PercentToFraction(ranged(kCrossoverRate));
  settings.ChildRatio = PercentToFraction(ranged(kChildRatio));
  settings.RemoveEqualMembers = On(values, Control::RemoveEqual);
  settings.OnePerClass = On(values, Control::OnePerClass);
  settings.Threads = ranged(kThreads);
  settings.ShowDerived = On(values, Control::LogDerived);
  settings.DeltaEnabled = On(values, Control::Delta);
  settings.MaximumEnabled = On(values, Control::Max);
  settings.UpdateGeneCount();
  settings.WantGoodness = On(values, Control::Goodness);
  settings.WantNonGoodness = On(values, Control::NonGoodness);
  settings.WantInvolutive = On(values, Control::Involutive);
  settings.WantNonInvolutive = On(values, Control::NonInvolutive);
  settings.WantSemiSeparated = On(values, Control::Semiseparated);
  settings.WantNonSemiSeparated = On(values, Control::NonSemiSeparated);
  settings.WantSeparated = On(values, Control::Separated);
  settings.WantNonSeparated = On(values, Control::NonSeparated);
  settings.WantResiduated = On(values, Control::Residuated);
  settings.WantNonResiduated = On(values, Control::NonResiduated);
  settings.WantCommutative = On(values, Control::Commutative);
  settings.WantNonCommutative = On(values, Control::NonCommutative);
  settings.WantLinear = On(values, Control::Linear);
  settings.WantNonLinear = On(values, Control::NonLinear);
  settings.WantLattice = On(values, Control::Lattice);
  settings.WantNonLattice = On(values, Control::NonLattice);
  settings.WantPrelinear = On(values, Control::Prelinear);
  settings.WantNonPrelinear = On(values, Control::NonPrelinear);
  settings.WantSupProdDistributivity = On(values, Control::SupProdDistributivity);
  settings.WantEqualityOverEqProd = On(values, Control::EqualityOverEqProd);
  std::string dir = TrimmedBlanks(values.quick_dir_path);
  if (!dir.empty() && dir.back() != '/') dir += '/';
  settings.QuickDir = dir;
}

std::string SettingsFilePath(const std::string& executable_directory) {
  std::string beside = executable_directory;
  if (!beside.empty() && beside.back() != '/') beside += '/';
  const std::string candidate = beside + "Velmora.ini";
  if (access(candidate.c_str(), F_OK) == 0) return candidate;
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else {
    config = HomeDirectory() + "/.config";
  }
  return config + "/Velmora/Velmora.ini";
}
