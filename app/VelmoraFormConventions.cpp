// Desktop conventions of the main window: a one-line tooltip on every
// control, keyboard shortcuts, file dialogs that remember their folder, and a
// question before a save replaces a file.
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>

#include "app/LogPane.h"
#include "app/SpinEdit.h"
#include "app/VelmoraForm.h"

namespace {

QString WithShortcut(const QString& tip, const QKeySequence& keys) {
  return tip + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + u')';
}

void Tip(QWidget* widget, const QString& tip) { widget->setToolTip(tip); }

// A property shown as a label and chosen with a box: both give the law.
void Law(std::initializer_list<QWidget*> widgets, const QString& law) {
  for (QWidget* widget : widgets) {
    if (widget != nullptr) widget->setToolTip(law);
  }
}

}  // namespace

const QKeySequence& TEQForm::RunShortcut() {
  static const QKeySequence keys(Qt::CTRL | Qt::Key_R);
  return keys;
}
const QKeySequence& TEQForm::PreviousShortcut() {
  static const QKeySequence keys(Qt::ALT | Qt::Key_Left);
  return keys;
}
const QKeySequence& TEQForm::NextShortcut() {
  static const QKeySequence keys(Qt::ALT | Qt::Key_Right);
  return keys;
}

const QKeySequence& TEQForm::OpenShortcut() {
  static const QKeySequence keys(QKeySequence::Open);
  return keys;
}
const QKeySequence& TEQForm::SaveShortcut() {
  static const QKeySequence keys(QKeySequence::Save);
  return keys;
}

void TEQForm::SetShortcuts() {
  // Window shortcuts rather than the buttons' own: a button's shortcut is
  // reset whenever its caption changes, as Run's does to "Stop" and back.
  // Run, Open and Save have theirs on the menu commands (MainMenu.cpp).
  const auto bind = [this](const QKeySequence& keys, QPushButton* button) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->click();
    });
  };
  bind(PreviousShortcut(), ButtonPrev);
  bind(NextShortcut(), ButtonNext);
}

void TEQForm::SetToolTips() {
  // Run and the search.
  Tip(ButtonStep, WithShortcut(QStringLiteral("Run the given number of generation steps; while running, stop after "
                                              "the current step"),
                               RunShortcut()));
  Tip(SpinEditSteps, QStringLiteral("Generation steps one Run makes"));
  Tip(ButtonRand, QStringLiteral("Start a new search: a new random first population, no winners"));
  Tip(ButtonStat, QStringLiteral("Show the chart of best, median and worst fitness per generation"));
  Tip(SpinEditElm, QStringLiteral("Number of elements of the algebras searched (2 to 28); the next run starts a new search"));
  Tip(CheckBoxDeltaProp, QStringLiteral("Search algebras with a delta operation d; the next run starts a new search"));
  Tip(CheckBoxMax, QStringLiteral("Search algebras with a maximum operation m; the next run starts a new search"));
  Tip(SpinEditOpt, QStringLiteral("Weight in percent of the required optional properties in the fitness"));
  Tip(SpinEditColor, QStringLiteral("Elements that must occur as values x ~ y of distinct x, y (0: no requirement)"));
  Tip(SpinEditColProd, QStringLiteral("Elements that must occur as products of inner elements (0: no requirement)"));
  Tip(SpinEditMembNo, QStringLiteral("Largest number of members of a generation"));
  Tip(SpinEditGenLim, QStringLiteral("Generation steps one Run makes (the same value as Steps)"));
  Tip(SpinEditMut, QStringLiteral("Chance in percent that a child gets one table entry redrawn"));
  Tip(SpinEditCross, QStringLiteral("Percentage of the best-ranked members that may become parents"));
  Tip(SpinEditChild, QStringLiteral("Children made per generation, in percent of the population limit"));
  Tip(SpinEditWinLim, QStringLiteral("The run ends once more winners than this have been found"));
  Tip(CheckBoxRem, QStringLiteral("Remove members equal to another one after each step (winners need it)"));

  // The laws, on the boxes that require them and the labels that count them.
  const QString forbid = QStringLiteral("Require the failure of: ");
  Law({CheckBoxGood, LabelGood}, QStringLiteral("Goodness: x ~ 1 = x"));
  Law({CheckBoxgoodnon}, forbid + QStringLiteral("x ~ 1 = x"));
  Law({CheckBoxInv, LabelInv}, QStringLiteral("Involutive: (x ~ 0) ~ 0 = x"));
  Law({CheckBoxinvnon}, forbid + QStringLiteral("(x ~ 0) ~ 0 = x"));
  Law({CheckBoxSemi, LabelSemi}, QStringLiteral("Semiseparated: x ~ 1 = 1 implies x = 1"));
  Law({CheckBoxSemiNon}, forbid + QStringLiteral("x ~ 1 = 1 implies x = 1"));
  Law({CheckBoxSepar, LabelSepar}, QStringLiteral("Separated: x ~ y = 1 implies x = y"));
  Law({CheckBoxSeparNon}, forbid + QStringLiteral("x ~ y = 1 implies x = y"));
  Law({CheckBoxResid, LabelResid}, QStringLiteral("Residuated: x * y ≤ z exactly when x ≤ (y ^ z) ~ y"));
  Law({CheckBoxResNon}, forbid + QStringLiteral("x * y ≤ z exactly when x ≤ (y ^ z) ~ y"));
  Law({CheckBoxCom, LabelComm}, QStringLiteral("Commutative: x * y = y * x"));
  Law({CheckBoxComNon}, forbid + QStringLiteral("x * y = y * x"));
  Law({CheckBoxLinear, LabelLinear}, QStringLiteral("Linear: x ≤ y or y ≤ x"));
  Law({CheckBoxNonLin}, forbid + QStringLiteral("x ≤ y or y ≤ x"));
  Law({CheckBoxLat, LabelLat}, QStringLiteral("Lattice: ((x m y) ~ z) * (t ~ x) ≤ (t m y) ~ z (needs Max)"));
  Law({CheckBoxLatNon}, forbid + QStringLiteral("((x m y) ~ z) * (t ~ x) ≤ (t m y) ~ z (needs Max)"));
  Law({CheckBoxPre, LabelPre}, QStringLiteral("Prelinear: (x → y) m (y → x) = 1 (needs Max)"));
  Law({CheckBoxPreLinNon}, forbid + QStringLiteral("(x → y) m (y → x) = 1 (needs Max)"));
  Law({CheckBoxSupProd, LabelSupProd}, QStringLiteral("Sup-product distributivity: x * (y m z) = (x * y) m (x * z) (needs Max)"));
  Law({CheckBoxEqProd, LabelEqProd}, QStringLiteral("Equality over ProdEquality: x ~ y ≤ (x * z) ~ (y * z)"));
  Law({LabelColorful}, QStringLiteral("Colorfulness: elements occurring as x ~ y for distinct x, y, of those required"));
  Law({LabelColProd}, QStringLiteral("Colorfulness(*): elements occurring as x * y of inner x, y, of those required"));
  Law({LabelDeltaProp}, QStringLiteral("Delta: d(x) ≤ x, d(x) ≤ d(d(x)), d(x ~ y) ≤ d(x ~ 1) ~ d(y ~ 1), "
                                       "d(x ^ y) = d(x) ^ d(y), d(x m y) ≤ d(x) m d(y)"));
  Law({LabelAssocInf}, QStringLiteral("(x ^ y) ^ z = x ^ (y ^ z)"));
  Law({LabelCommInf}, QStringLiteral("x ^ y = y ^ x"));
  Law({LabelNeuInf}, QStringLiteral("x ^ 1 = x and 1 ^ x = x"));
  Law({LabelIdInf}, QStringLiteral("x ^ x = x"));
  Law({LabelIsoProd}, QStringLiteral("y ≤ z implies y * x ≤ z * x"));
  Law({LabelAssocProd}, QStringLiteral("(x * y) * z = x * (y * z)"));
  Law({LabelNeuProd}, QStringLiteral("x * 1 = x and 1 * x = x"));
  Law({LabelRefE}, QStringLiteral("x ~ x = 1"));
  Law({LabelSubst}, QStringLiteral("((x ^ y) ~ z) * (t ~ x) ≤ z ~ (t ^ y)"));
  Law({LabelCon}, QStringLiteral("(x ~ y) * (z ~ t) ≤ (x ~ z) ~ (y ~ t)"));
  Law({LabelMonoImp}, QStringLiteral("((x ^ y) ^ z) ~ x ≤ (x ^ y) ~ x"));
  Law({LabelBound}, QStringLiteral("x * y ≤ x ~ y"));
  Tip(LabelFitness, QStringLiteral("Share of the axioms and the required properties that hold; 100% is a winner"));

  // Browsing.
  Tip(SpinEditMember, QStringLiteral("Number of the member shown, 0 being the best ranked"));
  Tip(ButtonPrev, WithShortcut(QStringLiteral("Show the previous member"), PreviousShortcut()));
  Tip(ButtonNext, WithShortcut(QStringLiteral("Show the next member"), NextShortcut()));
  Tip(ButtonLoadWin, QStringLiteral("Browse the winners found since the last reset"));
  Tip(ButtonLoadPop, QStringLiteral("Browse the latest generation"));
  Tip(CheckBoxWinAuto, QStringLiteral("Browse the winners when a run that found some ends"));
  Tip(CheckBoxDer, QStringLiteral("Add the implication table to the dumps in the log and in population files"));
  for (QTableWidget* grid : {StringGridEditInf, StringGridProd, StringGridFEq, StringGridImp, StringGridDelta,
                             StringGridMax}) {
    Tip(grid, QStringLiteral("Row element op column element"));
  }

  // Files and the log.
  Tip(ButtonOpen, WithShortcut(QStringLiteral("Read an EQA file into the member shown"), OpenShortcut()));
  Tip(ButtonSaveA, WithShortcut(QStringLiteral("Save the algebra shown as an EQA file"), SaveShortcut()));
  Tip(ButtonSavePop, QStringLiteral("Save the tables of every member browsed in one population file (.eqp)"));
  Tip(ButtonSaveDir, QStringLiteral("Save every member browsed as an EQA file of its own, numbered"));
  Tip(ButtonSaveLog, QStringLiteral("Save the log as a text report"));
  Tip(ButtonDump, QStringLiteral("Write the tables of every member browsed into the log"));
  Tip(CheckBoxDumpProp, QStringLiteral("Add each member's property counts to Dump Current"));
  Tip(CheckBoxQuickDir, QStringLiteral("Allow the two quick saves into the folder below"));
  Tip(EditQuickDir, QStringLiteral("Folder of quick saves, autosaved winners and stats.txt"));
  Tip(ButtonQSavePop, QStringLiteral("Save the population browsed into the quick-save folder under the time"));
  Tip(ButtonQuickE, QStringLiteral("Save every member browsed as an EQA file into the quick-save folder"));
  Tip(CheckBoxAutoSave, QStringLiteral("Save each new winner as .eqa and .eqp files in the quick-save folder"));
  Tip(CheckBoxTada, QStringLiteral("Play tada.wav when the first winners after a reset are found"));
  Tip(RichEditLog, QStringLiteral("Winners and dumps; green: fitness 1, red: below 1"));
  Tip(ButtonExport, QStringLiteral("Export the algebra shown or the population browsed as LaTeX, LADR, UACalc or JSON"));
  Tip(SpinEditThreads, QStringLiteral("Threads that evaluate the members of a generation; results are the same for any number"));
  Tip(CheckBoxOnePerClass, QStringLiteral("Collect only the first winner of each isomorphism class"));
  Tip(ButtonFind, QStringLiteral("Find every algebra with the asked-for properties, one per isomorphism class; while finding, stop"));
  Tip(ComboBoxFindMode, QStringLiteral("All: every class; First: stop at the first algebra found"));
  Tip(SpinEditKeep, QStringLiteral("Most representatives Find keeps and logs; the count goes on beyond it"));
}

QString TEQForm::ChooseOpenFile() {
  const QString path = AskOpenFileName ? AskOpenFileName() : QString();
  if (!path.isEmpty()) dialog_directory_ = QFileInfo(path).absolutePath();
  return path;
}

QString TEQForm::ChooseSaveFile(const QString& filter) {
  save_filter_ = filter;
  const QString name = AskSaveFileName ? AskSaveFileName() : QString();
  if (!name.isEmpty()) dialog_directory_ = QFileInfo(name).absolutePath();
  return name;
}

bool TEQForm::ConfirmReplace(const QStringList& paths) {
  QStringList existing;
  for (const QString& path : paths) {
    if (QFileInfo::exists(path)) existing << path;
  }
  if (existing.isEmpty()) return true;
  // The dialog cannot ask: the extension is put on after it closes.
  QString question = existing.size() == 1
                         ? QStringLiteral("%1 already exists.\nReplace it?").arg(existing.first())
                         : QStringLiteral("%1 and %2 more files already exist.\nReplace them?")
                               .arg(existing.first())
                               .arg(existing.size() - 1);
  if (AskReplace) return AskReplace(question);
  return QMessageBox::question(this, QStringLiteral("Velmora"), question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}
