#include "cli/CommandLine.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "cli/CliSettings.h"
#include "cli/StandardOutput.h"

namespace {

const OptionSpec* OptionNamed(const std::string& name) {
  for (const OptionSpec& option : OptionTable()) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

bool Accepts(const CommandSpec& command, const std::string& name) {
  for (const char* option : command.options) {
    if (name == option) return true;
  }
  return false;
}

// A whole number of digits only within the option's range.
bool InRange(const OptionSpec& option, const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  uint64_t result = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<uint64_t>(c - '0');
  }
  if (result > static_cast<uint64_t>(option.maximum) || result < static_cast<uint64_t>(option.minimum)) return false;
  value = static_cast<int64_t>(result);
  return true;
}

// "from 1 to 1024", or "1 or more" without a useful upper bound.
std::string RangeWords(const OptionSpec& option) {
  if (option.maximum == INT64_MAX) return std::to_string(option.minimum) + " or more";
  return "from " + std::to_string(option.minimum) + " to " + std::to_string(option.maximum);
}

std::string RangeText(const OptionSpec& option) {
  return "a whole number " + std::string(option.maximum == INT64_MAX ? "of " : "") + RangeWords(option);
}

const char* kExitStatus =
    "Exit status:\n"
    "  0  success\n"
    "  1  some input failed (an EQA file that cannot be read, an output that cannot be\n"
    "     written, a model that was rejected, parts that do not merge)\n"
    "  2  usage error (unknown command or option, bad value, unreadable settings file,\n"
    "     a settings warning under --strict)\n"
    "  130  interrupted (Ctrl-C or SIGTERM); what was found is kept and summed up\n";

// "  --threads T         worker threads, from 1 to 1024 (default: every core)"
std::string OptionLine(const OptionSpec& option) {
  std::string line = std::string("  ") + option.name + (option.argument ? std::string(" ") + option.argument : "");
  line.resize(std::max<size_t>(line.size() + 2, 22), ' ');
  std::string help = option.help;
  if (const size_t at = help.find("%r"); at != std::string::npos) {
    help.replace(at, 2, RangeWords(option));
  }
  return line + help + "\n";
}

}  // namespace

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& command : CommandTable()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

std::string SynopsisOf(const CommandSpec& command) {
  std::string text = std::string("velmora-cli ") + command.name;
  for (const char* name : command.options) {
    const OptionSpec* option = OptionNamed(name);
    if (option == nullptr || std::string(name) == "--help") continue;
    const bool required = std::any_of(command.required.begin(), command.required.end(),
                                      [&name](const char* r) { return std::string(r) == name; });
    const std::string usage = name + (option->argument ? std::string(" ") + option->argument : "");
    text += required ? " " + usage : " [" + usage + "]";
  }
  if (*command.operands != '\0') text += std::string(" ") + command.operands;
  return text;
}

std::string CommandHelp(const CommandSpec& command) {
  std::string text = "Usage: " + SynopsisOf(command) + "\n\n" + command.description + "\n\nOptions:\n";
  for (const char* name : command.options) {
    if (const OptionSpec* option = OptionNamed(name)) text += OptionLine(*option);
  }
  return text + "\n" + kExitStatus;
}

std::string FullHelp() {
  std::string text = "Usage:\n";
  for (const CommandSpec& command : CommandTable()) text += "  " + SynopsisOf(command) + "\n";
  text += "  velmora-cli --help | COMMAND --help\n  velmora-cli --version\n\n";
  for (const CommandSpec& command : CommandTable()) {
    text += std::string(command.name) + "\n";
    std::string description = command.description;
    for (size_t at = 0; at <= description.size();) {
      const size_t end = description.find('\n', at);
      text += "    " + description.substr(at, end == std::string::npos ? std::string::npos : end - at) + "\n";
      if (end == std::string::npos) break;
      at = end + 1;
    }
    text += "\n";
  }
  text += "Options:\n";
  for (const OptionSpec& option : OptionTable()) text += OptionLine(option);
  return text + "\n" + kExitStatus;
}

std::string CommandLine::Text(const std::string& name) const {
  const auto found = values_.find(name);
  return found == values_.end() ? std::string() : found->second;
}

int64_t CommandLine::Number(const std::string& name, int64_t fallback) const {
  const OptionSpec* option = OptionNamed(name);
  int64_t value = 0;
  return option != nullptr && Has(name) && InRange(*option, Text(name), value) ? value : fallback;
}

int UsageError(const CommandSpec& command, const std::string& message) {
  std::fprintf(stderr, "velmora-cli %s: %s\nUsage: %s\n", command.name, message.c_str(), SynopsisOf(command).c_str());
  return 2;
}

int CommandLine::Parse(const CommandSpec& command, int argc, char** argv) {
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      operands_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    const std::string name = arg == "-h" ? "--help" : arg;
    const OptionSpec* option = OptionNamed(name);
    if (option == nullptr || !Accepts(command, name)) return UsageError(command, "unknown option \"" + arg + "\"");
    if (name == "--help") {
      return WriteToStandardOutput(CommandHelp(command)) ? 0 : 1;
    }
    std::string value;
    if (option->argument != nullptr) {
      if (i + 1 >= argc) return UsageError(command, name + " needs a value");
      value = argv[++i];
      int64_t number = 0;
      if (option->numeric && !InRange(*option, value, number)) {
        return UsageError(command, name + " needs " + RangeText(*option) + ", not \"" + value + "\"");
      }
      if (!option->numeric && value.empty()) return UsageError(command, name + " needs a value");
    }
    values_[name] = value;
  }
  SetStrictSettings(Has("--strict"));
  return -1;
}
