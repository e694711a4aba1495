// velmora-cli import: models of a model finder or UACalc into EQA files,
// one per model; rejected models are named on standard error.


#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/InputFiles.h"
#include "model/RegularFile.h"
#include "cli/StandardOutput.h"
#include "formats/ExchangeFormats.h"
#include "model/Formatting.h"
#include "formats/ImportMessages.h"
#include "model/Settings.h"

namespace {

struct ImportCommandOptions {
  std::string format_name;
  std::string names_text;
  std::string file;
  bool has_out = false;
  std::string out_dir;
};

bool Fail(const std::string& message) {
  UsageError(*FindCommand("import"), message);
  return false;
}

// Reads the options through the shared table; on a usage error returns its status.
int ParseImportOptions(int argc, char** argv, ImportCommandOptions& options) {
  CommandLine line;
  const CommandSpec& command = *FindCommand("import");
  if (const int exit = line.Parse(command, argc, argv); exit >= 0) return exit;
  if (line.Operands().size() > 1) {
    return UsageError(command, "one model file at a time (\"" + line.Operands()[1] + "\" is a second one)");
  }
  if (!line.Has("--format")) return UsageError(command, "--format is missing");
  if (line.Operands().empty()) return UsageError(command, "no model file given");
  if (!line.Has("--out")) return UsageError(command, "--out DIR is missing");
  options.format_name = line.Text("--format");
  options.names_text = line.Text("--names");
  options.file = line.Operands().front();
  options.has_out = true;
  options.out_dir = line.Text("--out");
  return -1;
}

bool ReadText(const std::string& path, std::string& text, std::string& error) {
  return ReadInput(path, kMaxExchangeFileBytes, text, error);
}

// Writes through a temporary file beside the target, then renames it.
bool WriteModel(TEQAlgebra& algebra, const std::string& path, std::string& error) {
  algebra.FileName = path;
  std::string reason;
  if (algebra.WriteEQA(&reason)) return true;
  error = "Cannot write " + path + ": " + reason;
  return false;
}

}  // namespace

int RunImport(int argc, char** argv) {
  ImportCommandOptions options;
  if (const int exit = ParseImportOptions(argc, argv, options); exit >= 0) return exit;
  ImportFormat format;
  if (!ParseImportFormat(options.format_name, format)) {
    Fail("unknown format \"" + options.format_name + "\" (ladr or uacalc)");
    return kExitUsage;
  }
  OperationNames names;
  std::string error;
  if (!options.names_text.empty() && !ParseOperationNames(options.names_text, names, error)) {
    Fail("--names: " + error);
    return kExitUsage;
  }
  std::string text;
  if (!ReadText(options.file, text, error)) {
    std::fprintf(stderr, "velmora-cli import: %s\n", error.c_str());
    return kExitInputFailed;
  }
  // Each model is written as soon as it is read; of the refused ones the
  // first few are named, the rest counted. The folder is made for the first
  // model written.
  const std::string stem = InputStem(options.file);
  int status = kExitOk;
  bool output_failed = false;
  bool have_folder = false;
  int64_t number = 0;
  RefusalReport refusals;
  const std::string file_fault = ImportModels(format, text, names, [&](ImportedModel& model) {
    ++number;
    if (output_failed) return;
    if (model.Algebra && !have_folder) {
      std::error_code ec;
      std::filesystem::create_directories(options.out_dir, ec);
      if (ec || !std::filesystem::is_directory(options.out_dir)) {
        std::fprintf(stderr, "velmora-cli import: cannot create the directory %s: %s\n", options.out_dir.c_str(),
                     ec ? ec.message().c_str() : "a file of that name is in the way");
        output_failed = true;
        return;
      }
      have_folder = true;
    }
    if (!model.Algebra) {
      const std::string line = refusals.Refused(model.Label, model.Fault);
      if (!line.empty()) std::fprintf(stderr, "velmora-cli import: %s: %s\n", InputLabel(options.file).c_str(), line.c_str());
      status = kExitInputFailed;
      return;
    }
    refusals.Converted();
    const std::string name = stem + "_" + FormatIndex(number);
    if (model.Algebra->Description.empty()) model.Algebra->Description = name;
    const std::string path = (std::filesystem::path(options.out_dir) / (name + ".eqa")).string();
    // The EQA file keeps the delta and join the model gave.
    ScopedSettings writing(SettingsForImported(model, Settings));
    if (!WriteModel(*model.Algebra, path, error)) {
      std::fprintf(stderr, "velmora-cli import: %s\n", error.c_str());
      status = kExitInputFailed;
      return;
    }
    if (!WriteToStandardOutput(path + "\n")) output_failed = true;
  });
  if (output_failed) return kExitInputFailed;
  if (!file_fault.empty()) {
    std::fprintf(stderr, "velmora-cli import: %s: %s\n", InputLabel(options.file).c_str(), file_fault.c_str());
    return kExitInputFailed;
  }
  if (const std::string summary = refusals.Summary(); !summary.empty()) {
    std::fprintf(stderr, "velmora-cli import: %s: %s\n", InputLabel(options.file).c_str(), summary.c_str());
  }
  return status;
}
