// libFuzzer target: the LADR reader on any bytes. Every model is converted
// or refused with a short reason; whatever the text, messages stay short.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/LadrFormat.h"
#include "model/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Settings = SearchSettings{};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string file_fault = ReadLadrModels(text, {}, [](ImportedModel& model) {
    if (model.Algebra != nullptr) {
      if (!model.Fault.empty()) __builtin_trap();
      model.Algebra->Evaluate();
    } else if (model.Fault.empty() || model.Fault.size() > 400) {
      __builtin_trap();
    }
    if (model.Label.size() > 200) __builtin_trap();
  });
  if (file_fault.size() > 400) __builtin_trap();
  return 0;
}
