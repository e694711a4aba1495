// libFuzzer target: the exchange formats' round trip. The first byte picks
// the format read (LADR or UACalc) and the settings (delta, maximum); every
// model that converts is exported to LADR and to UACalc, and importing each
// export must give the same algebra (canonical text), the same delta and
// join, and for UACalc the same name (when it is ASCII). Its EQA text must read back too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/ExchangeFormats.h"
#include "model/Settings.h"

namespace {

void CheckThrough(ExportFormat format, TEQAlgebra& algebra, const ImportedModel& model) {
  std::string text, fault;
  if (!ExportAlgebras(format, {&algebra}, {}, text, fault)) __builtin_trap();
  const ImportResult back =
      ImportModels(format == ExportFormat::kLadr ? ImportFormat::kLadr : ImportFormat::kUacalc, text);
  if (!back.FileFault.empty() || back.Models.size() != 1 || back.Models[0].Algebra == nullptr) __builtin_trap();
  const ImportedModel& again = back.Models[0];
  if (again.HasDelta != model.HasDelta || again.HasJoin != model.HasJoin) __builtin_trap();
  if (again.Algebra->BuildCanonicalText() != algebra.CanonicalText) __builtin_trap();
  // A name of ASCII comes back as it was (other bytes may come back as the
  // UTF-8 of their Latin-1 characters).
  bool ascii = true;
  for (const char c : algebra.Description) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (format == ExportFormat::kUacalc && ascii && !algebra.Description.empty() &&
      again.Algebra->Description != algebra.Description) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const ImportFormat format = (data[0] & 1) != 0 ? ImportFormat::kUacalc : ImportFormat::kLadr;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  ImportModels(format, text, {}, [](ImportedModel& model) {
    if (model.Algebra == nullptr) return;
    Settings = SettingsForImported(model, SearchSettings{});
    TEQAlgebra& algebra = *model.Algebra;
    algebra.BuildCanonicalText();
    CheckThrough(ExportFormat::kLadr, algebra, model);
    CheckThrough(ExportFormat::kUacalc, algebra, model);
    TEQAlgebra read;
    if (!read.ReadEQAText(algebra.EQAText(), "fuzz.eqa") || read.BuildCanonicalText() != algebra.CanonicalText) {
      __builtin_trap();
    }
  });
  return 0;
}
