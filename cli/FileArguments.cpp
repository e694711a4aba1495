#include "cli/FileArguments.h"

#include "cli/CommandLine.h"

int ParseFileArguments(const char* command, int argc, char** argv, FileArguments& arguments) {
  const CommandSpec& entry = *FindCommand(command);
  CommandLine line;
  if (const int exit = line.Parse(entry, argc, argv); exit >= 0) return exit;
  if (line.Operands().empty()) return UsageError(entry, "no EQA file given");
  arguments.settings_path = line.Text("--settings");
  arguments.files = line.Operands();
  return -1;
}
