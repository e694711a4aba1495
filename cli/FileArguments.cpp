#include "cli/FileArguments.h"

#include "cli/CommandLine.h"

int ParseFileArguments(const char* command, int argc, char** argv, FileArguments& arguments) {
  const CommandSpec& spec = *FindCommand(command);
  CommandLine line;
  if (const int exit = line.Parse(spec, argc, argv); exit >= 0) return exit;
  if (line.Operands().empty()) return UsageError(spec, "no EQA file given");
  arguments.settings_path = line.Text("--settings");
  arguments.files = line.Operands();
  return -1;
}
