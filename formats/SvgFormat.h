#pragma once
// A standalone SVG picture of an algebra: its title, the Hasse diagram of
// its meet (or, when ^ is not a meet, the law that fails), and on request
// its operation tables beside it, drawn as the window draws them.

#include <string>

#include "formats/ExchangeTables.h"

struct SvgOptions {
  bool WithTables = false;       // the tables of the operations exchanged, beside the diagram
  bool WithImplication = false;  // and the derived implication among them
};

std::string SvgDocument(const std::string& title, const ExchangeTables& tables, const SvgOptions& options);

// Text for XML character data and attribute values: markup characters as
// references, control characters (not allowed in XML 1.0) and bytes that
// are not UTF-8 as '?'.
std::string XmlText(const std::string& text);
