#pragma once
// The arguments of the commands that take EQA files:
// [--settings FILE.ini] [--strict] [--] FILE.eqa...

#include <string>
#include <vector>

struct FileArguments {
  std::string settings_path;  // empty: the defaults
  std::vector<std::string> files;
};

// Parses argv[1 .. argc-1] of `command`. Returns -1 when the command should
// run, otherwise the exit status to return at once: 0 after printing the
// help, 2 after a usage message on stderr.
int ParseFileArguments(const char* command, int argc, char** argv, FileArguments& arguments);
