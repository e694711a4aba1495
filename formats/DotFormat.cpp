#include "formats/DotFormat.h"

#include <cstdio>

#include "diagram/HasseLayout.h"

namespace {

constexpr double kPointsX = 36;  // points per unit of horizontal place
constexpr double kPointsY = 54;  // points per rank

// A double-quoted DOT identifier: quotes and backslashes escaped, control
// characters and bytes outside ASCII as '?' (the title is free text).
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') out += '\\';
    out += u < 0x20 || u >= 0x80 ? '?' : c;
  }
  return out + "\"";
}

std::string Node(int position, int n) { return Quoted(std::string(1, ElementName(position, n))); }

}  // namespace

bool DotGraph(const std::string& title, const ExchangeTables& tables, std::string& text, std::string& fault) {
  const MeetTable meet = MeetOfPositions(tables.Size, tables.Meet);
  const std::string meet_fault = MeetFault(meet);
  if (!meet_fault.empty()) {
    fault = NoDiagramText(meet_fault);
    return false;
  }
  const HasseLayout layout = LayoutHasse(meet);
  const int n = layout.Size;
  std::string out = "graph " + Quoted(title) + " {\n";
  out += "  label=" + Quoted(title) + ";\n  labelloc=t;\n  rankdir=BT;\n";
  out += "  node [shape=circle, fixedsize=true, width=0.32, fontsize=12];\n";
  for (int p = 0; p < n; ++p) {
    char pos[64];
    std::snprintf(pos, sizeof pos, "%.1f,%.1f!", (layout.X[p] - layout.Left) * kPointsX, layout.Rank[p] * kPointsY);
    out += "  " + Node(p, n) + " [pos=\"" + pos + "\"];\n";
  }
  for (int rank = 0; rank <= layout.Height; ++rank) {
    out += "  { rank=same;";
    for (int p = 0; p < n; ++p)
      if (layout.Rank[p] == rank) out += " " + Node(p, n) + ";";
    out += " }\n";
  }
  for (const HasseEdge& edge : layout.Edges) out += "  " + Node(edge.Lower, n) + " -- " + Node(edge.Upper, n) + ";\n";
  out += "}\n";
  text = std::move(out);
  return true;
}
