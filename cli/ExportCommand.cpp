// velmora-cli export: EQA files into the exchange formats, one output file
// per input file (or all on standard output).

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "CliSettings.h"
#include "Commands.h"
#include "StandardOutput.h"
#include "EQAlgebra.h"
#include "ExchangeFormats.h"
#include "ExportFile.h"

namespace {

struct ExportCommandOptions {
  std::string format_name;
  std::string settings_path;
  bool theory = false;
  bool has_out = false;
  std::string out_dir;
  std::vector<std::string> files;
};

void PrintExportUsage(std::FILE* to) {
  std::fputs(
      "Usage: velmora-cli export --format latex|ladr|uacalc|json [--theory] [--settings FILE.ini] FILE.eqa... "
      "[--out DIR]\n",
      to);
}

bool Fail(const std::string& message) {
  std::fprintf(stderr, "velmora-cli export: %s\n", message.c_str());
  PrintExportUsage(stderr);
  return false;
}

bool ParseExportOptions(int argc, char** argv, ExportCommandOptions& options, bool& help) {
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
      return true;
    } else if (arg == "--theory") {
      options.theory = true;
    } else if (arg == "--format" || arg == "--settings" || arg == "--out") {
      if (i + 1 >= argc) return Fail(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--format") options.format_name = value;
      if (arg == "--settings") options.settings_path = value;
      if (arg == "--out") {
        options.has_out = true;
        options.out_dir = value;
      }
    } else {
      return Fail("unknown option \"" + arg + "\"");
    }
  }
  if (options.format_name.empty()) return Fail("--format is missing");
  if (options.files.empty()) return Fail("no EQA file given");
  return true;
}

// The output name of an input file: its stem and the format's extension.
std::string OutputPath(const std::string& out_dir, const std::string& input, const std::string& extension) {
  return (std::filesystem::path(out_dir) / std::filesystem::path(input).stem()).string() + extension;
}

}  // namespace

int RunExport(int argc, char** argv) {
  ExportCommandOptions options;
  bool help = false;
  if (!ParseExportOptions(argc, argv, options, help)) return kExitUsage;
  if (help) return WriteToStandardOutput(UsageText()) ? kExitOk : kExitInputFailed;
  ExportFormat format;
  if (!ParseExportFormat(options.format_name, format)) {
    Fail("unknown format \"" + options.format_name + "\" (latex, ladr, uacalc or json)");
    return kExitUsage;
  }
  if (options.theory && format != ExportFormat::kLadr) {
    Fail("--theory goes with --format ladr only");
    return kExitUsage;
  }
  FormValues values;
  std::string error;
  if (!LoadCliSettings(options.settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli export: %s\n", error.c_str());
    return kExitUsage;
  }
  if (options.has_out) {
    std::error_code ec;
    std::filesystem::create_directories(options.out_dir, ec);
    if (ec || !std::filesystem::is_directory(options.out_dir)) {
      std::fprintf(stderr, "velmora-cli export: cannot create the directory %s: %s\n", options.out_dir.c_str(),
                   ec ? ec.message().c_str() : "a file of that name is in the way");
      return kExitInputFailed;
    }
  }

  ExportOptions export_options;
  export_options.Theory = options.theory;
  int status = kExitOk;
  std::map<std::string, std::string> written_from;  // output path -> its input
  for (const std::string& path : options.files) {
    auto algebra = std::make_unique<TEQAlgebra>();
    algebra->FileName = path;
    if (!algebra->ReadEQA(&error)) {
      std::fprintf(stderr, "velmora-cli export: %s\n", error.c_str());
      status = kExitInputFailed;
      continue;
    }
    // What the window shows after opening the file: evaluated, the maximum
    // read off the order while it is in play.
    algebra->Evaluate();
    if (algebra->Description.empty()) algebra->Description = std::filesystem::path(path).stem().string();
    std::string text;
    if (!ExportAlgebras(format, {algebra.get()}, export_options, text, error)) {
      std::fprintf(stderr, "velmora-cli export: %s: %s\n", path.c_str(), error.c_str());
      status = kExitInputFailed;
      continue;
    }
    if (!options.has_out) {
      if (!WriteToStandardOutput(text)) return kExitInputFailed;
      continue;
    }
    const std::string out_path = OutputPath(options.out_dir, path, ExportExtension(format, export_options));
    // Inputs of one name from different folders would overwrite each other's output.
    if (const auto [earlier, fresh] = written_from.emplace(out_path, path); !fresh) {
      std::fprintf(stderr, "velmora-cli export: %s: not written: its output %s is already that of %s\n", path.c_str(),
                   out_path.c_str(), earlier->second.c_str());
      status = kExitInputFailed;
      continue;
    }
    if (!WriteExportFile(out_path, text, error)) {
      std::fprintf(stderr, "velmora-cli export: %s\n", error.c_str());
      status = kExitInputFailed;
      continue;
    }
    if (!WriteToStandardOutput(out_path + "\n")) return kExitInputFailed;
  }
  return status;
}
