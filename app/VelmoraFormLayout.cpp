// The main window's widgets, their grouping and the explicit connections of
// every control to its handler.
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "app/ExchangeFiles.h"
#include "app/FailedWritesBox.h"
#include "app/FileFilters.h"
#include "app/FlowLayout.h"
#include "app/LogPane.h"
#include "app/SpinEdit.h"
#include "app/StatusPanel.h"
#include "app/TadaSound.h"
#include "app/VelmoraForm.h"

namespace {

QCheckBox* MakeBox(const QString& caption, bool checked) {
  auto* box = new QCheckBox(caption);
  box->setChecked(checked);
  return box;
}

QPushButton* MakeButton(const QString& caption) { return new QPushButton(caption); }

// Plain text: a rich or selectable label lays out a text document on every change.
QLabel* MakePropertyLabel() {
  auto* label = new QLabel;
  label->setTextFormat(Qt::PlainText);
  return label;
}

QLabel* MakeBold(const QString& text) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QTableWidget* MakeGrid() {
  auto* grid = new QTableWidget(2, 2);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::NoSelection);
  grid->setFocusPolicy(Qt::NoFocus);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  grid->setWordWrap(false);
  return grid;
}

// A spin edit with its caption on the left in a form-like grid row.
void AddRow(QGridLayout* grid, int row, const QString& caption, QWidget* field, QWidget* extra = nullptr) {
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(field, row, 1);
  if (extra != nullptr) grid->addWidget(extra, row, 2);
}

// Group boxes of the control column stay compact, so the column fits 800 pixels.
void Compact(QGridLayout* grid) {
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setVerticalSpacing(2);
  grid->setHorizontalSpacing(6);
}

QWidget* InScrollArea(QWidget* content) {
  auto* area = new QScrollArea;
  area->setWidget(content);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  return area;
}

// A scroll area at least as wide as the widest thing it holds, so a splitter
// beside it can never cut a table or a property label; it scrolls down only.
class WholeWidthScrollArea : public QScrollArea {
 public:
  WholeWidthScrollArea() {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  }

  QSize minimumSizeHint() const override {
    QSize hint = QScrollArea::minimumSizeHint();
    if (widget() != nullptr) {
      const int least = widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
      hint.setWidth(std::max(hint.width(), least));
    }
    return hint;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A table that grew with the element count, or a label that got longer,
    // may need a wider area: the splitter is told.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
    return QScrollArea::eventFilter(watched, event);
  }
};

}  // namespace

void TEQForm::BuildLayout() {
  setWindowTitle(QStringLiteral("Velmora v1.0"));
  setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));

  // --- Controls --------------------------------------------------------------
  SpinEditElm = new SpinEdit(2, 28, 5);
  SpinEditOpt = new SpinEdit(0, 100, 10);
  SpinEditColor = new SpinEdit(0, 5, 0);
  SpinEditColProd = new SpinEdit(0, 5, 0);
  SpinEditMembNo = new SpinEdit(10, 10000, 180);
  SpinEditGenLim = new SpinEdit(10, 10000, 100);
  SpinEditSteps = new SpinEdit(0, 10000, 100);
  SpinEditMut = new SpinEdit(0, 100, 10);
  SpinEditCross = new SpinEdit(0, 100, 90);
  SpinEditWinLim = new SpinEdit(10, 10000, 100);
  SpinEditChild = new SpinEdit(0, 100, 95);
  SpinEditThreads = new SpinEdit(1, kMostThreads, EveryCore());
  SpinEditMember = new SpinEdit(0, 0, 0);
  SpinEditMember->SetPermissive(true);
  SpinEditMember->setMinimumWidth(80);

  CheckBoxGood = MakeBox(QStringLiteral("Good"), false);
  CheckBoxgoodnon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxInv = MakeBox(QStringLiteral("Involutive"), false);
  CheckBoxinvnon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxSemi = MakeBox(QStringLiteral("SemiSeparated"), false);
  CheckBoxSemiNon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxSepar = MakeBox(QStringLiteral("Separated"), false);
  CheckBoxSeparNon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxResid = MakeBox(QStringLiteral("Residuated"), false);
  CheckBoxResNon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxCom = MakeBox(QStringLiteral("Commutative"), false);
  CheckBoxComNon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxLinear = MakeBox(QStringLiteral("Linear"), false);
  CheckBoxNonLin = MakeBox(QStringLiteral("Non"), false);
  CheckBoxLat = MakeBox(QStringLiteral("Lattice EQ"), false);
  CheckBoxLatNon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxPre = MakeBox(QStringLiteral("Prelinear"), false);
  CheckBoxPreLinNon = MakeBox(QStringLiteral("Non"), false);
  CheckBoxSupProd = MakeBox(QStringLiteral("Sup-Prod distributivity"), false);
  CheckBoxEqProd = MakeBox(QStringLiteral("Equality over ProdEquality"), false);
  CheckBoxDeltaProp = MakeBox(QStringLiteral("Delta"), false);
  CheckBoxMax = MakeBox(QStringLiteral("Max"), false);
  CheckBoxRem = MakeBox(QStringLiteral("Remove Equal Members"), true);
  CheckBoxDer = MakeBox(QStringLiteral("Show Derived"), true);
  CheckBoxDumpProp = MakeBox(QStringLiteral("Dump Properties"), true);
  CheckBoxWinAuto = MakeBox(QStringLiteral("Autoload Winners"), true);
  CheckBoxQuickDir = MakeBox(QStringLiteral("Quicksave Directory:"), true);
  CheckBoxAutoSave = MakeBox(QStringLiteral("Auto Save EQ Algebras"), true);
  CheckBoxTada = MakeBox(QStringLiteral("Play Tada"), true);
  EditQuickDir = new QLineEdit(QString::fromStdString(DefaultQuickDirText()));

  ButtonStep = MakeButton(QStringLiteral("Run"));
  ButtonRand = MakeButton(QStringLiteral("Reset GA"));
  ButtonStat = MakeButton(QStringLiteral("Show Graph"));
  QFont run_font = ButtonStep->font();
  run_font.setBold(true);
  ButtonStep->setFont(run_font);
  ButtonStep->setMinimumHeight(32);

  // --- Left column: run, algebra, properties, GA parameters ------------------
  auto* run_box = new QGroupBox(QStringLiteral("Run"));
  auto* run_grid = new QGridLayout(run_box);
  Compact(run_grid);
  run_grid->addWidget(ButtonStep, 0, 0, 1, 2);
  run_grid->addWidget(new QLabel(QStringLiteral("Steps")), 0, 2);
  run_grid->addWidget(SpinEditSteps, 0, 3);
  run_grid->addWidget(ButtonRand, 1, 0, 1, 2);
  run_grid->addWidget(ButtonStat, 1, 2, 1, 2);
  run_grid->addLayout(BuildFindRow(), 2, 0, 1, 4);

  auto* algebra_box = new QGroupBox(QStringLiteral("Algebra properties"));
  auto* algebra_grid = new QGridLayout(algebra_box);
  Compact(algebra_grid);
  // The element count and the two optional operations share a row, so that
  // the whole column fits a 1280 x 800 screen.
  auto* operations = new QHBoxLayout;
  operations->addWidget(new QLabel(QStringLiteral("Elements number:")));
  operations->addWidget(SpinEditElm);
  operations->addSpacing(6);
  operations->addWidget(CheckBoxDeltaProp);
  operations->addWidget(CheckBoxMax);
  operations->addStretch();
  algebra_grid->addLayout(operations, 0, 0, 1, 2);
  auto* required_caption = new QLabel(QStringLiteral("Required"));
  auto* forbidden_caption = new QLabel(QStringLiteral("Forbidden"));
  required_caption->setEnabled(false);
  forbidden_caption->setEnabled(false);
  algebra_grid->addWidget(required_caption, 1, 0);
  algebra_grid->addWidget(forbidden_caption, 1, 1);
  const std::array<std::pair<QCheckBox*, QCheckBox*>, 9> pairs{{
      {CheckBoxGood, CheckBoxgoodnon},
      {CheckBoxInv, CheckBoxinvnon},
      {CheckBoxSemi, CheckBoxSemiNon},
      {CheckBoxSepar, CheckBoxSeparNon},
      {CheckBoxResid, CheckBoxResNon},
      {CheckBoxCom, CheckBoxComNon},
      {CheckBoxLinear, CheckBoxNonLin},
      {CheckBoxLat, CheckBoxLatNon},
      {CheckBoxPre, CheckBoxPreLinNon},
  }};
  int row = 2;
  for (const auto& [positive, negative] : pairs) {
    algebra_grid->addWidget(positive, row, 0);
    algebra_grid->addWidget(negative, row, 1);
    ++row;
  }
  algebra_grid->addWidget(CheckBoxSupProd, row++, 0, 1, 2);
  algebra_grid->addWidget(CheckBoxEqProd, row++, 0, 1, 2);

  auto* optional_box = new QGroupBox(QStringLiteral("Optional Properties"));
  auto* optional_grid = new QGridLayout(optional_box);
  Compact(optional_grid);
  optional_grid->addWidget(SpinEditOpt, 0, 0);
  optional_grid->addWidget(new QLabel(QStringLiteral("% weight")), 0, 1, 1, 3);
  auto* colour_row = new QHBoxLayout;
  colour_row->addWidget(new QLabel(QStringLiteral("Required elms. (colourfulness)")));
  colour_row->addSpacing(6);
  colour_row->addWidget(new QLabel(QStringLiteral("~")));
  colour_row->addWidget(SpinEditColor, 1);
  colour_row->addSpacing(8);
  colour_row->addWidget(new QLabel(QStringLiteral("*")));
  colour_row->addWidget(SpinEditColProd, 1);
  optional_grid->addLayout(colour_row, 1, 0, 1, 4);

  auto* ga_box = new QGroupBox(QStringLiteral("GA properties"));
  auto* ga_grid = new QGridLayout(ga_box);
  Compact(ga_grid);
  // Two short rows side by side where they belong together, so that the
  // column, Threads included, fits a 1280 x 800 screen.
  AddRow(ga_grid, 0, QStringLiteral("Population limit:"), SpinEditMembNo);
  AddRow(ga_grid, 1, QStringLiteral("Generations steps:"), SpinEditGenLim);
  AddRow(ga_grid, 2, QStringLiteral("Mutation (%)"), SpinEditMut);
  ga_grid->addWidget(new QLabel(QStringLiteral("Cross (%)")), 2, 2);
  ga_grid->addWidget(SpinEditCross, 2, 3);
  AddRow(ga_grid, 3, QStringLiteral("Children (%)"), SpinEditChild);
  auto* unlimited = new QLabel(QStringLiteral("(0 = unlimited)"));
  unlimited->setEnabled(false);
  AddRow(ga_grid, 4, QStringLiteral("Stop after"), SpinEditWinLim);
  ga_grid->addWidget(unlimited, 4, 2, 1, 2);  // the note beside its own control
  CheckBoxOnePerClass = MakeBox(QStringLiteral("One per class"), false);
  ga_grid->addWidget(CheckBoxRem, 5, 0, 1, 2);
  ga_grid->addWidget(CheckBoxOnePerClass, 5, 2, 1, 2);
  AddRow(ga_grid, 6, QStringLiteral("Threads"), SpinEditThreads);

  auto* left = new QWidget;
  auto* left_column = new QVBoxLayout(left);
  left_column->setContentsMargins(4, 2, 4, 2);
  left_column->setSpacing(2);
  left_column->addWidget(run_box);
  left_column->addWidget(algebra_box);
  left_column->addWidget(optional_box);
  left_column->addWidget(ga_box);
  left_column->addStretch();

  // --- Middle: browsing, tables, property labels -------------------------------
  LabelPopInd = MakeBold(QString());
  LabelGenNo = MakePropertyLabel();
  LabelGenNo->setText(QStringLiteral("0"));
  LabelPop = MakePropertyLabel();
  LabelPop->setText(QStringLiteral("0"));
  ButtonLoadWin = MakeButton(QStringLiteral("Load Winners"));
  ButtonLoadPop = MakeButton(QStringLiteral("Load Last pop"));
  ButtonPrev = MakeButton(QStringLiteral("Previous"));
  ButtonNext = MakeButton(QStringLiteral("Next"));

  auto* browse_box = new QWidget;
  auto* browse_grid = new QGridLayout(browse_box);
  browse_grid->setContentsMargins(4, 4, 4, 4);
  browse_grid->addWidget(MakeBold(QStringLiteral("Current Edited Algebra")), 0, 0, 1, 4);
  browse_grid->addWidget(new QLabel(QStringLiteral("Population:")), 1, 0);
  browse_grid->addWidget(LabelPopInd, 1, 1);
  browse_grid->addWidget(new QLabel(QStringLiteral("Total:")), 1, 2);
  browse_grid->addWidget(LabelGenNo, 1, 3);
  browse_grid->addWidget(ButtonLoadWin, 1, 4);
  browse_grid->addWidget(ButtonLoadPop, 1, 5);
  browse_grid->addWidget(CheckBoxWinAuto, 1, 6);
  browse_grid->addWidget(new QLabel(QStringLiteral("Member:")), 2, 0);
  browse_grid->addWidget(SpinEditMember, 2, 1);
  browse_grid->addWidget(new QLabel(QStringLiteral("Total:")), 2, 2);
  browse_grid->addWidget(LabelPop, 2, 3);
  browse_grid->addWidget(ButtonPrev, 2, 4);
  browse_grid->addWidget(ButtonNext, 2, 5);
  browse_grid->addWidget(CheckBoxDer, 2, 6);
  browse_grid->setColumnStretch(7, 1);

  StringGridEditInf = MakeGrid();
  StringGridProd = MakeGrid();
  StringGridFEq = MakeGrid();
  StringGridDelta = MakeGrid();
  StringGridMax = MakeGrid();
  StringGridImp = MakeGrid();
  LabelDeltaCaption = MakeBold(QStringLiteral("Delta"));
  LabelMaximumCaption = MakeBold(QStringLiteral("Maximum"));
  StringGridDelta->hide();
  StringGridMax->hide();
  LabelDeltaCaption->hide();
  LabelMaximumCaption->hide();

  // The tables and the two property panels flow as one block: as many side
  // by side as the width allows, each whole, scrolling down when needed.
  auto* algebra_view = new QWidget;
  auto* flow = new FlowLayout(algebra_view);
  flow->setContentsMargins(4, 4, 4, 4);
  const auto add_table = [flow](QLabel* caption, QTableWidget* grid) {
    auto* block = new QWidget;
    auto* column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(caption);
    column->addWidget(grid);
    flow->addWidget(block);
  };
  add_table(MakeBold(QStringLiteral("Infimum")), StringGridEditInf);
  add_table(MakeBold(QStringLiteral("Product")), StringGridProd);
  add_table(MakeBold(QStringLiteral("FEquality")), StringGridFEq);
  add_table(MakeBold(QStringLiteral("Implication")), StringGridImp);
  add_table(LabelDeltaCaption, StringGridDelta);
  add_table(LabelMaximumCaption, StringGridMax);

  LabelAssocInf = MakePropertyLabel();
  LabelCommInf = MakePropertyLabel();
  LabelNeuInf = MakePropertyLabel();
  LabelIdInf = MakePropertyLabel();
  LabelIsoProd = MakePropertyLabel();
  LabelAssocProd = MakePropertyLabel();
  LabelNeuProd = MakePropertyLabel();
  LabelRefE = MakePropertyLabel();
  LabelSubst = MakePropertyLabel();
  LabelCon = MakePropertyLabel();
  LabelMonoImp = MakePropertyLabel();
  LabelBound = MakePropertyLabel();
  LabelFitness = MakeBold(QStringLiteral("Fitness :"));
  LabelFitness->setAutoFillBackground(true);
  QPalette fitness_palette = LabelFitness->palette();
  fitness_palette.setColor(QPalette::Window, fitness_palette.color(QPalette::Active, QPalette::Highlight).lighter(170));
  LabelFitness->setPalette(fitness_palette);
  LabelFitness->setContentsMargins(4, 2, 4, 2);
  LabelColorful = MakePropertyLabel();
  LabelColProd = MakePropertyLabel();
  LabelGood = MakePropertyLabel();
  LabelInv = MakePropertyLabel();
  LabelSemi = MakePropertyLabel();
  LabelSepar = MakePropertyLabel();
  LabelResid = MakePropertyLabel();
  LabelComm = MakePropertyLabel();
  LabelLinear = MakePropertyLabel();
  LabelLat = MakePropertyLabel();
  LabelPre = MakePropertyLabel();
  LabelSupProd = MakePropertyLabel();
  LabelEqProd = MakePropertyLabel();
  LabelDeltaProp = MakePropertyLabel();
  LabelDeltaProp->setEnabled(false);
  LabelLat->hide();
  LabelPre->hide();
  LabelSupProd->hide();
  LabelDeltaProp->hide();

  auto* axioms_box = new QGroupBox(QStringLiteral("EQ-algebra axioms"));
  auto* axioms_column = new QVBoxLayout(axioms_box);
  axioms_column->setSpacing(1);
  for (QLabel* label : {LabelAssocInf, LabelCommInf, LabelNeuInf, LabelIdInf, LabelIsoProd, LabelAssocProd,
                        LabelNeuProd, LabelRefE, LabelSubst, LabelCon, LabelMonoImp, LabelBound}) {
    axioms_column->addWidget(label);
  }
  axioms_column->addSpacing(4);
  axioms_column->addWidget(LabelFitness);

  auto* optional_labels_box = new QGroupBox(QStringLiteral("Optional properties"));
  auto* optional_column = new QVBoxLayout(optional_labels_box);
  optional_column->setSpacing(1);
  for (QLabel* label : {LabelColorful, LabelColProd, LabelGood, LabelInv, LabelSemi, LabelSepar, LabelResid,
                        LabelComm, LabelLinear, LabelLat, LabelPre, LabelSupProd, LabelEqProd, LabelDeltaProp}) {
    optional_column->addWidget(label);
  }

  flow->addWidget(axioms_box);
  flow->addWidget(optional_labels_box);
  auto* algebra_area = new WholeWidthScrollArea;
  algebra_area->setWidget(algebra_view);

  auto* middle = new QWidget;
  auto* middle_column = new QVBoxLayout(middle);
  middle_column->setContentsMargins(0, 0, 0, 0);
  middle_column->addWidget(browse_box);
  middle_column->addWidget(algebra_area, 1);

  // --- Right column: the log and the files -------------------------------------
  ButtonOpen = MakeButton(QStringLiteral("Open EQA file"));
  ButtonSaveA = MakeButton(QStringLiteral("Save EQA file"));
  ButtonSavePop = MakeButton(QStringLiteral("Save Population As.."));
  ButtonSaveLog = MakeButton(QStringLiteral("Save Report As.."));
  ButtonSaveDir = MakeButton(QStringLiteral("Save Pop. As EQAs"));
  ButtonQSavePop = MakeButton(QStringLiteral("Quick save Popul."));
  ButtonQuickE = MakeButton(QStringLiteral("Quick save EQAs"));
  ButtonDump = MakeButton(QStringLiteral("Dump Current"));
  ButtonExport = MakeButton(QStringLiteral("Export\u2026"));
  LabelCP = MakeBold(QStringLiteral("Current Population"));
  RichEditLog = new LogPane;

  auto* files_box = new QGroupBox(QStringLiteral("Files"));
  auto* files_grid = new QGridLayout(files_box);
  Compact(files_grid);
  files_grid->addWidget(ButtonOpen, 0, 0);
  files_grid->addWidget(ButtonSaveA, 0, 1);
  files_grid->addWidget(ButtonSavePop, 1, 0);
  files_grid->addWidget(ButtonSaveDir, 1, 1);
  files_grid->addWidget(ButtonSaveLog, 2, 0);
  files_grid->addWidget(ButtonDump, 2, 1);
  files_grid->addWidget(ButtonExport, 3, 0);
  files_grid->addWidget(CheckBoxDumpProp, 3, 1);
  files_grid->addWidget(CheckBoxQuickDir, 4, 0, 1, 2);
  files_grid->addWidget(EditQuickDir, 5, 0, 1, 2);
  files_grid->addWidget(ButtonQSavePop, 6, 0);
  files_grid->addWidget(ButtonQuickE, 6, 1);
  files_grid->addWidget(CheckBoxAutoSave, 7, 0);
  files_grid->addWidget(CheckBoxTada, 7, 1);

  auto* right = new QWidget;
  auto* right_column = new QVBoxLayout(right);
  right_column->setContentsMargins(0, 0, 0, 0);
  right_column->addWidget(LabelCP);
  right_column->addWidget(BuildLogTabs(), 1);
  right_column->addWidget(files_box);

  auto* main_splitter = new QSplitter(Qt::Horizontal);
  QWidget* left_area = InScrollArea(left);
  // The control column never needs sideways scrolling; it scrolls down on small screens.
  left_area->setMinimumWidth(left->sizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  main_splitter->addWidget(left_area);
  main_splitter->addWidget(middle);
  main_splitter->addWidget(right);
  main_splitter->setStretchFactor(0, 0);
  main_splitter->setStretchFactor(1, 3);
  main_splitter->setStretchFactor(2, 2);
  main_splitter->setChildrenCollapsible(false);
  main_splitter_ = main_splitter;
  left_area_ = left_area;
  setCentralWidget(main_splitter);

  // --- Status bar and timer ------------------------------------------------------
  const std::array<const char*, 9> panel_texts{
      "Total memory allocated:", "Time elapsed", "Generations", "EQAlgebras found", "Current generation",
      "Cur. gen. size", "Cur. Best Fit", "Cur. Median", "Cur. Worst"};
  for (size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i] = new StatusPanel(QString::fromLatin1(panel_texts[i]));
    StatusPanels[i]->setMinimumWidth(i == 0 ? 200 : 100);
    statusBar()->addWidget(StatusPanels[i]);
  }
  Timer1 = new QTimer(this);
  Timer1->setInterval(50);

  ApplyDefaultGeometry(screen() != nullptr ? screen()->availableGeometry().size() : QSize(1280, 800));
}

QSize TEQForm::DefaultSize(const QSize& available) {
  // The whole screen up to a comfortable size, less room for a title bar.
  return {std::min(available.width(), 1600), std::min(available.height() - 32, 1000)};
}

void TEQForm::ReservePropertyWidths(int elements) {
  if (elements == reserved_for_elements_) return;
  reserved_for_elements_ = elements;
  // The longest text a label of each panel can take at this size (every case
  // of a four-variable law failing), so the panels keep their width, and their
  // place in the flow, while the counts change from member to member.
  const qint64 n = std::clamp(elements, 1, 28);
  const QString most = QString::number(n * n * n * n);
  const auto widest = [&most](const QLabel* label, const char* name) {
    return label->fontMetrics().horizontalAdvance(QStringLiteral("Non-") + QLatin1String(name) + QStringLiteral(": ") +
                                                  most + u'/' + most + QStringLiteral(", Errors: ") + most) + 2;
  };
  for (QLabel* label : {LabelAssocInf, LabelCommInf, LabelNeuInf, LabelIdInf, LabelIsoProd, LabelAssocProd,
                        LabelNeuProd, LabelRefE, LabelSubst, LabelCon, LabelMonoImp, LabelBound}) {
    label->setMinimumWidth(widest(label, "Monotone Implication"));
  }
  for (QLabel* label : {LabelColorful, LabelColProd, LabelGood, LabelInv, LabelSemi, LabelSepar, LabelResid,
                        LabelComm, LabelLinear, LabelLat, LabelPre, LabelSupProd, LabelEqProd, LabelDeltaProp}) {
    label->setMinimumWidth(widest(label, "Equality over ProdEquality"));
  }
}

void TEQForm::ApplyDefaultGeometry(const QSize& available) {
  const QSize size = DefaultSize(available);
  resize(size);
  // The controls at their least width, the log wide enough for a dump, the
  // tables and property panels in between.
  const int left = left_area_->minimumWidth();
  const int log = LogWidthForColumns(kLogColumns);
  main_splitter_->setSizes({left, std::max(size.width() - left - log, 200), log});
}

int TEQForm::LogWidthForColumns(int columns) const {
  const int text = RichEditLog->fontMetrics().horizontalAdvance(QString(columns, u'0'));
  const int margins = 2 * static_cast<int>(RichEditLog->document()->documentMargin()) + 2 * RichEditLog->frameWidth();
  return text + margins + RichEditLog->verticalScrollBar()->sizeHint().width() + 4;
}

void TEQForm::ConnectHandlers() {
  connect(SpinEditElm, &SpinEdit::Changed, this, &TEQForm::SpinEditElmChange);
  connect(SpinEditMembNo, &SpinEdit::Changed, this, &TEQForm::SpinEditMembNoChange);
  connect(SpinEditGenLim, &SpinEdit::Changed, this, &TEQForm::SpinEditGenLimChange);
  connect(SpinEditSteps, &SpinEdit::Changed, this, &TEQForm::SpinEditStepsChange);
  connect(SpinEditWinLim, &SpinEdit::Changed, this, &TEQForm::SpinEditWinLimChange);
  connect(SpinEditMut, &SpinEdit::Changed, this, &TEQForm::SpinEditMutChange);
  connect(SpinEditCross, &SpinEdit::Changed, this, &TEQForm::SpinEditCrossChange);
  connect(SpinEditChild, &SpinEdit::Changed, this, &TEQForm::SpinEditChildChange);
  connect(SpinEditThreads, &SpinEdit::Changed, this, &TEQForm::SpinEditThreadsChange);
  connect(SpinEditOpt, &SpinEdit::Changed, this, &TEQForm::SpinEditOptChange);
  connect(SpinEditColor, &SpinEdit::Changed, this, &TEQForm::SpinEditColorChange);
  connect(SpinEditColProd, &SpinEdit::Changed, this, &TEQForm::SpinEditColorChange);
  connect(SpinEditMember, &SpinEdit::Changed, this, &TEQForm::SelectMember);

  connect(CheckBoxDeltaProp, &QCheckBox::toggled, this, &TEQForm::CheckBoxDeltaPropClick);
  connect(CheckBoxMax, &QCheckBox::toggled, this, &TEQForm::CheckBoxMaxClick);
  connect(CheckBoxRem, &QCheckBox::toggled, this, &TEQForm::CheckBoxRemClick);
  connect(CheckBoxDer, &QCheckBox::toggled, this, &TEQForm::CheckBoxDerClick);
  connect(CheckBoxGood, &QCheckBox::toggled, this, &TEQForm::CheckBoxGoodClick);
  connect(CheckBoxInv, &QCheckBox::toggled, this, &TEQForm::CheckBoxInvClick);
  connect(CheckBoxSemi, &QCheckBox::toggled, this, &TEQForm::CheckBoxSemiClick);
  connect(CheckBoxSepar, &QCheckBox::toggled, this, &TEQForm::CheckBoxSeparClick);
  connect(CheckBoxResid, &QCheckBox::toggled, this, &TEQForm::CheckBoxResidClick);
  connect(CheckBoxCom, &QCheckBox::toggled, this, &TEQForm::CheckBoxComClick);
  connect(CheckBoxLinear, &QCheckBox::toggled, this, &TEQForm::CheckBoxLinearClick);
  connect(CheckBoxLat, &QCheckBox::toggled, this, &TEQForm::CheckBoxLatClick);
  connect(CheckBoxPre, &QCheckBox::toggled, this, &TEQForm::CheckBoxPreClick);
  connect(CheckBoxSupProd, &QCheckBox::toggled, this, &TEQForm::CheckBoxSupProdClick);
  connect(CheckBoxEqProd, &QCheckBox::toggled, this, &TEQForm::CheckBoxEqProdClick);
  connect(CheckBoxOnePerClass, &QCheckBox::toggled, this, &TEQForm::CheckBoxOnePerClassClick);
  connect(CheckBoxgoodnon, &QCheckBox::toggled, this, &TEQForm::CheckBoxgoodnonClick);
  connect(CheckBoxinvnon, &QCheckBox::toggled, this, &TEQForm::CheckBoxinvnonClick);
  connect(CheckBoxSemiNon, &QCheckBox::toggled, this, &TEQForm::CheckBoxSemiNonClick);
  connect(CheckBoxSeparNon, &QCheckBox::toggled, this, &TEQForm::CheckBoxSeparNonClick);
  connect(CheckBoxResNon, &QCheckBox::toggled, this, &TEQForm::CheckBoxResNonClick);
  connect(CheckBoxComNon, &QCheckBox::toggled, this, &TEQForm::CheckBoxComNonClick);
  connect(CheckBoxNonLin, &QCheckBox::toggled, this, &TEQForm::CheckBoxNonLinClick);
  connect(CheckBoxLatNon, &QCheckBox::toggled, this, &TEQForm::CheckBoxLatNonClick);
  connect(CheckBoxPreLinNon, &QCheckBox::toggled, this, &TEQForm::CheckBoxPreLinNonClick);
  connect(EditQuickDir, &QLineEdit::textChanged, this, &TEQForm::EditQuickDirChange);
  connect(EditQuickDir, &QLineEdit::editingFinished, this, &TEQForm::EditQuickDirEditingFinished);

  connect(ButtonPrev, &QPushButton::clicked, this, &TEQForm::ButtonPrevClick);
  connect(ButtonNext, &QPushButton::clicked, this, &TEQForm::ButtonNextClick);
  connect(ButtonLoadWin, &QPushButton::clicked, this, &TEQForm::ButtonLoadWinClick);
  connect(ButtonLoadPop, &QPushButton::clicked, this, &TEQForm::ButtonLoadPopClick);

  connect(ButtonOpen, &QPushButton::clicked, this, &TEQForm::ButtonOpenClick);
  connect(ButtonSaveA, &QPushButton::clicked, this, &TEQForm::ButtonSaveAClick);
  connect(ButtonSavePop, &QPushButton::clicked, this, &TEQForm::ButtonSavePopClick);
  connect(ButtonSaveLog, &QPushButton::clicked, this, &TEQForm::ButtonSaveLogClick);
  connect(ButtonSaveDir, &QPushButton::clicked, this, &TEQForm::ButtonSaveDirClick);
  connect(ButtonQSavePop, &QPushButton::clicked, this, &TEQForm::ButtonQSavePopClick);
  connect(ButtonQuickE, &QPushButton::clicked, this, &TEQForm::ButtonQuickEClick);
  connect(ButtonDump, &QPushButton::clicked, this, &TEQForm::ButtonDumpClick);
  connect(ButtonExport, &QPushButton::clicked, this, &TEQForm::ButtonExportClick);

  connect(ButtonStep, &QPushButton::clicked, this, &TEQForm::ButtonStepClick);
  connect(ButtonRand, &QPushButton::clicked, this, &TEQForm::ButtonRandClick);
  connect(ButtonStat, &QPushButton::clicked, this, &TEQForm::ButtonStatClick);
  connect(Timer1, &QTimer::timeout, this, &TEQForm::Timer1Timer);
  ConnectFindHandlers();

  // The hooks the tests replace; the dialogs start where FormCreate says.
  AskOpenFileName = [this] { return QFileDialog::getOpenFileName(this, QString(), dialog_directory_, kOpenFilter); };
  AskSaveFileName = [this] {
    return QFileDialog::getSaveFileName(this, QString(), dialog_directory_, save_filter_, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  };
  AskExport = [this](ExportRequest& request) { return AskExportRequest(this, dialog_directory_, request); };
  if (environment_.show_message) ShowMessage = environment_.show_message;
  else ShowMessage = [this](const QString& title, const QString& text) { QMessageBox::warning(this, title, text); };
  if (environment_.show_message) {
    ShowFailedWrites = [this](const QString& title, const FailedWrites& failures) {
      ShowMessage(title, FailedWritesMessage(failures));
    };
  } else {
    ShowFailedWrites = [this](const QString& title, const FailedWrites& failures) {
      ShowFailedWritesBox(this, title, failures);
    };
  }
  PlaySound = [](const QString& wav_file) { PlayWaveFile(wav_file); };
}
