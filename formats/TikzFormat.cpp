#include "formats/TikzFormat.h"

#include <algorithm>
#include <cstdio>

#include "diagram/HasseLayout.h"

namespace {

// Units in millimetres: comfortable for small lattices, shrunk so that a
// wide or tall one (a 28-element chain has 27 ranks) fits the text block.
constexpr double kUnitX = 9, kUnitY = 11;
constexpr double kMostWidth = 110, kMostHeight = 170;
constexpr double kNodeSize = 4.6;

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

std::string Point(double x, int rank) { return "(" + Number(x) + "," + std::to_string(rank) + ")"; }

}  // namespace

std::string TikzDiagram(const ExchangeTables& tables) {
  const MeetTable meet = MeetOfPositions(tables.Size, tables.Meet);
  const std::string fault = MeetFault(meet);
  // The fault names elements and "^" only: letters, digits, spaces, ^ ( ) = :,
  // and ^ is the one of them LaTeX treats specially.
  if (!fault.empty()) {
    std::string note;
    for (const char c : NoDiagramText(fault)) note += c == '^' ? std::string("$\\wedge$") : std::string(1, c);
    return "\\emph{" + note + "}\n";
  }
  const HasseLayout layout = LayoutHasse(meet);
  const double width = layout.Right - layout.Left;
  const double unit_x = width > 0 ? std::min(kUnitX, kMostWidth / width) : kUnitX;
  const double unit_y = layout.Height > 0 ? std::clamp(kMostHeight / layout.Height, kNodeSize + 1, kUnitY) : kUnitY;
  // Centred on the baseline, so it stands level with the tables beside it.
  std::string out = "\\begin{tikzpicture}[baseline=(current bounding box.center),x=" + Number(unit_x) + "mm,y=" + Number(unit_y) +
                    "mm,element/.style={circle,draw,fill=white,inner sep=0pt,minimum size=" + Number(kNodeSize) +
                    "mm,font=\\footnotesize}]\n";
  const auto x_of = [&layout](double x) { return x - layout.Left; };
  for (const HasseEdge& edge : layout.Edges) {
    out += "\\draw " + Point(x_of(layout.X[edge.Lower]), layout.Rank[edge.Lower]);
    for (size_t i = 0; i < edge.BendX.size(); ++i)
      out += " -- " + Point(x_of(edge.BendX[i]), layout.Rank[edge.Lower] + 1 + static_cast<int>(i));
    out += " -- " + Point(x_of(layout.X[edge.Upper]), layout.Rank[edge.Upper]) + ";\n";
  }
  for (int p = 0; p < layout.Size; ++p) {
    out += "\\node[element] at " + Point(x_of(layout.X[p]), layout.Rank[p]) + " {$" +
           std::string(1, ElementName(p, tables.Size)) + "$};\n";
  }
  out += "\\end{tikzpicture}\n";
  return out;
}
