#pragma once
// A small XML reader for exchange files: elements, attributes and text, with
// comments, processing instructions, a DOCTYPE and CDATA sections skipped or
// taken as text, and the predefined and numeric character references. It
// checks that tags nest and close; it does not validate. Elements nest at
// most kMaxXmlDepth deep, so no file can exhaust the stack.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr int kMaxXmlDepth = 256;

struct XmlElement {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Attributes;
  std::string Text;  // the character data directly inside, concatenated; empty when only white space
  std::vector<std::unique_ptr<XmlElement>> Children;
  int Line = 0;  // where the start tag stands

  // The first child of that name, or null.
  const XmlElement* Child(std::string_view name) const;
};

// The root element of a document; null with a message "line L: what" on a fault.
std::unique_ptr<XmlElement> ParseXml(std::string_view text, std::string& fault);

// The same, but every outermost element named `name` is handed to `take` as
// soon as it is closed and left out of the tree, so a document of many such
// elements never holds more than one in memory (the root itself is never
// handed over). A fault found later still makes the result null.
using XmlElementSink = std::function<void(std::unique_ptr<XmlElement> element)>;
std::unique_ptr<XmlElement> ParseXml(std::string_view text, std::string& fault, std::string_view name,
                                     const XmlElementSink& take);
