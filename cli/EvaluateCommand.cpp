// velmora-cli evaluate: reads EQA files, evaluates each under the settings
// and prints one JSON object per file, with the property counts in the order
// the window's display shows them.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "cli/InputFiles.h"
#include "cli/FileArguments.h"
#include "model/EQAlgebra.h"
#include "model/Formatting.h"
#include "model/Settings.h"
#include "cli/StandardOutput.h"

namespace {

// One output line for one file; false when the file could not be read.
bool EvaluateFile(const std::string& path, std::string& line) {
  auto algebra = std::make_unique<TEQAlgebra>();
  std::string error;
  if (!ReadAlgebraInput(path, *algebra, error)) {
    line = "{\"file\": " + JsonString(path) + ", \"error\": " + JsonString(error) + "}";
    return false;
  }
  const double fitness = algebra->Evaluate();
  line = "{\"file\": " + JsonString(path) + ", \"size\": " + std::to_string(algebra->Size) +
         ", \"fitness\": " + ShortestDouble(fitness) + ", \"properties\": " + DisplayedCountsJson(*algebra);
  line += ", \"canonical\": " + JsonString(algebra->BuildCanonicalText()) + "}";
  return true;
}

}  // namespace

int RunEvaluate(int argc, char** argv) {
  FileArguments arguments;
  if (const int exit = ParseFileArguments("evaluate", argc, argv, arguments); exit >= 0) return exit;
  FormValues values;
  std::string error;
  if (!LoadCliSettings(arguments.settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli evaluate: %s\n", error.c_str());
    return kExitUsage;
  }

  int status = kExitOk;
  std::string line;
  for (const std::string& path : arguments.files) {
    if (!EvaluateFile(path, line)) status = kExitInputFailed;
    line += '\n';
    // With nowhere to put the results, reading the other files is pointless.
    if (!WriteToStandardOutput(line)) return kExitInputFailed;
  }
  return status;
}
