// A recursive-descent reader over the text with a line counter; the depth
// bound keeps the recursion (and the tree's own destruction) shallow.

#include "formats/XmlTree.h"

#include <cctype>
#include <cstdint>

#include "formats/ImportMessages.h"
#include "model/MessagePump.h"

namespace {

bool IsBlank(std::string_view text) {
  for (const char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// "&name;" for a message.
std::string Reference(std::string_view name) {
  std::string text(1, '&');
  text.append(name).push_back(';');
  return text;
}

class XmlParser {
 public:
  explicit XmlParser(std::string_view text, std::string_view detach_name = {}, const XmlElementSink* take = nullptr)
      : text_(text), detach_name_(detach_name), take_(take) {}

  std::unique_ptr<XmlElement> Document(std::string& fault) {
    if (!SkipMisc()) return Failed(fault);
    if (!LookingAt("<")) {
      Error("the document has no root element");
      return Failed(fault);
    }
    auto root = Element(1, false);
    if (!root) return Failed(fault);
    if (!SkipMisc()) return Failed(fault);
    if (at_ < text_.size()) {
      Error("text after the root element");
      return Failed(fault);
    }
    return root;
  }

 private:
  std::unique_ptr<XmlElement> Failed(std::string& fault) {
    fault = error_;
    return nullptr;
  }
  bool Error(const std::string& what) {
    if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + what;
    return false;
  }
  bool LookingAt(std::string_view s) const { return text_.substr(at_, s.size()) == s; }
  void Advance(size_t count) {
    for (size_t i = 0; i < count && at_ < text_.size(); ++i) {
      if (text_[at_++] == '\n') ++line_;
    }
  }
  void SkipSpace() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) Advance(1);
  }
  bool SkipPast(std::string_view end, const char* what) {
    const size_t found = text_.find(end, at_);
    if (found == std::string_view::npos) return Error(std::string("unterminated ") + what);
    Advance(found + end.size() - at_);
    return true;
  }
  // White space, comments, processing instructions and a DOCTYPE.
  bool SkipMisc() {
    for (;;) {
      SkipSpace();
      if (LookingAt("<?")) {
        if (!SkipPast("?>", "processing instruction")) return false;
      } else if (LookingAt("<!--")) {
        if (!SkipPast("-->", "comment")) return false;
      } else if (LookingAt("<!DOCTYPE")) {
        if (!SkipPast(">", "DOCTYPE")) return false;
      } else {
        return true;
      }
    }
  }

  std::string Name() {
    const size_t start = at_;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':' ||
          static_cast<unsigned char>(c) >= 0x80) {
        ++at_;
      } else {
        break;
      }
    }
    return std::string(text_.substr(start, at_ - start));
  }

  // Character data up to stop, with references replaced.
  bool Characters(std::string_view raw, std::string& out) {
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        out += raw[i];
        continue;
      }
      const size_t semicolon = raw.find(';', i);
      if (semicolon == std::string_view::npos) return Error("a \"&\" without \";\"");
      const std::string_view ref = raw.substr(i + 1, semicolon - i - 1);
      if (ref == "lt") out += '<';
      else if (ref == "gt") out += '>';
      else if (ref == "amp") out += '&';
      else if (ref == "quot") out += '"';
      else if (ref == "apos") out += '\'';
      else if (!ref.empty() && ref[0] == '#') {
        const bool hex = ref.size() > 1 && (ref[1] == 'x' || ref[1] == 'X');
        unsigned long code = 0;
        try {
          code = std::stoul(std::string(ref.substr(hex ? 2 : 1)), nullptr, hex ? 16 : 10);
        } catch (...) {
          return Error("a bad character reference " + Quoted(Reference(ref)));
        }
        if (code < 0x80) {
          out += static_cast<char>(code);
        } else if (code < 0x800) {
          out += static_cast<char>(0xC0 | (code >> 6));
          out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
          out += static_cast<char>(0xE0 | (code >> 12));
          out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
          out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x110000) {
          out += static_cast<char>(0xF0 | (code >> 18));
          out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
          out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
          out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
          return Error("a character reference beyond Unicode " + Quoted(Reference(ref)));
        }
      } else {
        return Error("an unknown entity " + Quoted(Reference(ref)));
      }
      i = semicolon;
    }
    return true;
  }

  // The element at the "<" of its start tag, at the given depth (the root is
  // 1); inside_detached: an ancestor will be handed over whole.
  std::unique_ptr<XmlElement> Element(int depth, bool inside_detached) {
    if (depth > kMaxXmlDepth) {
      Error("elements nested deeper than " + std::to_string(kMaxXmlDepth));
      return nullptr;
    }
    auto element = std::make_unique<XmlElement>();
    element->Line = line_;
    Advance(1);  // "<"
    element->Name = Name();
    if (element->Name.empty()) {
      Error("a tag without a name");
      return nullptr;
    }
    for (;;) {
      SkipSpace();
      if (LookingAt("/>")) {
        Advance(2);
        return element;
      }
      if (LookingAt(">")) {
        Advance(1);
        break;
      }
      std::string attribute = Name();
      if (attribute.empty()) {
        Error("a bad attribute in <" + Shortened(element->Name) + ">");
        return nullptr;
      }
      SkipSpace();
      if (!LookingAt("=")) {
        Error("attribute " + Shortened(attribute) + " has no value");
        return nullptr;
      }
      Advance(1);
      SkipSpace();
      if (!LookingAt("\"") && !LookingAt("'")) {
        Error("the value of attribute " + Shortened(attribute) + " is not quoted");
        return nullptr;
      }
      const char quote = text_[at_];
      const size_t end = text_.find(quote, at_ + 1);
      if (end == std::string_view::npos) {
        Error("unterminated attribute value");
        return nullptr;
      }
      std::string value;
      if (!Characters(text_.substr(at_ + 1, end - at_ - 1), value)) return nullptr;
      Advance(end + 1 - at_);
      element->Attributes.emplace_back(std::move(attribute), std::move(value));
    }
    // Content up to the matching end tag.
    for (;;) {
      // A window reading a large file stays responsive.
      if ((++steps_ & 1023) == 0) PumpMessages();
      if (at_ >= text_.size()) {
        Error("<" + Shortened(element->Name) + "> is not closed");
        return nullptr;
      }
      if (LookingAt("</")) {
        Advance(2);
        const std::string closing = Name();
        SkipSpace();
        if (closing != element->Name || !LookingAt(">")) {
          Error("</" + Shortened(closing) + "> closes <" + Shortened(element->Name) + ">");
          return nullptr;
        }
        Advance(1);
        if (IsBlank(element->Text)) std::string().swap(element->Text);  // indentation costs no memory
        return element;
      }
      if (LookingAt("<!--")) {
        if (!SkipPast("-->", "comment")) return nullptr;
      } else if (LookingAt("<![CDATA[")) {
        Advance(9);
        const size_t end = text_.find("]]>", at_);
        if (end == std::string_view::npos) {
          Error("unterminated CDATA section");
          return nullptr;
        }
        element->Text += text_.substr(at_, end - at_);
        Advance(end + 3 - at_);
      } else if (LookingAt("<?")) {
        if (!SkipPast("?>", "processing instruction")) return nullptr;
      } else if (LookingAt("<")) {
        const bool detaches = inside_detached || (take_ != nullptr && element->Name == detach_name_);
        auto child = Element(depth + 1, detaches);
        if (!child) return nullptr;
        if (!detaches && take_ != nullptr && child->Name == detach_name_) {
          (*take_)(std::move(child));
        } else {
          element->Children.push_back(std::move(child));
        }
      } else {
        const size_t end = text_.find('<', at_);
        const size_t stop = end == std::string_view::npos ? text_.size() : end;
        if (!Characters(text_.substr(at_, stop - at_), element->Text)) return nullptr;
        Advance(stop - at_);
      }
    }
  }

  std::string_view text_;
  std::string_view detach_name_;
  const XmlElementSink* take_;
  size_t at_ = 0;
  uint64_t steps_ = 0;
  int line_ = 1;
  std::string error_;
};

}  // namespace

const XmlElement* XmlElement::Child(std::string_view name) const {
  for (const auto& child : Children) {
    if (child->Name == name) return child.get();
  }
  return nullptr;
}

std::unique_ptr<XmlElement> ParseXml(std::string_view text, std::string& fault) {
  return XmlParser(text).Document(fault);
}

std::unique_ptr<XmlElement> ParseXml(std::string_view text, std::string& fault, std::string_view name,
                                     const XmlElementSink& take) {
  return XmlParser(text, name, &take).Document(fault);
}
