// velmora-cli classes: reads EQA files and prints the isomorphism class of
// each (over the operations in play under the settings), then how many
// distinct classes the files hold.

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>

#include "classes/AlgebraClass.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "cli/InputFiles.h"
#include "cli/StandardOutput.h"
#include "model/EQAlgebra.h"
#include "cli/FileArguments.h"
#include "model/Formatting.h"

int RunClasses(int argc, char** argv) {
  FileArguments arguments;
  if (const int exit = ParseFileArguments("classes", argc, argv, arguments); exit >= 0) return exit;
  FormValues values;
  std::string error;
  if (!LoadCliSettings(arguments.settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli classes: %s\n", error.c_str());
    return kExitUsage;
  }

  int status = kExitOk;
  int64_t read = 0;
  std::unordered_set<std::string> keys;
  for (const std::string& path : arguments.files) {
    auto algebra = std::make_unique<TEQAlgebra>();
    std::string line = "{\"file\": " + JsonString(path);
    if (ReadAlgebraInput(path, *algebra, error)) {
      const AlgebraClass algebra_class = ClassifyAlgebra(*algebra);
      keys.insert(algebra_class.Key);
      ++read;
      line += ", \"class\": " + JsonString(algebra_class.Id) +
              ", \"automorphisms\": " + FormatBigCount(algebra_class.Automorphisms) + "}\n";
    } else {
      status = kExitInputFailed;
      line += ", \"error\": " + JsonString(error) + "}\n";
    }
    if (!WriteToStandardOutput(line)) return kExitInputFailed;
  }
  const std::string summary =
      "{\"files\": " + std::to_string(read) + ", \"classes\": " + std::to_string(keys.size()) + "}\n";
  if (!WriteToStandardOutput(summary)) return kExitInputFailed;
  return status;
}
