// libFuzzer target: the XML reader and the UACalc reader on any bytes. No
// input crashes or exhausts the stack; every fault is told briefly; a tree
// that reads holds no element deeper than the limit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Settings.h"
#include "formats/UacalcFormat.h"
#include "formats/XmlTree.h"

namespace {

int Depth(const XmlElement& element) {
  int deepest = 0;
  for (const auto& child : element.Children) {
    const int depth = Depth(*child);
    if (depth > deepest) deepest = depth;
  }
  return deepest + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Settings = SearchSettings{};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string fault;
  const auto root = ParseXml(text, fault);
  if (root == nullptr ? fault.empty() || fault.size() > 400 : Depth(*root) > kMaxXmlDepth) __builtin_trap();

  const std::string file_fault = ReadUacalcModels(text, {}, [](ImportedModel& model) {
    if (model.Algebra == nullptr && (model.Fault.empty() || model.Fault.size() > 400)) __builtin_trap();
    if (model.Label.size() > 200) __builtin_trap();
    // A name becomes the first line of an EQA file: one line, no control characters.
    if (model.Algebra != nullptr) {
      for (const char c : model.Algebra->Description) {
        if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
      }
    }
  });
  if (file_fault.size() > 400) __builtin_trap();
  return 0;
}
