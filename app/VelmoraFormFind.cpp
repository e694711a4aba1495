// Find: the exact finder run from the window on the current settings. It
// works on threads of its own; the window takes what it finds in small
// portions, lists each representative in the log, makes them the browsable
// population "Found" and closes with a summary line.
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>

#include "app/AlgebraFiles.h"
#include "app/Colours.h"
#include "app/LogPane.h"
#include "app/ReadableColours.h"
#include "app/SpinEdit.h"
#include "app/StatusPanel.h"
#include "app/VelmoraForm.h"

namespace {

// Counts as people read them in the log: 12,959.
QString Grouped(BigCount value) {
  const std::string digits = FormatBigCount(value);
  QString text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += u',';
    text += QLatin1Char(digits[i]);
  }
  return text;
}

QString Plural(BigCount count, const char* one, const char* many) {
  return Grouped(count) + u' ' + QString::fromLatin1(count == 1 ? one : many);
}

constexpr const char* kFindSection = kWindowKeys[0].section;
constexpr const char* kFindKeepKey = kWindowKeys[0].key;
constexpr const char* kFindFirstKey = kWindowKeys[1].key;

QString SecondsText(double seconds) { return QString::number(seconds, 'f', 1) + QStringLiteral(" s"); }

}  // namespace

QLayout* TEQForm::BuildFindRow() {
  ButtonFind = new QPushButton(QStringLiteral("Find"));
  ComboBoxFindMode = new QComboBox;
  ComboBoxFindMode->addItems({QStringLiteral("All"), QStringLiteral("First")});
  SpinEditKeep = new SpinEdit(kWindowKeys[0].minimum, kWindowKeys[0].maximum, kWindowKeys[0].default_value);
  LabelFindStatus = new StatusPanel(QString());
  LabelFindStatus->setToolTip(
      QStringLiteral("Find: parts searched of the parts planned, classes listed so far, time. The parts differ "
                     "in size by far, so they tell how far Find has come, not how long it will take; classes are "
                     "listed in the finder's order, so a large early part holds them back."));
  LabelFindStatus->hide();  // until the first Find
  statusBar()->addPermanentWidget(LabelFindStatus);

  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(ButtonFind);
  row->addWidget(ComboBoxFindMode);
  row->addWidget(new QLabel(QStringLiteral("Keep at most")));
  row->addWidget(SpinEditKeep, 1);
  return row;
}

void TEQForm::ConnectFindHandlers() {
  find_runner_ = std::make_unique<FindRunner>();
  find_runner_->OnClass = [this](const FoundClass& found) { FindClassArrived(found); };
  find_runner_->OnProgress = [this](const FinderProgress& progress) { FindProgressed(progress); };
  find_runner_->OnFinished = [this](const FinderSummary& summary) { FindFinished(summary); };
  connect(ButtonFind, &QPushButton::clicked, this, &TEQForm::ButtonFindClick);
  // The winners panel now names the classes too; it keeps room for them when
  // Find's progress takes the right end of the status bar.
  StatusPanels[3]->setMinimumWidth(
      StatusPanels[3]->fontMetrics().horizontalAdvance(QStringLiteral("EQAlgebras: 9999 (9999 classes)")) + 8);
}

void TEQForm::ButtonFindClick() {
  if (Finding()) {
    find_runner_->Stop();  // the summary comes when the workers have ended
    return;
  }
  if (closed_ || running_) return;  // refused while a run is on the stack

  FinderOptions options;
  options.Settings = Settings;  // the workers install their own copy
  options.Mode = ComboBoxFindMode->currentIndex() == 1 ? FinderMode::First : FinderMode::All;
  options.Threads = SpinEditThreads->Value();
  find_elements_ = Settings.ElementCount;

  // Every Find replaces what the last one found, also when it finds nothing:
  // a window browsing the old "Found" now browses the new, empty one.
  const bool browsing_found = FoundPopulation != nullptr && BrowsedPopulation == FoundPopulation;
  FoundPopulation = std::make_shared<TEQPopulation>();
  FoundPopulation->FElementCount = find_elements_;
  if (browsing_found) LoadFoundClick();
  RichEditLog->SetTextColor(kBlack);
  RichEditLog->AppendLine(options.Mode == FinderMode::First
                              ? QStringLiteral("Find: a first algebra of %1 elements").arg(find_elements_)
                              : QStringLiteral("Find: every class of %1 elements").arg(find_elements_));
  LabelFindStatus->setText(QStringLiteral("Find: starting"));
  LabelFindStatus->show();
  SetFindRunning(true);
  find_runner_->Start(options, SpinEditKeep->Value());
}

void TEQForm::SetFindRunning(bool running) {
  ButtonFind->setText(running ? QStringLiteral("Stop") : QStringLiteral("Find"));
  // The search and the settings that define a winner stay as they are while
  // the finder works on them.
  const std::initializer_list<QWidget*> locked{
      ButtonStep,       ButtonRand,       SpinEditElm,       SpinEditOpt,       SpinEditColor,   SpinEditColProd,
      CheckBoxDeltaProp, CheckBoxMax,     CheckBoxGood,      CheckBoxgoodnon,   CheckBoxInv,     CheckBoxinvnon,
      CheckBoxSemi,     CheckBoxSemiNon,  CheckBoxSepar,     CheckBoxSeparNon,  CheckBoxResid,   CheckBoxResNon,
      CheckBoxCom,      CheckBoxComNon,   CheckBoxLinear,    CheckBoxNonLin,    CheckBoxLat,     CheckBoxLatNon,
      CheckBoxPre,      CheckBoxPreLinNon, CheckBoxSupProd,  CheckBoxEqProd,    ComboBoxFindMode, SpinEditKeep};
  for (QWidget* widget : locked) widget->setEnabled(!running);
}

void TEQForm::FindClassArrived(const FoundClass& found) {
  if (!found.Algebra || !FoundPopulation) return;
  const int index = FoundPopulation->Count();
  FoundPopulation->Add(std::make_unique<TEQAlgebra>(*found.Algebra));
  const TEQAlgebra& member = *FoundPopulation->Get(index);
  // A finder that hands out no id leaves the window to name the class itself.
  const std::string id = found.Class.Id.empty() ? ClassifyAlgebra(member).Id : found.Class.Id;
  AppendMemberReport(*RichEditLog, index, member,
                     QStringLiteral(", class ") + QString::fromStdString(id) +
                         QStringLiteral(", automorphisms ") + Grouped(found.Class.Automorphisms));
  RichEditLog->SetTextColor(kBlack);
  if (index == 0) {
    BrowsePopulation(FoundPopulation);
  } else if (BrowsedPopulation == FoundPopulation) {
    // The member shown stays; only the range and the total follow.
    const QSignalBlocker blocker(SpinEditMember);
    SpinEditMember->SetRange(0, index);
    LabelPop->setText(QString::number(index + 1));
  }
}

void TEQForm::FindProgressed(const FinderProgress& progress) {
  if (!progress.Note.empty()) {  // a first winner: what is searched, not a share of it
    LabelFindStatus->setText(QStringLiteral("Find: %1, %2")
                                 .arg(QString::fromStdString(progress.Note), SecondsText(progress.Seconds)));
    return;
  }
  // Parts differ in size by orders of magnitude: a share of them would read
  // as a share of the time, so the count of parts is shown as it is.
  const auto done = static_cast<BigCount>(std::max(progress.Done, 0.0));
  const auto planned = static_cast<BigCount>(std::max(progress.Total, progress.Done));
  LabelFindStatus->setText(QStringLiteral("Find: %1/%2 parts, %3, %4")
                               .arg(Grouped(done), Grouped(planned),
                                    Plural(static_cast<BigCount>(progress.Classes), "class", "classes"),
                                    SecondsText(progress.Seconds)));
}

void TEQForm::FindFinished(const FinderSummary& summary) {
  const auto classes = static_cast<BigCount>(summary.Classes);
  const int kept = FoundPopulation ? FoundPopulation->Count() : 0;
  QString line;
  if (summary.Classes == 0 && summary.Complete) {
    // A complete search that found nothing is a proof, not a failure.
    line = QStringLiteral("Found nothing: no algebra of %1 elements has the asked-for properties — complete")
               .arg(find_elements_);
  } else {
    line = summary.Classes == 0
               ? QStringLiteral("Found nothing in the searched space of %1 elements").arg(find_elements_)
               : QStringLiteral("Found ") + Plural(classes, "class", "classes") + QStringLiteral(" (") +
                     Plural(summary.Labelled, "algebra", "algebras") +
                     QStringLiteral(") of %1 elements").arg(find_elements_);
    if (summary.Complete) {
      line += QStringLiteral(" — complete");
    } else {
      // Say why the answer is partial and what it covers.
      line += QStringLiteral(" — not complete");
      if (!summary.WhyIncomplete.empty()) line += QStringLiteral(": ") + QString::fromStdString(summary.WhyIncomplete);
      if (!summary.Searched.empty()) line += QStringLiteral("; searched ") + QString::fromStdString(summary.Searched);
    }
    if (static_cast<int64_t>(kept) < summary.Classes) {
      line += QStringLiteral("; the first ") + Grouped(static_cast<BigCount>(kept)) + QStringLiteral(" kept");
    }
  }
  RichEditLog->SetTextColor(kBlack);
  RichEditLog->AppendLine(line);
  // The outcome first: it is what a narrow status bar must not cut off.
  LabelFindStatus->setText(QStringLiteral("Find: %1, %2, %3")
                               .arg(summary.Complete ? QStringLiteral("complete") : QStringLiteral("not complete"),
                                    Plural(classes, "class", "classes"), SecondsText(summary.Seconds)));
  SetFindRunning(false);
  if (kept > 0 || BrowsedPopulation == FoundPopulation) LoadFoundClick();
}

void TEQForm::LoadFoundClick() {
  if (!FoundPopulation) return;
  BrowsePopulation(FoundPopulation);
  if (FoundPopulation->Count() > 0) return;
  // Nothing to show: the panels say that the last Find found nothing rather
  // than keep the tables of a member of another population.
  ShownAlgebra = nullptr;
  LabelPopInd->setText(QStringLiteral("Found"));
  QPalette palette = LabelPopInd->palette();
  palette.setColor(QPalette::WindowText, ReadableOn(kGreen, palette.color(QPalette::Window)));
  LabelPopInd->setPalette(palette);
  for (QTableWidget* grid : {StringGridEditInf, StringGridProd, StringGridFEq, StringGridImp, StringGridDelta,
                             StringGridMax}) {
    grid->clearContents();
  }
  LabelFitness->setText(QStringLiteral("Fitness :"));
}

void TEQForm::LoadFindSettings() {
  // The window's own keys, in a section of their own beside the search's.
  const auto read = [this](const char* key, int fallback) {
    const std::optional<std::string> value = ini_.Value(kFindSection, key);
    bool ok = false;
    const int number = value ? QString::fromStdString(*value).trimmed().toInt(&ok) : 0;
    return ok ? number : fallback;
  };
  SpinEditKeep->SetValue(read(kFindKeepKey, SpinEditKeep->Value()));
  ComboBoxFindMode->setCurrentIndex(read(kFindFirstKey, 0) != 0 ? 1 : 0);
}

void TEQForm::SaveFindSettings() {
  ini_.Set(kFindSection, kFindKeepKey, std::to_string(SpinEditKeep->Value()));
  ini_.Set(kFindSection, kFindFirstKey, ComboBoxFindMode->currentIndex() == 1 ? "1" : "0");
}

void TEQForm::StopFindForClose() {
  if (find_runner_) find_runner_->Abandon();
  if (ButtonFind != nullptr) ButtonFind->setText(QStringLiteral("Find"));
}
