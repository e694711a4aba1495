// The tool's options and commands: the one place their names, arguments,
// limits and help lines are written.

#include <cstdint>

#include "cli/CommandLine.h"
#include "model/Settings.h"

namespace {

constexpr int64_t kMost = INT64_MAX;

}  // namespace

const std::vector<OptionSpec>& OptionTable() {
  static const std::vector<OptionSpec> table = {
      {"--settings", "FILE.ini", false, 0, 0,
       "read the settings from an INI file (default: the defaults)"},
      {"--strict", nullptr, false, 0, 0, "treat the settings file's warnings as errors (exit status 2)"},
      {"--seed", "S", true, 0, UINT32_MAX, "seed of the random generator, %r (default: from the clock)"},
      {"--steps", "N", true, 0, kMost, "generation steps, %r (default: \"Steps limit\"; 0: no limit)"},
      {"--threads", "T", true, 1, kMostThreads, "worker threads, %r (default: every core)"},
      {"--format", "NAME", false, 0, 0, "the other tool's format (see above)"},
      {"--theory", nullptr, false, 0, 0, "with --format ladr: a model finder's input instead of the model"},
      {"--tables", nullptr, false, 0, 0, "with --format svg: the operation tables beside the diagram"},
      {"--names", "LIST", false, 0, 0,
       "the file's operation names, as meet=...,prod=...,eq=...,delta=...,join=..."},
      {"--first", nullptr, false, 0, 0, "stop at the first winner"},
      {"--count", nullptr, false, 0, 0, "print the summary only"},
      {"--limit", "K", true, 1, kMost, "stop after K classes, %r"},
      {"--part", "K/N", false, 0, 0, "do only the K-th of N disjoint parts of the work"},
      {"--timeout", "S", true, 1, kMost, "stop after S seconds, %r"},
      {"--resume", "FILE", false, 0, 0, "skip the units a cut-short run of the same part finished (its output FILE)"},
      {"--out", "DIR", false, 0, 0, "write the files into DIR (made when missing)"},
      {"--help", nullptr, false, 0, 0, "print this help and exit"},
  };
  return table;
}

const std::vector<CommandSpec>& CommandTable() {
  static const std::vector<CommandSpec> table = {
      {"evaluate", "FILE.eqa...", {"--settings", "--strict", "--help"},
       "Reads each EQA file (\"-\": standard input), evaluates it under the settings and\n"
       "prints one JSON object per file and line:\n"
       "  {\"file\": PATH, \"size\": N, \"fitness\": F, \"properties\": {NAME: [PASSED, TOTAL], ...},\n"
       "   \"canonical\": TEXT}\n"
       "A file that cannot be read gives {\"file\": PATH, \"error\": MESSAGE} and the next\n"
       "file is read."},
      {"search", "", {"--settings", "--strict", "--seed", "--steps", "--out", "--threads", "--help"},
       "Seeds the generator with S, builds the first population and runs N generation\n"
       "steps, stopping once the winners exceed the \"Winners limit\". Prints one JSON\n"
       "object per generation, then {\"winners\": [TEXT, ...], \"classes\": [ID, ...],\n"
       "\"complete\": true|false, \"seed\": S, \"steps\": N, \"velmora\": VERSION,\n"
       "\"elements\": N, \"settings\": {SECTION: {KEY: VALUE}}} (the settings that differ\n"
       "from the defaults); with --out, writes each winner as DIR/winner_NNNN.eqa and\n"
       "DIR/winner_NNNN.eqp. The output is the same for every thread count. Ctrl-C or\n"
       "SIGTERM ends the run after the step under way, keeps the winners found so far\n"
       "(complete false) and exits with 130."},
      {"export", "FILE.eqa...", {"--format", "--theory", "--tables", "--settings", "--strict", "--out", "--help"},
       "Reads each EQA file (\"-\": standard input), evaluates it as the window shows it\n"
       "and writes it in a format of another tool: DIR/NAME.tex, .ladr, .ua, .json,\n"
       ".svg or .dot, or to standard output without --out. Formats: latex (a LaTeX\n"
       "document, one tabular per operation beside the Hasse diagram as a TikZ picture;\n"
       "needs booktabs and tikz), ladr (an interpretation(...) term; with\n"
       "--theory a model finder's input NAME.in: the twelve axioms, the cells the\n"
       "representation fixes, the required and forbidden properties and every cell as\n"
       "a fact), uacalc (a UACalc .ua file), json (one object per line, with the class\n"
       "id, the version and the settings), svg (the Hasse diagram of the meet; with\n"
       "--tables the operation tables beside it), dot (the diagram as a Graphviz graph,\n"
       "one rank=same group per rank). LaTeX, UACalc and theories hold one algebra:\n"
       "several files need --out.",
       {"--format"}},
      {"import", "FILE", {"--format", "--names", "--out", "--help"},
       "Reads every model of FILE (\"-\": standard input; a model finder's\n"
       "interpretation(...) terms, or its cooked or portable form, with --format ladr;\n"
       "a UACalc .ua file with --format uacalc) and writes each as DIR/NAME_NNNN.eqa (NAME: the file's stem,\n"
       "\"stdin\" for standard input). The top becomes \"1\", the bottom \"0\". A model that\n"
       "does not fit is named with its fault on standard error; the others are still\n"
       "written.",
       {"--format", "--out"}},
      {"classes", "FILE.eqa...", {"--settings", "--strict", "--help"},
       "Reads each EQA file (\"-\": standard input) and prints its isomorphism class over\n"
       "the operations in play and the order of its automorphism group, one JSON object\n"
       "per file and line: {\"file\": PATH, \"class\": ID, \"automorphisms\": A}, then\n"
       "{\"files\": F, \"classes\": C}."},
      {"find", "",
       {"--settings", "--strict", "--first", "--count", "--limit", "--threads", "--part", "--timeout", "--resume",
        "--out", "--help"},
       "Finds every winner under the settings (fitness exactly 1), one per isomorphism\n"
       "class, and prints one JSON object per class and line:\n"
       "  {\"class\": I, \"id\": ID, \"canonical\": TEXT, \"automorphisms\": A, \"labelled\": L}\n"
       "then a summary {\"classes\": C, \"labelled\": L, \"complete\": true|false, \"seconds\": S,\n"
       "\"searched\": SPACE, \"velmora\": VERSION, \"elements\": N, \"settings\": {...}} (with\n"
       "\"part\" for a part and \"why_incomplete\" when it is not complete: a time limit,\n"
       "a stop, a failed write, lattices not enumerated at the size). --first stops at\n"
       "the first winner, looking beyond the chain at every size; when it finds none in\n"
       "a space that does not hold every winner it exits with status 3. With --out,\n"
       "writes each class as DIR/class_NNNN.eqa and .eqp (class_pKofN_NNNN for part K\n"
       "of N) and the run's record DIR/find.jsonl (find_pKofN.jsonl), read by merge.\n"
       "Ctrl-C or SIGTERM ends the run at once with the summary and status 130; a run\n"
       "cut short (a signal or --timeout) lists the units it finished (\"plan\", \"units\",\n"
       "\"finished\"), and --resume FILE runs the same part again without them."},
      {"merge", "PART...", {"--help"},
       "Reads the output of each part of one find --part K/N run (a file of its JSON\n"
       "lines, or an --out folder holding its records), checks that every part is\n"
       "there, complete, made by the same version with the same settings, and that no\n"
       "class appears twice, then prints the combined summary {\"classes\": C,\n"
       "\"labelled\": L, \"complete\": true, \"parts\": N, ...}; otherwise names each fault\n"
       "and exits with 1."},
  };
  return table;
}
