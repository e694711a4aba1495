// Start-up, the Run/Stop loop, Reset GA, the status bar, the statistics file
// and closing the window.

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QStatusBar>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "app/Colours.h"
#include "app/FileNames.h"
#include "stats/FormStat.h"
#include "app/LogPane.h"
#include "app/NumberText.h"
#include "app/QtMessagePump.h"
#include "model/Random.h"
#include "model/Settings.h"
#include "app/SpinEdit.h"
#include "app/StatusPanel.h"
#include "app/VelmoraForm.h"

namespace {

// The locale's long time format without its time zone: panel 1 shows a duration.
QString DurationText(qint64 milliseconds) {
  QString format = QLocale().timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  format = format.trimmed();
  // QTime wraps at a day; taking the day's rest first keeps the count in an int.
  const int within_day = static_cast<int>(std::max<qint64>(milliseconds, 0) % (24 * 3600 * 1000));
  return QTime(0, 0).addMSecs(within_day).toString(format);
}

QString StatisticsRecord(int32_t generation, double best, double median, double worst) {
  return QStringLiteral("%1 %2 %3 %4 \r\n")
      .arg(generation, 5, 10, QLatin1Char('0'))
      .arg(FixedNumber(best, 7, 7), FixedNumber(median, 7, 7), FixedNumber(worst, 7, 7));
}

// Panels 6 to 8 before there is a latest generation to describe.
const std::array<QString, 3> kFitnessPanelStartTexts{QStringLiteral("Cur. Best Fit"), QStringLiteral("Cur. Median"),
                                                      QStringLiteral("Cur. Worst")};

const QString kStatisticsHeader = QStringLiteral("GenNo Best Fit  MedianFit Worst Fit \r\n");

}  // namespace

TEQForm::TEQForm(const Environment& environment, TFormStats* stats, QWidget* parent)
    : QMainWindow(parent), FormStats(stats), environment_(environment) {
  BuildLayout();
  ConnectHandlers();
  BuildMenuBar();
  SetShortcuts();
  SetToolTips();
  ApplyReadableColours();
  FormCreate();
}

TEQForm::~TEQForm() {
  StopFindForClose();
  InstallQtMessagePump(false);
  if (Generations) Generations->SetResetListener(nullptr);
}

QString TEQForm::ExecutableBuildTime() const {
  const QDateTime modified = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
  return modified.toString(QStringLiteral("yyyy-MM-dd-hh'") + TimeSeparator() + QStringLiteral("'mm"));
}

void TEQForm::FormCreate() {
  setWindowTitle(QStringLiteral("Velmora v1 build ") + ExecutableBuildTime());
  // The quick-save directory holds its control's default before the settings
  // file is read: a file that lacks the key, or repeats the default text,
  // changes nothing in the edit and so runs no change handler.
  EditQuickDirChange();
  LoadSettings();
  ApplySettings();
  dialog_directory_ = environment_.executable_directory;
  RandSeed(static_cast<uint32_t>(QTime::currentTime().msec()));

  Generations = std::make_unique<TEQGenerations>(Settings.ElementCount, Settings.PopulationLimit);
  SpinEditColor->setMaximum(Settings.ElementCount);

  BrowsedPopulation = Generations->FFirst();
  ShownAlgebra = BrowsedPopulation ? BrowsedPopulation->Get(0) : nullptr;
  {
    const QSignalBlocker blocker(SpinEditMember);
    SpinEditMember->SetValue(0);
  }
  SelectMember();
  DisplayReady = true;
  ShowAlgebra();

  OpenStatsFile();
  // Each later reset (Reset GA, or a step after a change of the element
  // count, Delta or Max) leaves a one-blank line in the statistics.
  Generations->SetResetListener([this] { WriteStatsLine(QStringLiteral(" \r\n")); });

  InstallQtMessagePump(true);
  Timer1->start();
}

void TEQForm::OpenStatsFile() {
  QString directory = EditQuickDir->text().trimmed();
  if (directory.isEmpty()) {
    ReportQuickDirFailure(directory);
    return;
  }
  if (!directory.endsWith(QDir::separator())) directory += QDir::separator();
  // Created only where the user meant it: in a folder made for it now, or
  // in one that is empty or holds quick saves already.
  const bool existed = QFileInfo(directory).isDir();
  if (!existed && !QDir().mkpath(directory)) {
    ReportQuickDirFailure(directory);
    return;
  }
  quick_dir_created_ = directory;
  const QString path = directory + QStringLiteral("stats.txt");
  QString reason;
  if (existed && !HoldsQuickSaves(directory)) {
    reason = QStringLiteral("the folder holds no quick saves, so it is not taken for one");
  } else if (OpenFreshFile(stats_file_, path, &reason)) {
    WriteStatsLine(kStatisticsHeader);
    return;
  }
  // Nothing else stops for it.
  RichEditLog->SetTextColor(kRed);
  RichEditLog->AppendLine(QStringLiteral("Statistics not written to ") + path + QStringLiteral(": ") + reason);
  RichEditLog->SetTextColor(kBlack);
}

void TEQForm::WriteStatsLine(const QString& line) {
  if (!stats_file_.isOpen()) return;
  stats_file_.write(line.toLatin1());
  stats_file_.flush();
}

// --- Run and Stop --------------------------------------------------------------

void TEQForm::ButtonStepClick() {
  if (running_) {
    StopRequested = true;  // the loop below on the stack ends after its step
    return;
  }
  if (closed_ || resetting_ || Finding()) return;  // refused while a reset or a Find is under way
  running_ = true;
  StopRequested = false;
  RunStartTime = QDateTime::currentDateTime();
  ButtonStep->setText(QStringLiteral("Stop"));
  ButtonRand->setEnabled(false);  // a reset would free what the step is using
  ButtonFind->setEnabled(false);  // refused during a run: greyed, as Run is during a Find
  SetPaintThrottle(true);
  if (FormStats != nullptr) FormStats->HoldRedraws(true);

  const int64_t steps = SpinEditSteps->Value();
  int64_t i = 0;
  while (steps == 0 || i < steps) {
    ++i;
    // Only a duration is taken from it: UTC spares a time-zone lookup per step.
    StepStartTime = QDateTime::currentDateTimeUtc();
    const PopulationPtr winners_before = Generations->FWinners();
    // A step after a change of the element count, Delta or Max starts with a
    // new first population: the window stays busy until it is made.
    const bool restarts = !GA.GAReady;
    if (restarts) BeginResetting(true);
    Generations->Step();
    if (restarts) EndResetting();
    if (Generations->FWinners() != winners_before) {
      // The step began with a reset (element count, Delta or Max changed):
      // its winners are all new and its generations count from 1 again.
      ReportedWinners = 0;
      if (FormStats != nullptr) FormStats->ClearSeries();
    }
    // Re-point at once: the step has replaced the population browsed before.
    BrowsedPopulation = Generations->FLatest();
    DisplayReady = true;
    LabelGenNo->setText(QString::number(Generations->PopulationsMade()));
    BrowsePopulation(Generations->FLatest());
    // The message loop runs here when its interval has passed, as inside the
    // step: a pass per step would repaint the window more often than anyone sees.
    QtPumpMessages();
    const PopulationPtr& winners = Generations->FWinners();
    const int winner_count = winners ? winners->Count() : 0;
    if (winner_count > 0 && !ReportNewWinners()) break;  // logged in red; the run ends here
    if (winner_count > 0 && SpinEditWinLim->Value() < winner_count) break;
    if (StopRequested) break;
    AppendStatistics();
  }

  const PopulationPtr& winners = Generations->FWinners();
  if (winners && !winners->Empty() && CheckBoxWinAuto->isChecked()) BrowsePopulation(winners);
  else BrowsePopulation(Generations->FLatest());
  StepStartTime = QDateTime::currentDateTimeUtc();
  StopRequested = false;
  ButtonStep->setText(QStringLiteral("Run"));
  ButtonRand->setEnabled(true);
  ButtonFind->setEnabled(true);
  if (FormStats != nullptr) FormStats->HoldRedraws(false);
  SetPaintThrottle(false);
  running_ = false;
}

void TEQForm::AppendStatistics() {
  WriteStatsLine(StatisticsRecord(GA.GenerationNumber, GA.BestFitness, GA.MedianFitness, GA.WorstFitness));
  if (FormStats != nullptr) {
    FormStats->AddPoints(GA.GenerationNumber, GA.BestFitness, GA.MedianFitness, GA.WorstFitness);
  }
}

void TEQForm::ButtonRandClick() {
  // Refused during a run (the step under way uses the populations), during
  // a reset already under way and while Find runs.
  if (running_ || resetting_ || Finding()) return;
  ApplySettings();
  {
    struct Busy {
      TEQForm& form;
      ~Busy() { form.EndResetting(); }
    };
    BeginResetting(false);
    const Busy busy{*this};
    Generations->Reset();
  }
  BrowsePopulation(Generations->FFirst());
  DisplayReady = true;
  ReportedWinners = 0;
  if (FormStats != nullptr) FormStats->ClearSeries();
}

void TEQForm::BeginResetting(bool in_run) {
  resetting_ = true;
  reset_in_run_ = in_run;
  QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
  ButtonRand->setEnabled(false);
  if (!in_run) ButtonStep->setEnabled(false);  // a run keeps its Stop
  ButtonFind->setEnabled(false);
  for (QWidget* control : std::initializer_list<QWidget*>{SpinEditElm, CheckBoxDeltaProp, CheckBoxMax}) {
    control->setEnabled(false);
  }
  if (reset_progress_ == nullptr) {
    reset_progress_ = new StatusPanel(QString());
    statusBar()->addWidget(reset_progress_);
  }
  reset_progress_->setText(QString());
  reset_progress_->show();
  if (!in_run) SetPaintThrottle(true);
}

void TEQForm::EndResetting() {
  if (!resetting_) return;
  resetting_ = false;
  QApplication::restoreOverrideCursor();
  if (!reset_in_run_) {
    ButtonRand->setEnabled(true);
    ButtonStep->setEnabled(true);
    ButtonFind->setEnabled(true);
    SetPaintThrottle(false);
  }
  for (QWidget* control : std::initializer_list<QWidget*>{SpinEditElm, CheckBoxDeltaProp, CheckBoxMax}) {
    control->setEnabled(true);
  }
  reset_progress_->hide();
}

void TEQForm::ShowResetProgress() {
  const TEQGenerations::ResetProgress progress = Generations->CurrentResetProgress();
  if (!progress.active) return;
  const QString text = QStringLiteral("First population: %1 of %3 drawn, %2 evaluated")
                           .arg(progress.built)
                           .arg(progress.evaluated)
                           .arg(progress.total);
  if (reset_progress_->text() != text) reset_progress_->setText(text);
}

void TEQForm::ButtonStatClick() {
  if (FormStats == nullptr) return;
  FormStats->show();
  FormStats->raise();
}

// --- Status bar -------------------------------------------------------------------

void TEQForm::Timer1Timer() {
  if (resetting_) ShowResetProgress();
  const auto set = [this](size_t panel, const QString& text) {
    if (StatusPanels[panel]->text() != text) StatusPanels[panel]->setText(text);
  };
  set(0, QStringLiteral("Memory:%1 kB, thrds:0").arg(heap_gauge_.Kilobytes()));
  const qint64 elapsed =
      RunStartTime.isValid() && StepStartTime.isValid() ? RunStartTime.msecsTo(StepStartTime) : 0;
  set(1, QStringLiteral("Time: ") + DurationText(elapsed));
  const int32_t generation = Generations->FGeneration();
  set(2, QStringLiteral("Generations: %1").arg(generation));
  set(3, WinnersPanelText());
  set(4, QStringLiteral("Current gen.: %1").arg(generation - 1));
  const PopulationPtr& latest = Generations->FLatest();
  if (!latest) {
    set(5, QStringLiteral("Cur. gen.size: %1").arg(generation - 1));
    // A reset (Reset GA, or a step after a change of the element count, Delta
    // or Max) dropped the generation these panels described: kept, they would
    // show an earlier search's fitness beside the new population.
    for (size_t panel = 6; panel < StatusPanels.size(); ++panel) set(panel, kFitnessPanelStartTexts[panel - 6]);
    return;
  }
  const int count = latest->Count();
  set(5, QStringLiteral("Cur. gen.size: %1").arg(count));
  if (count == 0) return;
  // During a step the latest population may have empty slots: those panels wait.
  const std::array<std::pair<const char*, int>, 3> fitness_panels{
      {{"Best: ", 0}, {"Median: ", count / 2}, {"Worst: ", count - 1}}};
  for (size_t k = 0; k < fitness_panels.size(); ++k) {
    const TEQAlgebra* member = latest->Get(fitness_panels[k].second);
    if (member == nullptr) continue;
    set(6 + k, QString::fromLatin1(fitness_panels[k].first) + FixedNumber(member->Fitness * 100.0, 3, 5) +
                   QStringLiteral("%"));
  }
}

// --- Closing ------------------------------------------------------------------------

void TEQForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  emit Closed();
}

void TEQForm::FormClose() {
  if (closed_) return;
  closed_ = true;
  SaveSettings();
  StopFindForClose();
  StopRequested = true;  // a run under way ends after its step
  stats_file_.close();
}
