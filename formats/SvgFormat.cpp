// The SVG picture: elements as labelled circles on their ranks, edges as
// polylines through their bends, the tables as grids of cells.

#include "formats/SvgFormat.h"

#include <algorithm>
#include <cstdio>

#include "diagram/HasseLayout.h"
#include "formats/LatexFormat.h"

namespace {

constexpr double kMargin = 16;
constexpr double kUnitX = 38;       // pixels per unit of horizontal place
constexpr double kUnitY = 52;       // pixels per rank
constexpr double kRadius = 11;
constexpr double kCell = 17;        // table cell side
constexpr double kTitleHeight = 28;
constexpr double kTableGap = 18;
constexpr double kTablesWide = 760;  // tables wrap onto a new row beyond this width
constexpr const char* kFont = "DejaVu Sans, Helvetica, Arial, sans-serif";

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

// The length of the valid UTF-8 sequence starting at i, 0 when there is none.
size_t Utf8Length(const std::string& text, size_t i) {
  const auto byte = [&text](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
  if (lead >= 0xF5) length = 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return length;
}

std::string Text(double x, double y, const std::string& text, const char* extra = "") {
  return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"" + extra + ">" + XmlText(text) + "</text>\n";
}

struct Size2 {
  double width = 0, height = 0;
};

// The diagram with its top-left corner at (left, top); returns its size.
Size2 AppendDiagram(std::string& out, const ExchangeTables& tables, double left, double top) {
  const MeetTable meet = MeetOfPositions(tables.Size, tables.Meet);
  const std::string fault = MeetFault(meet);
  if (!fault.empty()) {
    const std::string note = NoDiagramText(fault);
    out += Text(left, top + 14, note, " font-style=\"italic\"");
    return {7.0 * static_cast<double>(note.size()), 20};
  }
  const HasseLayout layout = LayoutHasse(meet);
  const auto px = [&](double x) { return left + kRadius + (x - layout.Left) * kUnitX; };
  const auto py = [&](int rank) { return top + kRadius + (layout.Height - rank) * kUnitY; };
  out += "<g fill=\"none\" stroke=\"black\" stroke-width=\"1.2\">\n";
  for (const HasseEdge& edge : layout.Edges) {
    out += "<polyline points=\"" + Number(px(layout.X[edge.Lower])) + "," + Number(py(layout.Rank[edge.Lower]));
    for (size_t i = 0; i < edge.BendX.size(); ++i)
      out += " " + Number(px(edge.BendX[i])) + "," + Number(py(layout.Rank[edge.Lower] + 1 + static_cast<int>(i)));
    out += " " + Number(px(layout.X[edge.Upper])) + "," + Number(py(layout.Rank[edge.Upper])) + "\"/>\n";
  }
  out += "</g>\n<g font-size=\"13\" text-anchor=\"middle\">\n";
  for (int p = 0; p < layout.Size; ++p) {
    const double x = px(layout.X[p]), y = py(layout.Rank[p]);
    out += "<circle cx=\"" + Number(x) + "\" cy=\"" + Number(y) + "\" r=\"" + Number(kRadius) +
           "\" fill=\"white\" stroke=\"black\" stroke-width=\"1.2\"/>\n";
    out += Text(x, y + 4.5, std::string(1, ElementName(p, tables.Size)));
  }
  out += "</g>\n";
  return {2 * kRadius + (layout.Right - layout.Left) * kUnitX, 2 * kRadius + layout.Height * kUnitY};
}

// One operation table as a grid: the symbol in the corner, the elements as
// heads, row element the left operand.
void AppendTable(std::string& out, const char* symbol, const std::vector<uint8_t>& table, int columns, int n,
                 double left, double top) {
  const int rows = n;
  const double width = (columns + 1) * kCell, height = (rows + 1) * kCell;
  out += "<g font-size=\"11\" text-anchor=\"middle\">\n";
  out += "<rect x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(width) + "\" height=\"" +
         Number(kCell) + "\" fill=\"#e8e8e8\"/>\n";
  out += "<rect x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(kCell) + "\" height=\"" +
         Number(height) + "\" fill=\"#e8e8e8\"/>\n";
  const auto cell = [&](int row, int column, const std::string& text, bool bold) {
    out += Text(left + (column + 0.5) * kCell, top + (row + 0.5) * kCell + 4, text, bold ? " font-weight=\"bold\"" : "");
  };
  cell(0, 0, symbol, true);
  // A unary table (the delta) has no column head, as in the window.
  if (columns > 1)
    for (int c = 0; c < columns; ++c) cell(0, c + 1, std::string(1, ElementName(c, n)), true);
  for (int r = 0; r < rows; ++r) {
    cell(r + 1, 0, std::string(1, ElementName(r, n)), true);
    for (int c = 0; c < columns; ++c) cell(r + 1, c + 1, std::string(1, ElementName(table[r * columns + c], n)), false);
  }
  out += "</g>\n<g stroke=\"#808080\" stroke-width=\"0.6\">\n";
  for (int r = 0; r <= rows + 1; ++r)
    out += "<line x1=\"" + Number(left) + "\" y1=\"" + Number(top + r * kCell) + "\" x2=\"" + Number(left + width) +
           "\" y2=\"" + Number(top + r * kCell) + "\"/>\n";
  for (int c = 0; c <= columns + 1; ++c)
    out += "<line x1=\"" + Number(left + c * kCell) + "\" y1=\"" + Number(top) + "\" x2=\"" +
           Number(left + c * kCell) + "\" y2=\"" + Number(top + height) + "\"/>\n";
  out += "</g>\n";
}

// The tables in rows, left to right; returns the size they take.
Size2 AppendTables(std::string& out, const ExchangeTables& t, bool with_implication, double left, double top) {
  struct Entry {
    const char* symbol;
    std::vector<uint8_t> table;
    int columns;
  };
  std::vector<Entry> entries{{"^", t.Meet, t.Size}, {"*", t.Prod, t.Size}, {"~", t.Eq, t.Size}};
  if (t.HasDelta()) entries.push_back({"d", t.Delta, 1});
  if (t.HasJoin()) entries.push_back({"m", t.Join, t.Size});
  if (with_implication) entries.push_back({">", ImplicationTable(t), t.Size});
  Size2 used;
  double x = left, y = top, row_height = 0;
  for (const Entry& entry : entries) {
    const double width = (entry.columns + 1) * kCell, height = (t.Size + 1) * kCell;
    if (x > left && x + width - left > kTablesWide) {
      x = left;
      y += row_height + kTableGap;
      row_height = 0;
    }
    AppendTable(out, entry.symbol, entry.table, entry.columns, t.Size, x, y);
    used.width = std::max(used.width, x + width - left);
    row_height = std::max(row_height, height);
    used.height = std::max(used.height, y + height - top);
    x += width + kTableGap;
  }
  return used;
}

}  // namespace

std::string XmlText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const size_t length = Utf8Length(text, i);
      out += length == 0 ? std::string("?") : text.substr(i, length);
      i += std::max<size_t>(length, 1);
      continue;
    }
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c < 0x20 && c != '\t' ? '?' : static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

std::string SvgDocument(const std::string& title, const ExchangeTables& tables, const SvgOptions& options) {
  std::string body;
  const double top = kMargin + kTitleHeight;
  const Size2 diagram = AppendDiagram(body, tables, kMargin, top);
  Size2 table_area;
  if (options.WithTables) {
    table_area = AppendTables(body, tables, options.WithImplication, kMargin + diagram.width + 2 * kTableGap, top);
  }
  const double title_width = 9.0 * static_cast<double>(title.size());
  const double width = 2 * kMargin + std::max(title_width, diagram.width + (options.WithTables ? 2 * kTableGap + table_area.width : 0));
  const double height = top + std::max(diagram.height, table_area.height) + kMargin;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width) + "\" height=\"" +
         Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\" font-family=\"" + kFont +
         "\">\n";
  out += "<title>" + XmlText(title) + "</title>\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  out += Text(kMargin, kMargin + 14, title, " font-size=\"15\" font-weight=\"bold\"");
  out += body;
  out += "</svg>\n";
  return out;
}
