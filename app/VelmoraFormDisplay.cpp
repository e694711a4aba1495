// Drawing the shown algebra (six tables, the property labels, the fitness)
// and browsing the members of a population.
#include <algorithm>
#include <optional>

#include "app/Colours.h"
#include "app/NumberText.h"
#include "model/Settings.h"
#include "app/SpinEdit.h"
#include "app/ReadableColours.h"
#include "app/VelmoraForm.h"

namespace {

// The one-character text of an element; the character of code 0 is no element.
QString ElementText(char c) {
  return c == 0 ? QString() : QString(QChar(static_cast<unsigned char>(c)));
}

// Element e_i (1-based) of the shown algebra, 0 beyond its size.
char ElementAt(const TEQAlgebra& algebra, int i) {
  return i >= 1 && i <= algebra.Size ? algebra.ElementList[static_cast<size_t>(i - 1)] : 0;
}

// Writes a cell, reusing its item; the header row and column look like headers.
void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
  QTableWidgetItem* item = grid->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    if (row == 0 || column == 0) {
      QFont font = grid->font();
      font.setBold(true);
      item->setFont(font);
      item->setBackground(grid->palette().color(QPalette::Button));
    }
    grid->setItem(row, column, item);
  }
  if (item->text() != text) item->setText(text);
}

// Rows and columns of the given counts, each wide enough for one character
// of the grid's font, and the grid sized to show them all (the tables' area
// scrolls instead).
void ShapeGrid(QTableWidget* grid, int rows, int columns) {
  if (grid->rowCount() != rows) grid->setRowCount(rows);
  if (grid->columnCount() != columns) grid->setColumnCount(columns);
  const QFontMetrics metrics(grid->font());
  const int point_size = std::max(grid->font().pointSize(), 1);
  const int width = std::max(point_size + 2, metrics.horizontalAdvance(QLatin1Char('W')) + 8);
  const int height = std::max(point_size + 6, metrics.height() + 4);
  for (int c = 0; c < columns; ++c) {
    if (grid->columnWidth(c) != width) grid->setColumnWidth(c, width);
  }
  for (int r = 0; r < rows; ++r) {
    if (grid->rowHeight(r) != height) grid->setRowHeight(r, height);
  }
  const int frame = 2 * grid->frameWidth();
  grid->setFixedSize(columns * width + frame, rows * height + frame);
}

// A square table: corner symbol, the elements along the top and the left,
// cell (row i, column j) = e_i op e_j.
template <typename Operation>
void FillSquare(QTableWidget* grid, const TEQAlgebra& algebra, const QString& symbol, Operation op) {
  const int n = std::clamp(algebra.Size, 1, kMaxElements);  // a malformed file may give none
  ShapeGrid(grid, n + 1, n + 1);
  SetCell(grid, 0, 0, symbol);
  for (int i = 1; i <= n; ++i) {
    const QString text = ElementText(ElementAt(algebra, i));
    SetCell(grid, 0, i, text);
    SetCell(grid, i, 0, text);
  }
  for (int i = 1; i <= n; ++i) {
    const char x = ElementAt(algebra, i);
    for (int j = 1; j <= n; ++j) {
      const char y = ElementAt(algebra, j);
      SetCell(grid, i, j, x == 0 || y == 0 ? QString() : ElementText(op(x, y)));
    }
  }
}

// Changes a label only where it differs: during a run every change costs a
// repaint, and most steps leave most labels as they were.
void SetLabel(QLabel* label, const QString& text, std::optional<QColor> colour) {
  if (label->text() != text) label->setText(text);
  if (!colour) return;
  // The colour as asked on a light theme, lightened on a dark one.
  const QColor readable = ReadableOn(*colour, label->palette().color(QPalette::Window));
  if (label->palette().color(QPalette::WindowText) != readable) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, readable);
    label->setPalette(palette);
  }
}

}  // namespace

bool TEQForm::ShownAlgebraIsMember() const {
  if (ShownAlgebra == nullptr || !BrowsedPopulation) return false;
  for (int i = 0; i < BrowsedPopulation->Count(); ++i) {
    if (BrowsedPopulation->Get(i) == ShownAlgebra) return true;
  }
  return false;
}

TEQAlgebra* TEQForm::LiveShownAlgebra() {
  if (ShownAlgebra != nullptr && !ShownAlgebraIsMember()) ShownAlgebra = nullptr;
  return ShownAlgebra;
}

void TEQForm::ShowAlgebra() {
  // A step under way may have moved the shown member out of the browsed
  // population (and freed it); such a member is never drawn.
  if (!DisplayReady || LiveShownAlgebra() == nullptr) return;
  ShowInfimumTable();
  ShowProductTable();
  ShowFEqualityTable();
  ShowImplicationTable();
  ShowDeltaTable();
  ShowMaximumTable();
  ShowRequiredProperties();
  ShowOptionalProperties();
  ShowLattice();
}

void TEQForm::ShowInfimumTable() {
  const TEQAlgebra& a = *ShownAlgebra;
  FillSquare(StringGridEditInf, a, QStringLiteral("^"), [&a](char x, char y) { return a.Infimum(x, y); });
}

void TEQForm::ShowProductTable() {
  const TEQAlgebra& a = *ShownAlgebra;
  FillSquare(StringGridProd, a, QStringLiteral("*"), [&a](char x, char y) { return a.Product(x, y); });
}

void TEQForm::ShowFEqualityTable() {
  const TEQAlgebra& a = *ShownAlgebra;
  FillSquare(StringGridFEq, a, QStringLiteral("~"), [&a](char x, char y) { return a.Equality(x, y); });
}

void TEQForm::ShowImplicationTable() {
  const TEQAlgebra& a = *ShownAlgebra;
  FillSquare(StringGridImp, a, QStringLiteral(">"), [&a](char x, char y) { return a.Implication(x, y); });
}

void TEQForm::ShowMaximumTable() {
  const bool shown = Settings.MaximumEnabled;
  StringGridMax->setVisible(shown);
  LabelMaximumCaption->setVisible(shown);
  if (!shown) return;  // hidden and left as it was
  const TEQAlgebra& a = *ShownAlgebra;
  FillSquare(StringGridMax, a, QStringLiteral("m"), [&a](char x, char y) { return a.Maximum(x, y); });
}

void TEQForm::ShowDeltaTable() {
  const bool shown = Settings.DeltaEnabled;
  StringGridDelta->setVisible(shown);
  LabelDeltaCaption->setVisible(shown);
  if (!shown) return;
  const TEQAlgebra& a = *ShownAlgebra;
  const int n = std::clamp(a.Size, 1, kMaxElements);
  ShapeGrid(StringGridDelta, n + 1, 2);
  SetCell(StringGridDelta, 0, 0, QStringLiteral("d"));
  SetCell(StringGridDelta, 0, 1, QString());  // the table has no column heading
  for (int i = 1; i <= n; ++i) {
    const char x = ElementAt(a, i);
    SetCell(StringGridDelta, i, 0, ElementText(x));
    SetCell(StringGridDelta, i, 1, x == 0 ? QString() : ElementText(a.Delta(x)));
  }
}

void TEQForm::ShowPropertyResult(QLabel* label, const QString& name, int32_t count, int32_t target) {
  if (!DisplayReady) return;
  const bool failing = target > count;
  const QString text = failing ? QStringLiteral("Non-%1: %2/%3, Errors: %4").arg(name).arg(count).arg(target).arg(target - count)
                               : QStringLiteral("%1: %2/%3 OK").arg(name).arg(count).arg(target);
  SetLabel(label, text, failing ? kRed : kGreen);
}

void TEQForm::ShowRequiredProperties() {
  if (!DisplayReady || ShownAlgebra == nullptr) return;
  ReservePropertyWidths(ShownAlgebra->Size);
  using Check = int32_t (TEQAlgebra::*)(int32_t&, int32_t&);
  struct Row {
    QLabel* label;
    const char* name;
    Check check;
  };
  const std::array<Row, 12> rows{{
      {LabelAssocInf, "Associative Infimum", &TEQAlgebra::CheckAssociativeInfimum},
      {LabelCommInf, "Commutative Infimum", &TEQAlgebra::CheckCommutativeInfimum},
      {LabelNeuInf, "Neutral Infimum", &TEQAlgebra::CheckNeutralInfimum},
      {LabelIdInf, "Idempotent Infimum", &TEQAlgebra::CheckIdempotentInfimum},
      {LabelIsoProd, "Isotone product", &TEQAlgebra::CheckIsotoneProduct},
      {LabelAssocProd, "Associative product", &TEQAlgebra::CheckAssociativeProduct},
      {LabelNeuProd, "Neutral product", &TEQAlgebra::CheckNeutralProduct},
      {LabelRefE, "Reflexive FEquality", &TEQAlgebra::CheckReflexiveFEquality},
      {LabelSubst, "Substitution", &TEQAlgebra::CheckSubstitution},
      {LabelCon, "Congruence", &TEQAlgebra::CheckCongruence},
      {LabelMonoImp, "Monotone Implication", &TEQAlgebra::CheckMonotoneImplication},
      {LabelBound, "Boundedness", &TEQAlgebra::CheckBoundedness},
  }};
  for (const Row& row : rows) {
    int32_t passed = 0;
    int32_t total = 0;
    (ShownAlgebra->*row.check)(passed, total);
    ShowPropertyResult(row.label, QString::fromLatin1(row.name), passed, total);
  }
  const double fitness = ShownAlgebra->Evaluate();
  SetLabel(LabelFitness, QStringLiteral("Fitness :") + GeneralNumber(100.0 * fitness) + QStringLiteral("%"), std::nullopt);
}

void TEQForm::ShowOptionalProperties() {
  if (!DisplayReady || ShownAlgebra == nullptr) return;
  TEQAlgebra& a = *ShownAlgebra;
  int32_t passed = 0;
  int32_t total = 0;
  const auto show = [&](QLabel* label, const char* name, auto check) {
    passed = 0;
    total = 0;
    (a.*check)(passed, total);
    ShowPropertyResult(label, QString::fromLatin1(name), passed, total);
  };

  a.CheckColourfulness(passed, total);
  ShowPropertyResult(LabelColorful, QStringLiteral("Colorfulness"), passed, Settings.ColorfulnessFEq);
  a.CheckColourfulnessProduct(passed, total);
  ShowPropertyResult(LabelColProd, QStringLiteral("Colorfulness(*)"), passed, Settings.ColorfulnessProd);
  show(LabelGood, "Goodness", &TEQAlgebra::CheckGoodness);
  show(LabelInv, "Involutive", &TEQAlgebra::CheckInvolutive);
  show(LabelSemi, "Semiseparated", &TEQAlgebra::CheckSemiseparated);
  show(LabelSepar, "Separated", &TEQAlgebra::CheckSeparated);
  show(LabelResid, "Residuated", &TEQAlgebra::CheckResiduated);
  show(LabelComm, "Commutative", &TEQAlgebra::CheckCommutative);
  show(LabelLinear, "Linear", &TEQAlgebra::CheckLinear);
  const bool maximum = Settings.MaximumEnabled;
  LabelLat->setVisible(maximum);
  if (maximum) show(LabelLat, "Lattice", &TEQAlgebra::CheckLattice);
  LabelPre->setVisible(maximum);
  if (maximum) show(LabelPre, "Prelinear", &TEQAlgebra::CheckPrelinear);
  LabelSupProd->setVisible(maximum);
  if (maximum) show(LabelSupProd, "Sup-product distributivity", &TEQAlgebra::CheckSupProductDistributivity);
  show(LabelEqProd, "Equality over ProdEquality", &TEQAlgebra::CheckEqualityOverProdEquality);
  LabelDeltaProp->setVisible(Settings.DeltaEnabled);
  if (Settings.DeltaEnabled) {
    LabelDeltaProp->setEnabled(true);
    show(LabelDeltaProp, "Delta properties", &TEQAlgebra::CheckDeltaProperties);
  }
}

// --- Browsing -------------------------------------------------------------------

void TEQForm::SelectMember() {
  const int index = SpinEditMember->TextAsInteger(0);  // read as typed, not clamped
  const int count = BrowsedPopulation ? BrowsedPopulation->Count() : 0;
  {
    // The range follows the population; its own clamping must not select again.
    const QSignalBlocker blocker(SpinEditMember);
    SpinEditMember->SetRange(0, std::max(count - 1, 0));
  }
  SetLabel(LabelPop, QString::number(count), std::nullopt);
  TEQAlgebra* member = BrowsedPopulation ? BrowsedPopulation->Get(index) : nullptr;
  if (member != nullptr) {
    ShownAlgebra = member;
    if (Generations && BrowsedPopulation == Generations->FWinners()) {
      SetLabel(LabelPopInd, QStringLiteral("Winners"), kGreen);
    } else if (FoundPopulation && BrowsedPopulation == FoundPopulation) {
      SetLabel(LabelPopInd, QStringLiteral("Found"), kGreen);
    } else {
      SetLabel(LabelPopInd, QString::number(Generations ? Generations->FGeneration() : 0), kRed);
    }
  }
  ShowAlgebra();
}

void TEQForm::BrowsePopulation(const PopulationPtr& population) {
  BrowsedPopulation = population;
  const int count = BrowsedPopulation ? BrowsedPopulation->Count() : 0;
  {
    // One SelectMember below is enough; the value change would run it twice.
    const QSignalBlocker blocker(SpinEditMember);
    SpinEditMember->SetRange(0, std::max(count - 1, 0));
    SpinEditMember->SetValue(0);
  }
  SetLabel(LabelPop, QString::number(count), std::nullopt);
  SelectMember();
}

void TEQForm::ButtonPrevClick() {
  if (SpinEditMember->Value() > 0) SpinEditMember->SetValue(SpinEditMember->Value() - 1);
}

void TEQForm::ButtonNextClick() {
  if (SpinEditMember->Value() < SpinEditMember->maximum()) SpinEditMember->SetValue(SpinEditMember->Value() + 1);
}

void TEQForm::ButtonLoadWinClick() {
  if (Generations && Generations->FWinners() && !Generations->FWinners()->Empty()) {
    BrowsePopulation(Generations->FWinners());
  }
}

void TEQForm::ButtonLoadPopClick() {
  if (Generations && Generations->FLatest()) BrowsePopulation(Generations->FLatest());
}
