#pragma once
// One table of the tool's options and commands, and one parser over it, so
// that every command reads its options the same way, with the same limits,
// and its help is made from the same lines.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct OptionSpec {
  const char* name;      // "--threads"
  const char* argument;  // "T"; nullptr for a switch
  bool numeric;          // a whole number from minimum to maximum
  int64_t minimum;
  int64_t maximum;
  const char* help;  // one line
};

struct CommandSpec {
  const char* name;
  const char* operands;                  // "FILE.eqa..." (empty: none)
  std::vector<const char*> options;      // names in the option table, in the order shown
  const char* description;               // a paragraph, lines of at most 78 characters
  std::vector<const char*> required = {};  // options the command cannot do without
};

// Every option of every command.
const std::vector<OptionSpec>& OptionTable();
// Every command, in the order of the help.
const std::vector<CommandSpec>& CommandTable();
// The command of that name, or nullptr.
const CommandSpec* FindCommand(const std::string& name);

// "velmora-cli find [--settings FILE.ini] ... [--out DIR]"
std::string SynopsisOf(const CommandSpec& command);
// One command's help: synopsis, description, options, exit status.
std::string CommandHelp(const CommandSpec& command);
// The help of the whole tool: every synopsis and description.
std::string FullHelp();

// The options and operands of one command line.
class CommandLine {
 public:
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The option's argument (empty for a switch or an absent option).
  std::string Text(const std::string& name) const;
  // The option's number, checked against its range; `fallback` when absent.
  int64_t Number(const std::string& name, int64_t fallback) const;
  const std::vector<std::string>& Operands() const { return operands_; }

  // Parses argv[1 .. argc-1] of `command`. Returns -1 when the command
  // should run, otherwise the exit status to return at once: 0 after
  // printing the help for --help, 2 after a usage message on stderr.
  int Parse(const CommandSpec& command, int argc, char** argv);

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> operands_;
};

// A usage error of `command`: the message and the synopsis on stderr; returns 2.
int UsageError(const CommandSpec& command, const std::string& message);
