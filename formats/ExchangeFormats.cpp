// Dispatch over the formats and the framing of several algebras in one file.

#include "formats/ExchangeFormats.h"

#include "formats/DotFormat.h"
#include "model/Formatting.h"
#include "formats/JsonFormat.h"
#include "formats/LadrFormat.h"
#include "formats/LadrOtherForms.h"
#include "formats/LatexFormat.h"
#include "model/Settings.h"
#include "formats/SvgFormat.h"
#include "formats/UacalcFormat.h"

namespace {

std::string TitleOf(const TEQAlgebra& algebra, size_t index) {
  return algebra.Description.empty() ? "Algebra_" + FormatIndex(static_cast<int64_t>(index)) : algebra.Description;
}

}  // namespace

bool ParseExportFormat(std::string_view name, ExportFormat& format) {
  if (name == "latex") format = ExportFormat::kLatex;
  else if (name == "ladr") format = ExportFormat::kLadr;
  else if (name == "uacalc") format = ExportFormat::kUacalc;
  else if (name == "json") format = ExportFormat::kJson;
  else if (name == "svg") format = ExportFormat::kSvg;
  else if (name == "dot") format = ExportFormat::kDot;
  else return false;
  return true;
}

bool ParseImportFormat(std::string_view name, ImportFormat& format) {
  if (name == "ladr") format = ImportFormat::kLadr;
  else if (name == "uacalc") format = ImportFormat::kUacalc;
  else return false;
  return true;
}

std::string ExportExtension(ExportFormat format, const ExportOptions& options) {
  switch (format) {
    case ExportFormat::kLatex: return ".tex";
    case ExportFormat::kLadr: return options.Theory ? ".in" : ".ladr";
    case ExportFormat::kUacalc: return ".ua";
    case ExportFormat::kJson: return ".json";
    case ExportFormat::kSvg: return ".svg";
    case ExportFormat::kDot: return ".dot";
  }
  return {};
}

bool HoldsSeveral(ExportFormat format, const ExportOptions& options) {
  return format != ExportFormat::kUacalc && format != ExportFormat::kSvg && format != ExportFormat::kDot &&
         !(format == ExportFormat::kLadr && options.Theory);
}

bool ExportAlgebras(ExportFormat format, const std::vector<const TEQAlgebra*>& algebras,
                    const ExportOptions& options, std::string& text, std::string& fault) {
  if (algebras.size() != 1 && !HoldsSeveral(format, options)) {
    fault = "this format holds one algebra per file";
    return false;
  }
  std::string out;
  std::vector<LatexAlgebra> latex;
  for (size_t i = 0; i < algebras.size(); ++i) {
    const TEQAlgebra& algebra = *algebras[i];
    ExchangeTables tables;
    std::string cell_fault;
    if (!TablesOfAlgebra(algebra, Settings.DeltaEnabled, Settings.MaximumEnabled, tables, cell_fault)) {
      fault = TitleOf(algebra, i) + ": " + cell_fault;
      return false;
    }
    switch (format) {
      case ExportFormat::kLatex:
        latex.push_back({TitleOf(algebra, i), std::move(tables)});
        break;
      case ExportFormat::kLadr:
        out += options.Theory ? LadrTheory(tables) : LadrInterpretation(tables, static_cast<int>(i) + 1);
        break;
      case ExportFormat::kUacalc:
        out += UacalcAlgebra(tables, TitleOf(algebra, i));
        break;
      case ExportFormat::kJson:
        out += (algebras.size() > 1 ? (i == 0 ? "[\n" : ",\n") : "") +
               JsonAlgebra(algebra, tables);
        break;
      case ExportFormat::kSvg:
        out += SvgDocument(TitleOf(algebra, i), tables, {options.Tables, Settings.ShowDerived});
        break;
      case ExportFormat::kDot: {
        std::string dot, dot_fault;
        if (!DotGraph(TitleOf(algebra, i), tables, dot, dot_fault)) {
          fault = TitleOf(algebra, i) + ": " + dot_fault;
          return false;
        }
        out += dot;
        break;
      }
    }
  }
  if (format == ExportFormat::kLatex) out = LatexDocument(latex, Settings.ShowDerived);
  if (format == ExportFormat::kJson) out += algebras.size() > 1 ? "\n]\n" : "\n";
  text = std::move(out);
  return true;
}

std::string ImportModels(ImportFormat format, std::string_view text, const OperationNames& names,
                         const ModelSink& take) {
  if (format == ImportFormat::kUacalc) return ReadUacalcModels(text, names, take);
  // The model finder's cooked and portable forms become its standard form.
  if (const std::optional<std::string> standard = LadrStandardForm(text)) return ReadLadrModels(*standard, names, take);
  return ReadLadrModels(text, names, take);
}

ImportResult ImportModels(ImportFormat format, std::string_view text, const OperationNames& names) {
  if (format == ImportFormat::kUacalc) return ReadUacalcModels(text, names);
  // The model finder's cooked and portable forms become its standard form.
  if (const std::optional<std::string> standard = LadrStandardForm(text)) return ReadLadrModels(*standard, names);
  return ReadLadrModels(text, names);
}

SearchSettings SettingsForImported(const ImportedModel& model, const SearchSettings& base) {
  SearchSettings settings = base;
  settings.DeltaEnabled = model.HasDelta;
  settings.MaximumEnabled = model.HasJoin;
  settings.UpdateGeneCount();
  return settings;
}
