#include "FileArguments.h"

#include <cstdio>
#include <cstring>

#include "Commands.h"

namespace {

void PrintUsage(std::FILE* to, const char* command) {
  std::fprintf(to, "Usage: velmora-cli %s [--settings FILE.ini] FILE.eqa...\n", command);
}

}  // namespace

int ParseFileArguments(const char* command, int argc, char** argv, FileArguments& arguments) {
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!options_done && std::strcmp(arg, "--") == 0) {
      options_done = true;
    } else if (!options_done && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
      std::fputs(UsageText(), stdout);
      return kExitOk;
    } else if (!options_done && std::strcmp(arg, "--settings") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "velmora-cli %s: --settings needs a file name\n", command);
        PrintUsage(stderr, command);
        return kExitUsage;
      }
      arguments.settings_path = argv[++i];
    } else if (!options_done && arg[0] == '-' && arg[1] != '\0') {
      std::fprintf(stderr, "velmora-cli %s: unknown option \"%s\"\n", command, arg);
      PrintUsage(stderr, command);
      return kExitUsage;
    } else {
      arguments.files.emplace_back(arg);
    }
  }
  if (arguments.files.empty()) {
    std::fprintf(stderr, "velmora-cli %s: no EQA file given\n", command);
    PrintUsage(stderr, command);
    return kExitUsage;
  }
  return -1;
}
