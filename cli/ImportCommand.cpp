// velmora-cli import: models of a model finder or UACalc into EQA files,
// one per model; rejected models are named on standard error.


#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "Commands.h"
#include "RegularFile.h"
#include "StandardOutput.h"
#include "ExchangeFormats.h"
#include "Formatting.h"
#include "ImportMessages.h"
#include "Settings.h"

namespace {

struct ImportCommandOptions {
  std::string format_name;
  std::string names_text;
  std::string file;
  bool has_out = false;
  std::string out_dir;
};

void PrintImportUsage(std::FILE* to) {
  std::fputs("Usage: velmora-cli import --format ladr|uacalc [--names meet=...,prod=...,eq=...,delta=...] FILE "
             "--out DIR\n",
             to);
}

bool Fail(const std::string& message) {
  std::fprintf(stderr, "velmora-cli import: %s\n", message.c_str());
  PrintImportUsage(stderr);
  return false;
}

bool ParseImportOptions(int argc, char** argv, ImportCommandOptions& options, bool& help) {
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      if (!options.file.empty()) return Fail("one model file at a time (\"" + arg + "\" is a second one)");
      options.file = arg;
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
      return true;
    } else if (arg == "--format" || arg == "--names" || arg == "--out") {
      if (i + 1 >= argc) return Fail(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--format") options.format_name = value;
      if (arg == "--names") options.names_text = value;
      if (arg == "--out") {
        options.has_out = true;
        options.out_dir = value;
      }
    } else {
      return Fail("unknown option \"" + arg + "\"");
    }
  }
  if (options.format_name.empty()) return Fail("--format is missing");
  if (options.file.empty()) return Fail("no model file given");
  if (!options.has_out) return Fail("--out DIR is missing");
  return true;
}

bool ReadText(const std::string& path, std::string& text, std::string& error) {
  std::string reason;
  if (ReadRegularFile(path, kMaxExchangeFileBytes, text, reason) == ReadStatus::kRead) return true;
  error = "Cannot read " + path + ": " + reason;
  return false;
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
  bool help = false;
  if (!ParseImportOptions(argc, argv, options, help)) return kExitUsage;
  if (help) return WriteToStandardOutput(UsageText()) ? kExitOk : kExitInputFailed;
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
  const std::string stem = std::filesystem::path(options.file).stem().string();
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
      if (!line.empty()) std::fprintf(stderr, "velmora-cli import: %s: %s\n", options.file.c_str(), line.c_str());
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
    std::fprintf(stderr, "velmora-cli import: %s: %s\n", options.file.c_str(), file_fault.c_str());
    return kExitInputFailed;
  }
  if (const std::string summary = refusals.Summary(); !summary.empty()) {
    std::fprintf(stderr, "velmora-cli import: %s: %s\n", options.file.c_str(), summary.c_str());
  }
  return status;
}
