// velmora-cli evaluate: reads EQA files, evaluates each under the settings
// and prints one JSON object per file, with the property counts in the order
// the window's display shows them.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CliSettings.h"
#include "Commands.h"
#include "EQAlgebra.h"
#include "Formatting.h"
#include "Settings.h"
#include "StandardOutput.h"

namespace {

// The slots of the checks the display runs, in its order; the maximum and
// delta ones only while their operation is in play.
std::vector<int> DisplayedSlots() {
  std::vector<int> slots;
  for (int slot = kAssociativeInfimumSlot; slot <= kBoundednessSlot; ++slot) slots.push_back(slot);
  slots.insert(slots.end(), {kColourfulnessSlot, kColourfulnessProductSlot, kGoodnessSlot, kInvolutiveSlot,
                             kSemiseparatedSlot, kSeparatedSlot, kResiduatedSlot, kCommutativeSlot, kLinearSlot});
  if (Settings.MaximumEnabled) {
    slots.insert(slots.end(), {kLatticeSlot, kPrelinearSlot, kSupProductDistributivitySlot});
  }
  slots.push_back(kEqualityOverProdEqualitySlot);
  if (Settings.DeltaEnabled) slots.push_back(kDeltaPropertiesSlot);
  return slots;
}

// One output line for one file; false when the file could not be read.
bool EvaluateFile(const std::string& path, std::string& line) {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->FileName = path;
  std::string error;
  if (!algebra->ReadEQA(&error)) {
    line = "{\"file\": " + JsonString(path) + ", \"error\": " + JsonString(error) + "}";
    return false;
  }
  const double fitness = algebra->Evaluate();
  line = "{\"file\": " + JsonString(path) + ", \"size\": " + std::to_string(algebra->Size) +
         ", \"fitness\": " + ShortestDouble(fitness) + ", \"properties\": {";
  bool first = true;
  for (const int slot : DisplayedSlots()) {
    int32_t passed = 0, total = 0;
    (algebra.get()->*CheckOfSlot(slot))(passed, total);
    if (!first) line += ", ";
    first = false;
    line += JsonString(algebra->PropertyNames[slot]) + ": [" + std::to_string(passed) + ", " +
            std::to_string(total) + "]";
  }
  line += "}, \"canonical\": " + JsonString(algebra->BuildCanonicalText()) + "}";
  return true;
}

void PrintEvaluateUsage(std::FILE* to) {
  std::fputs("Usage: velmora-cli evaluate [--settings FILE.ini] FILE.eqa...\n", to);
}

}  // namespace

int RunEvaluate(int argc, char** argv) {
  std::string settings_path;
  std::vector<std::string> files;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!options_done && std::strcmp(arg, "--") == 0) {
      options_done = true;
    } else if (!options_done && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
      return WriteToStandardOutput(UsageText()) ? kExitOk : kExitInputFailed;
    } else if (!options_done && std::strcmp(arg, "--settings") == 0) {
      if (i + 1 >= argc) {
        std::fputs("velmora-cli evaluate: --settings needs a file name\n", stderr);
        PrintEvaluateUsage(stderr);
        return kExitUsage;
      }
      settings_path = argv[++i];
    } else if (!options_done && arg[0] == '-' && arg[1] != '\0') {
      std::fprintf(stderr, "velmora-cli evaluate: unknown option \"%s\"\n", arg);
      PrintEvaluateUsage(stderr);
      return kExitUsage;
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.empty()) {
    std::fputs("velmora-cli evaluate: no EQA file given\n", stderr);
    PrintEvaluateUsage(stderr);
    return kExitUsage;
  }
  FormValues values;
  std::string error;
  if (!LoadCliSettings(settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli evaluate: %s\n", error.c_str());
    return kExitUsage;
  }

  int status = kExitOk;
  std::string line;
  for (const std::string& path : files) {
    if (!EvaluateFile(path, line)) status = kExitInputFailed;
    line += '\n';
    // With nowhere to put the results, reading the other files is pointless.
    if (!WriteToStandardOutput(line)) return kExitInputFailed;
  }
  return status;
}
