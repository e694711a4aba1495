// The canonical text and the table dump. Both read the operations through
// dense tables built with the lookup rules, so they show exactly what the
// lookups define (a cell without entry shows character 0).

#include <memory>

#include "model/EQAlgebra.h"
#include "model/LookupTables.h"
#include "model/Settings.h"

namespace {

// The canonical text's cells: 9 characters per pair cell, 7 per delta cell.
void AppendPairCells(std::string& text, const LookupTables& tables, int n, char op,
                     uint8_t (LookupTables::*value)(uint8_t, uint8_t) const) {
  for (int p = 0; p < n; ++p) {
    const uint8_t x = tables.Element(p);
    for (int q = 0; q < n; ++q) {
      const uint8_t y = tables.Element(q);
      const char cell[9] = {op, '[', tables.CharOf(x), ',', tables.CharOf(y), ']', '=',
                            tables.CharOf((tables.*value)(x, y)), ';'};
      text.append(cell, sizeof cell);
    }
  }
}

// The dump reads through its own tables, so a dump never disturbs the
// scratch tables an evaluation may be using.
LookupTables& DumpTablesScratch() {
  thread_local std::unique_ptr<LookupTables> tables = std::make_unique<LookupTables>();
  return *tables;
}

constexpr char kGap[] = "     ";  // five blanks between tables

// One table of the dump: a square table of x op y, or a single column (delta,
// negation) that is 9 characters wide in every line.
struct DumpTable {
  char op;
  bool single;
  // The value of row x, column y (y unused for a single column), as a character.
  char (*cell)(const LookupTables&, uint8_t x, uint8_t y);
};

char InfCell(const LookupTables& t, uint8_t x, uint8_t y) { return t.CharOf(t.Inf(x, y)); }
char ProdCell(const LookupTables& t, uint8_t x, uint8_t y) { return t.CharOf(t.Prod(x, y)); }
char EqCell(const LookupTables& t, uint8_t x, uint8_t y) { return t.CharOf(t.Eq(x, y)); }
char DeltaCell(const LookupTables& t, uint8_t x, uint8_t) { return t.CharOf(t.Del(x)); }
char MaxCell(const LookupTables& t, uint8_t x, uint8_t y) { return t.CharOf(t.Max(x, y)); }
char ImpCell(const LookupTables& t, uint8_t x, uint8_t y) { return t.CharOf(t.Imp(x, y)); }
char OrderCell(const LookupTables& t, uint8_t x, uint8_t y) { return t.Leq(x, y) ? '1' : '0'; }
char NegationCell(const LookupTables& t, uint8_t x, uint8_t) {
  return t.CharOf(t.Eq(x, t.Zero()));
}

// Header, rule and one line per element; every line starts with two blanks.
// Header and rule lines carry five blanks after every table; a value line
// puts them only between tables.
void AppendBlock(std::string& out, const LookupTables& tables,
                 const DumpTable* block, int table_count) {
  const int n = tables.ElementCount();
  out += "  ";
  for (int t = 0; t < table_count; ++t) {
    out += block[t].op;
    out += ' ';
    if (block[t].single) {
      out += "  ";
    } else {
      for (int q = 0; q < n; ++q) {
        out += tables.CharOf(tables.Element(q));
        out += ' ';
      }
    }
    out += kGap;
  }
  out += "\r\n  ";
  for (int t = 0; t < table_count; ++t) {
    out += "-|";
    out.append(block[t].single ? 2 : 2 * n, '-');
    out += kGap;
  }
  out += "\r\n";
  for (int p = 0; p < n; ++p) {
    const uint8_t x = tables.Element(p);
    out += "  ";
    for (int t = 0; t < table_count; ++t) {
      if (t > 0) out += kGap;
      out += tables.CharOf(x);
      out += '|';
      const int columns = block[t].single ? 1 : n;
      for (int q = 0; q < columns; ++q) {
        out += block[t].cell(tables, x, tables.Element(q));
        out += ' ';
      }
    }
    out += "\r\n";
  }
}

}  // namespace

// Capacity is kept between calls: after the first text of the largest
// length no further allocation happens.
const std::string& TEQAlgebra::BuildCanonicalText() {
  LookupTables& tables = ScratchTables();
  tables.Build(*this);
  const int n = tables.ElementCount();
  std::string& text = CanonicalText;
  text.clear();
  text.reserve(static_cast<size_t>(27 * n * n + (Settings.DeltaEnabled ? 7 * n : 0) +
                                   (Settings.MaximumEnabled ? 9 * n * n : 0)));
  AppendPairCells(text, tables, n, '^', &LookupTables::Inf);
  AppendPairCells(text, tables, n, '*', &LookupTables::Prod);
  AppendPairCells(text, tables, n, '~', &LookupTables::Eq);
  if (Settings.DeltaEnabled) {
    for (int p = 0; p < n; ++p) {
      const uint8_t x = tables.Element(p);
      const char cell[7] = {'d', '[', tables.CharOf(x), ']', '=', tables.CharOf(tables.Del(x)), ';'};
      text.append(cell, sizeof cell);
    }
  }
  if (Settings.MaximumEnabled) AppendPairCells(text, tables, n, 'm', &LookupTables::Max);
  return text;
}

std::string TEQAlgebra::DumpTables() const {
  LookupTables& tables = DumpTablesScratch();
  tables.Build(*this);

  DumpTable operations[5];
  int count = 0;
  operations[count++] = {'^', false, InfCell};
  operations[count++] = {'*', false, ProdCell};
  operations[count++] = {'~', false, EqCell};
  if (Settings.DeltaEnabled) operations[count++] = {'d', true, DeltaCell};
  if (Settings.MaximumEnabled) operations[count++] = {'m', false, MaxCell};

  std::string out;
  AppendBlock(out, tables, operations, count);
  if (Settings.ShowDerived) {
    static constexpr DumpTable kDerived[3] = {
        {'i', false, ImpCell}, {'<', false, OrderCell}, {'-', true, NegationCell}};
    out += " \r\n";
    AppendBlock(out, tables, kDerived, 3);
  }
  return out;
}

char ElementName(int position, int n) {
  if (position == 0) return '0';
  if (position == n - 1) return '1';
  return static_cast<char>('a' + position - 1);
}
