#pragma once
// The Hasse diagram of an algebra's meet as a TikZ picture for the LaTeX
// export: circled element names on their ranks, edges through their bends,
// scaled to fit a page. When ^ is not a meet, a line naming the law that
// fails stands in its place.

#include <string>

#include "formats/ExchangeTables.h"

std::string TikzDiagram(const ExchangeTables& tables);
