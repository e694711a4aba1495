#pragma once
// Messages of an import kept readable whatever the file holds: a token is
// quoted by its first characters only, and of many refused models only the
// first few are told, the rest summed up in one line.

#include <cstdint>
#include <string>
#include <string_view>

// At most this many characters of a token from a file appear in a message.
inline constexpr size_t kShownCharacters = 40;

// The token cut to its first kShownCharacters characters (UTF-8 sequences
// kept whole), with "…" when something was cut.
std::string Shortened(std::string_view token);

// The token shortened and in double quotes.
std::string Quoted(std::string_view token);

// Tells the refused models of one file: the first kShownRefusals in full,
// then only a count.
class RefusalReport {
 public:
  static constexpr int64_t kShownRefusals = 20;

  // The line to show for a refused model, or empty once enough were shown.
  std::string Refused(std::string_view label, std::string_view fault);
  void Converted() { ++converted_; }

  int64_t RefusedCount() const { return refused_; }
  int64_t ConvertedCount() const { return converted_; }
  // "N more models were refused; M were converted", or empty when every
  // refusal was shown.
  std::string Summary() const;

 private:
  int64_t refused_ = 0;
  int64_t converted_ = 0;
};
