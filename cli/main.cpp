// velmora-cli: the headless driver over the core.

#include <cstdio>
#include <cstring>

#include "Commands.h"

const char* UsageText() {
  return "Usage:\n"
         "  velmora-cli evaluate [--settings FILE.ini] FILE.eqa...\n"
         "  velmora-cli search [--settings FILE.ini] [--seed S] [--steps N] [--out DIR] [--threads T]\n"
         "  velmora-cli --help\n"
         "\n"
         "evaluate  Reads each EQA file, evaluates it under the settings and prints one\n"
         "          JSON object per file and line:\n"
         "          {\"file\": PATH, \"size\": N, \"fitness\": F, \"properties\": {NAME: [PASSED, TOTAL], ...},\n"
         "           \"canonical\": TEXT}\n"
         "          A file that cannot be read gives {\"file\": PATH, \"error\": MESSAGE} and the\n"
         "          next file is read.\n"
         "search    Seeds the generator with S (default: taken from the clock), builds the\n"
         "          first population and runs N generation steps (default: the settings'\n"
         "          \"Steps limit\"; 0: no limit), stopping once the winners exceed the\n"
         "          \"Winners limit\". Prints one JSON object per generation, then the\n"
         "          canonical texts of the winners; with --out, writes each winner as\n"
         "          DIR/winner_NNNN.eqa and DIR/winner_NNNN.eqp. The members of each\n"
         "          generation are evaluated on T threads (default: every core); the output\n"
         "          is the same for every T.\n"
         "\n"
         "--settings FILE.ini  reads the settings from an INI file in the window's format\n"
         "                     (missing keys keep their defaults); without it the defaults apply.\n"
         "\n"
         "Exit status:\n"
         "  0  success\n"
         "  1  some input failed (an EQA file that cannot be read, an output that cannot be written)\n"
         "  2  usage error (unknown command or option, missing argument, unreadable settings file)\n";
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(UsageText(), stderr);
    return kExitUsage;
  }
  const char* command = argv[1];
  if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 ||
      std::strcmp(command, "help") == 0) {
    std::fputs(UsageText(), stdout);
    return kExitOk;
  }
  if (std::strcmp(command, "evaluate") == 0) return RunEvaluate(argc - 1, argv + 1);
  if (std::strcmp(command, "search") == 0) return RunSearch(argc - 1, argv + 1);
  std::fprintf(stderr, "velmora-cli: unknown command \"%s\"\n\n%s", command, UsageText());
  return kExitUsage;
}
