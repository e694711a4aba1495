#include "formats/ImportMessages.h"

std::string Shortened(std::string_view token) {
  size_t end = 0;
  size_t characters = 0;
  while (end < token.size() && characters < kShownCharacters) {
    ++end;
    // Continuation bytes belong to the character before them.
    while (end < token.size() && (static_cast<unsigned char>(token[end]) & 0xC0) == 0x80) ++end;
    ++characters;
  }
  std::string shown(token.substr(0, end));
  if (end < token.size()) shown.append("…");
  return shown;
}

std::string Quoted(std::string_view token) {
  std::string quoted(1, '"');
  quoted.append(Shortened(token)).push_back('"');
  return quoted;
}

std::string RefusalReport::Refused(std::string_view label, std::string_view fault) {
  ++refused_;
  if (refused_ > kShownRefusals) return {};
  return std::string(label) + ": " + std::string(fault);
}

std::string RefusalReport::Summary() const {
  if (refused_ <= kShownRefusals) return {};
  const int64_t more = refused_ - kShownRefusals;
  return std::to_string(more) + (more == 1 ? " more model was" : " more models were") + " refused; " +
         std::to_string(converted_) + " converted";
}
