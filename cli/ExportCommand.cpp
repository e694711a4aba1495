// velmora-cli export: EQA files into the exchange formats, one output file
// per input file (or all on standard output).

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/CliSettings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/RunRecord.h"
#include "cli/InputFiles.h"
#include "cli/StandardOutput.h"
#include "model/EQAlgebra.h"
#include "formats/ExchangeFormats.h"
#include "formats/ExportFile.h"

namespace {

struct ExportCommandOptions {
  std::string format_name;
  std::string settings_path;
  bool theory = false;
  bool tables = false;
  bool has_out = false;
  std::string out_dir;
  std::vector<std::string> files;
};

bool Fail(const std::string& message) {
  UsageError(*FindCommand("export"), message);
  return false;
}

// Reads the options through the shared table; on a usage error returns its status.
int ParseExportOptions(int argc, char** argv, ExportCommandOptions& options) {
  CommandLine line;
  const CommandSpec& command = *FindCommand("export");
  if (const int exit = line.Parse(command, argc, argv); exit >= 0) return exit;
  if (!line.Has("--format")) return UsageError(command, "--format is missing");
  if (line.Operands().empty()) return UsageError(command, "no EQA file given");
  options.format_name = line.Text("--format");
  options.settings_path = line.Text("--settings");
  options.theory = line.Has("--theory");
  options.tables = line.Has("--tables");
  options.has_out = line.Has("--out");
  options.out_dir = line.Text("--out");
  options.files = line.Operands();
  return -1;
}

// The output name of an input file: its stem and the format's extension.
std::string OutputPath(const std::string& out_dir, const std::string& input, const std::string& extension) {
  return (std::filesystem::path(out_dir) / InputStem(input)).string() + extension;
}

// The JSON object with the record of how it was made (version, element
// count, changed settings) as its last members.
std::string WithRecord(const std::string& json, const FormValues& values) {
  const size_t close = json.rfind('}');
  if (close == std::string::npos) return json;
  return json.substr(0, close) + ", " + ProvenanceMembers(values) + json.substr(close);
}

}  // namespace

int RunExport(int argc, char** argv) {
  ExportCommandOptions options;
  if (const int exit = ParseExportOptions(argc, argv, options); exit >= 0) return exit;
  ExportFormat format;
  if (!ParseExportFormat(options.format_name, format)) {
    Fail("unknown format \"" + options.format_name + "\" (latex, ladr, uacalc, json, svg or dot)");
    return kExitUsage;
  }
  if (options.theory && format != ExportFormat::kLadr) {
    Fail("--theory goes with --format ladr only");
    return kExitUsage;
  }
  if (options.tables && format != ExportFormat::kSvg) {
    Fail("--tables goes with --format svg only");
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

  // LaTeX, UACalc and a theory hold one algebra each: several in one stream
  // would read as one document, one algebra or one unsatisfiable theory.
  const bool one_per_stream = format == ExportFormat::kLatex || format == ExportFormat::kUacalc || options.theory;
  if (!options.has_out && one_per_stream && options.files.size() > 1) {
    Fail(std::to_string(options.files.size()) + " files to standard output, but " +
         (options.theory ? std::string("a theory") : "the " + options.format_name + " format") +
         " holds one algebra: give --out DIR for one file each, or one file at a time");
    return kExitUsage;
  }
  ExportOptions export_options;
  export_options.Theory = options.theory;
  export_options.Tables = options.tables;
  int status = kExitOk;
  std::map<std::string, std::string> written_from;  // output path -> its input
  for (const std::string& path : options.files) {
    auto algebra = std::make_unique<TEQAlgebra>();
    if (!ReadAlgebraInput(path, *algebra, error)) {
      std::fprintf(stderr, "velmora-cli export: %s\n", error.c_str());
      status = kExitInputFailed;
      continue;
    }
    // What the window shows after opening the file: evaluated, the maximum
    // read off the order while it is in play.
    algebra->Evaluate();
    if (algebra->Description.empty()) algebra->Description = InputStem(path);
    std::string text;
    if (!ExportAlgebras(format, {algebra.get()}, export_options, text, error)) {
      std::fprintf(stderr, "velmora-cli export: %s: %s\n", path.c_str(), error.c_str());
      status = kExitInputFailed;
      continue;
    }
    if (format == ExportFormat::kJson) text = WithRecord(text, values);
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
