// velmora-cli: the headless driver over the core.

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/StandardOutput.h"
#include "VelmoraVersion.h"

const char* UsageText() {
  static const std::string text = FullHelp();
  return text.c_str();
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(UsageText(), stderr);
    return kExitUsage;
  }
  const char* command = argv[1];
  if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 ||
      std::strcmp(command, "help") == 0) {
    return WriteToStandardOutput(UsageText()) ? kExitOk : kExitInputFailed;
  }
  if (std::strcmp(command, "--version") == 0) {
    const std::string line = std::string("velmora-cli ") + kVelmoraVersion + " (built " + kVelmoraBuildDate + ")\n";
    return WriteToStandardOutput(line) ? kExitOk : kExitInputFailed;
  }
  if (std::strcmp(command, "export") == 0) return RunExport(argc - 1, argv + 1);
  if (std::strcmp(command, "import") == 0) return RunImport(argc - 1, argv + 1);
  if (std::strcmp(command, "evaluate") == 0) return RunEvaluate(argc - 1, argv + 1);
  if (std::strcmp(command, "search") == 0) return RunSearch(argc - 1, argv + 1);
  if (std::strcmp(command, "classes") == 0) return RunClasses(argc - 1, argv + 1);
  if (std::strcmp(command, "find") == 0) return RunFind(argc - 1, argv + 1);
  if (std::strcmp(command, "merge") == 0) return RunMerge(argc - 1, argv + 1);
  std::fprintf(stderr, "velmora-cli: unknown command \"%s\"\n\n%s", command, UsageText());
  return kExitUsage;
}
