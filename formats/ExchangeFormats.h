#pragma once
// The exchange formats behind one interface, for the command-line tool and
// the window: export algebras under this thread's settings (the operations
// in play: ^, *, ~, d with delta, m with the maximum) and their Hasse
// diagrams, import models.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/DomainModel.h"
#include "model/EQAlgebra.h"
#include "formats/ImportedModel.h"
#include "model/Settings.h"

enum class ExportFormat { kLatex, kLadr, kUacalc, kJson, kSvg, kDot };
enum class ImportFormat { kLadr, kUacalc };

// "latex", "ladr", "uacalc", "json", "svg", "dot" (import: "ladr", "uacalc"); false for others.
bool ParseExportFormat(std::string_view name, ExportFormat& format);
bool ParseImportFormat(std::string_view name, ImportFormat& format);

struct ExportOptions {
  bool Theory = false;  // ladr: a model finder's input with the axioms and the cells as facts
  bool Tables = false;  // svg: the operation tables beside the diagram
};

// The file extension of a format: ".tex", ".ladr" (".in" for a theory), ".ua", ".json", ".svg", ".dot".
std::string ExportExtension(ExportFormat format, const ExportOptions& options = {});

// Whether one file of the format can hold several algebras (all but uacalc,
// a ladr theory and the pictures, svg and dot).
bool HoldsSeveral(ExportFormat format, const ExportOptions& options = {});

// The text of one file holding the algebras (one unless HoldsSeveral), each
// titled by its Description (or "Algebra_" and its index when empty). False,
// with a message naming the algebra, when one cannot be expressed (a cell
// without a value, a value that is not an element; for dot, a meet that is
// not one, since there is no diagram to draw).
bool ExportAlgebras(ExportFormat format, const std::vector<const TEQAlgebra*>& algebras,
                    const ExportOptions& options, std::string& text, std::string& fault);

// A model finder's output may hold many models; a file larger than this is
// no such output and is refused before it is read.
inline constexpr uint64_t kMaxExchangeFileBytes = 64ull << 20;

// The models of an exchange file's text, each handed to take as it is read
// (time linear in the text, memory for one model at a time); returns the
// fault of the whole file, empty if none.
std::string ImportModels(ImportFormat format, std::string_view text, const OperationNames& names,
                         const ModelSink& take);
// The same, every model collected.
ImportResult ImportModels(ImportFormat format, std::string_view text, const OperationNames& names = {});

// The settings under which an imported model's EQA file keeps all it holds:
// delta in play when it gave a delta, the maximum when it gave a join.
SearchSettings SettingsForImported(const ImportedModel& model, const SearchSettings& base);
