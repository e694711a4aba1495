// LaTeX tables: the operation's symbol in the corner, the elements as column
// and row heads, one row per left operand.

#include "formats/LatexFormat.h"

#include "formats/TikzFormat.h"

namespace {

std::string EscapedText(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\textbackslash{}"; break;
      case '{': case '}': case '$': case '&': case '#': case '_': case '%':
        out += '\\';
        out += c;
        break;
      case '^': out += "\\textasciicircum{}"; break;
      case '~': out += "\\textasciitilde{}"; break;
      default:
        // Bytes outside ASCII and control characters would not survive a plain pdflatex.
        out += static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80 ? '?' : c;
    }
  }
  return out;
}

std::string Cell(int position, int n) { return std::string("$") + ElementName(position, n) + "$"; }

void AppendBinary(std::string& out, const char* symbol, const std::vector<uint8_t>& table, int n) {
  out += "\\begin{tabular}{c|" + std::string(n, 'c') + "}\n\\toprule\n$" + symbol + "$";
  for (int y = 0; y < n; ++y) out += " & " + Cell(y, n);
  out += " \\\\\n\\midrule\n";
  for (int x = 0; x < n; ++x) {
    out += Cell(x, n);
    for (int y = 0; y < n; ++y) out += " & " + Cell(table[x * n + y], n);
    out += " \\\\\n";
  }
  out += "\\bottomrule\n\\end{tabular}\n";
}

void AppendUnary(std::string& out, const char* symbol, const std::vector<uint8_t>& table, int n) {
  out += "\\begin{tabular}{c|c}\n\\toprule\n$x$ & $" + std::string(symbol) + "(x)$ \\\\\n\\midrule\n";
  for (int x = 0; x < n; ++x) out += Cell(x, n) + " & " + Cell(table[x], n) + " \\\\\n";
  out += "\\bottomrule\n\\end{tabular}\n";
}

}  // namespace

std::vector<uint8_t> ImplicationTable(const ExchangeTables& t) {
  const int n = t.Size, top = t.Top();
  std::vector<uint8_t> out(n * n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      const int meet = t.Meet[x * n + y];
      out[x * n + y] = static_cast<uint8_t>(x == 0 || y == top || meet == x ? top : t.Eq[meet * n + x]);
    }
  return out;
}

std::string LatexDocument(const std::vector<LatexAlgebra>& algebras, bool with_implication) {
  std::string out =
      "\\documentclass{article}\n\\usepackage{booktabs}\n\\usepackage{tikz}\n"
      "\\setlength{\\tabcolsep}{3pt}\n\\setlength{\\parindent}{0pt}\n\\setlength{\\lineskip}{1.5ex}\n"
      "\\begin{document}\n\\raggedright\n";
  for (const LatexAlgebra& algebra : algebras) {
    const ExchangeTables& t = algebra.Tables;
    const int n = t.Size;
    out += "\n\\subsection*{" + EscapedText(algebra.Title) + "}\n";
    // Smaller type for wide tables, so 28 columns still fit the page.
    if (n > 12) out += n > 20 ? "{\\scriptsize\\setlength{\\tabcolsep}{2pt}\n" : "{\\footnotesize\n";
    // Up to 12 elements the diagram and the tables flow side by side, as
    // many to a line as fit (ragged right, so a short line is no fault);
    // larger ones stand one below the other.
    const auto separate = [&out, n] { out += n <= 12 ? "\\quad\n" : "\\medskip\n\n"; };
    // The Hasse diagram first, beside the tables.
    out += TikzDiagram(t);
    separate();
    AppendBinary(out, "\\wedge", t.Meet, n);
    separate();
    AppendBinary(out, "\\otimes", t.Prod, n);
    separate();
    AppendBinary(out, "\\sim", t.Eq, n);
    if (t.HasDelta()) {
      separate();
      AppendUnary(out, "\\delta", t.Delta, n);
    }
    if (t.HasJoin()) {
      separate();
      AppendBinary(out, "\\vee", t.Join, n);
    }
    if (with_implication) {
      separate();
      AppendBinary(out, "\\rightarrow", ImplicationTable(t), n);
    }
    if (n > 12) out += "}\n";
  }
  out += "\n\\end{document}\n";
  return out;
}
