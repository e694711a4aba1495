// libFuzzer target: the EQA reader on any bytes. The first byte chooses the
// settings (delta, maximum, derived tables); the rest is the file. A text
// that reads must evaluate, print, and read back from its own written form
// to the same written form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/EQAlgebra.h"
#include "model/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Settings = SearchSettings{};
  Settings.DeltaEnabled = (data[0] & 1) != 0;
  Settings.MaximumEnabled = (data[0] & 2) != 0;
  Settings.ShowDerived = (data[0] & 4) != 0;
  Settings.UpdateGeneCount();
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  TEQAlgebra algebra;
  std::string error;
  if (!algebra.ReadEQAText(text, "fuzz.eqa", &error)) {
    if (error.empty() || error.size() > 4096) __builtin_trap();  // every fault says what, briefly
    return 0;
  }
  algebra.Evaluate();
  algebra.BuildCanonicalText();
  const std::string dump = algebra.DumpTables();
  const std::string written = algebra.EQAText();
  TEQAlgebra again;
  if (!again.ReadEQAText(written, "again.eqa", &error)) __builtin_trap();
  if (again.EQAText() != written) __builtin_trap();
  return static_cast<int>(dump.size() & 0);
}
