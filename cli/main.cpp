// velmora-cli: the headless driver over the core.

#include <cstdio>
#include <cstring>
#include <string>

#include "Commands.h"
#include "StandardOutput.h"
#include "VelmoraVersion.h"

const char* UsageText() {
  return "Usage:\n"
         "  velmora-cli evaluate [--settings FILE.ini] FILE.eqa...\n"
         "  velmora-cli search [--settings FILE.ini] [--seed S] [--steps N] [--out DIR] [--threads T]\n"
         "  velmora-cli export --format latex|ladr|uacalc|json [--theory] [--settings FILE.ini]\n"
         "                     FILE.eqa... [--out DIR]\n"
         "  velmora-cli import --format ladr|uacalc [--names meet=...,prod=...,eq=...,delta=...]\n"
         "                     FILE --out DIR\n"
         "  velmora-cli classes [--settings FILE.ini] FILE.eqa...\n"
         "  velmora-cli find [--settings FILE.ini] [--first | --count] [--limit K] [--threads T]\n"
         "                   [--part K/N] [--resume FILE] [--out DIR]\n"
         "  velmora-cli --help\n"
         "  velmora-cli --version\n"
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
         "          canonical texts of the winners and their class ids\n"
         "          ({\"winners\": [TEXT, ...], \"classes\": [ID, ...]}); with --out, writes\n"
         "          each winner as DIR/winner_NNNN.eqa and DIR/winner_NNNN.eqp. The members of\n"
         "          each generation are evaluated on T threads (default: every core); the\n"
         "          output is the same for every T.\n"
         "export    Reads each EQA file, evaluates it as the window shows it (the maximum read\n"
         "          off the order while Max is on) and writes it in a format of another tool,\n"
         "          with the operations in play under the settings (^ * ~, d with Delta, m\n"
         "          with Max): DIR/NAME.tex, .ladr, .ua or .json for FILE NAME.eqa, or all to\n"
         "          standard output without --out.\n"
         "            latex   a LaTeX document, one tabular per operation (-> too with\n"
         "                    \"Show Derived\"); needs booktabs\n"
         "            ladr    an interpretation(...) term for model finders: 0 is the bottom,\n"
         "                    1 the top, 2, 3, ... the elements a, b, ...; with --theory\n"
         "                    instead a model finder's input (NAME.in): the twelve axioms,\n"
         "                    the required and forbidden properties and every cell as a fact\n"
         "            uacalc  a UACalc .ua file, elements numbered in list order (0 is \"0\",\n"
         "                    n-1 is \"1\")\n"
         "            json    {\"size\", \"elements\", \"operations\" (cells as element names),\n"
         "                    \"fitness\", \"properties\": {NAME: [PASSED, TOTAL]}, \"class\": ID}\n"
         "import    Reads every model of FILE (a model finder's interpretation(...) terms, raw\n"
         "          or filtered; or a UACalc .ua file) and writes each as DIR/NAME_NNNN.eqa\n"
         "          (NNNN counts the models from 0001). The top (the unit of meet) becomes\n"
         "          \"1\", the bottom \"0\". --names gives the file's names of the operations\n"
         "          (default meet, prod, eq, d, join; delta and join are optional). A model\n"
         "          that does not fit (a missing operation, eq not symmetric, more than 28\n"
         "          elements, ...) is named with its fault on standard error; the others\n"
         "          are still written.\n"
         "classes   Reads each EQA file and prints its isomorphism class over the\n"
         "          operations in play (^, *, ~, and d with Delta) and the order of its\n"
         "          automorphism group, one JSON object per file and line:\n"
         "          {\"file\": PATH, \"class\": ID, \"automorphisms\": A}\n"
         "          (a file that cannot be read gives {\"file\": PATH, \"error\": MESSAGE}),\n"
         "          then {\"files\": F, \"classes\": C}: the files read and the distinct\n"
         "          classes among them.\n"
         "find      Finds every winner under the settings (fitness exactly 1), one per\n"
         "          isomorphism class, and prints one JSON object per class and line:\n"
         "          {\"class\": I, \"canonical\": TEXT, \"automorphisms\": A, \"labelled\": L}\n"
         "          (L = (n-2)!/A distinct labelled winners), then a summary\n"
         "          {\"classes\": C, \"labelled\": L, \"complete\": true|false, \"seconds\": S}.\n"
         "          complete is true when every class has been reported (0 classes: none\n"
         "          exists). --first stops at the first winner, --count prints the summary\n"
         "          only, --limit K stops after K classes, --threads T uses T worker threads\n"
         "          (default: every core), --part K/N does the K-th of N disjoint parts of\n"
         "          the work (their classes together are the whole result). With --out,\n"
         "          writes each class as DIR/class_NNNN.eqa and DIR/class_NNNN.eqp.\n"
         "          Ctrl-C ends the run with the summary (complete false) and status 130.\n"
         "          A run stopped by Ctrl-C or SIGTERM adds \"plan\", \"units\" and the units it\n"
         "          \"finished\" ([unit, classes, labelled]) to its summary; --resume FILE (that\n"
         "          output) runs the same part again without them, adding their counts.\n"
         "\n"
         "--settings FILE.ini  reads the settings from an INI file in the window's format\n"
         "                     (missing keys keep their defaults); without it the defaults apply.\n"
         "\n"
         "Exit status:\n"
         "  0  success\n"
         "  1  some input failed (an EQA file that cannot be read, an output that cannot be written,\n"
         "     a model that was rejected)\n"
         "  2  usage error (unknown command or option, missing argument, unreadable settings file)\n"
         "  130  find was interrupted (Ctrl-C); the summary of what was found is printed\n";
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
  std::fprintf(stderr, "velmora-cli: unknown command \"%s\"\n\n%s", command, UsageText());
  return kExitUsage;
}
