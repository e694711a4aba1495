#pragma once
// The commands of velmora-cli. Each receives its own argument vector:
// argv[0] is the command name, argv[1 .. argc-1] its arguments. Each returns
// the process exit status: 0 success, 1 some input failed, 2 usage error.

inline constexpr int kExitOk = 0;
inline constexpr int kExitInputFailed = 1;
inline constexpr int kExitUsage = 2;

// velmora-cli evaluate [--settings FILE.ini] FILE.eqa...
int RunEvaluate(int argc, char** argv);
// velmora-cli search [--settings FILE.ini] [--seed S] [--steps N] [--out DIR] [--threads T]
int RunSearch(int argc, char** argv);
// velmora-cli export --format latex|ladr|uacalc|json|svg|dot [--theory] [--tables] [--settings FILE.ini] FILE.eqa...
// [--out DIR]
int RunExport(int argc, char** argv);
// velmora-cli import --format ladr|uacalc [--names meet=...,prod=...,eq=...,delta=...] FILE --out DIR
int RunImport(int argc, char** argv);
// velmora-cli classes [--settings FILE.ini] FILE.eqa...
int RunClasses(int argc, char** argv);
// velmora-cli find [--settings FILE.ini] [--first | --count] [--limit K] [--threads T] [--part K/N] [--resume FILE] [--out DIR]
int RunFind(int argc, char** argv);
// velmora-cli merge PART.jsonl|DIR...
int RunMerge(int argc, char** argv);
// The full help text (every command and the exit codes).
const char* UsageText();
