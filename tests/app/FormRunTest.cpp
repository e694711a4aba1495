// Whole runs in the main window: start-up, Run and Stop, the winners limit,
// Reset GA, the status bar, the statistics file and closing.
#include <algorithm>

#include <QLineSeries>
#include <QValueAxis>
#include <QRegularExpression>
#include <QStatusBar>
#include <QSignalSpy>
#include <QtTest>

#include <set>

#include "classes/AlgebraClass.h"
#include "app/Colours.h"
#include "FormFixture.h"
#include "stats/FormStat.h"
#include "app/LogPane.h"
#include "app/NumberText.h"
#include "app/QtMessagePump.h"
#include "model/Random.h"
#include "app/SpinEdit.h"

namespace {

const QString kHeader = QStringLiteral("GenNo Best Fit  MedianFit Worst Fit ");
const QRegularExpression kRecord(QStringLiteral("^(\\d{5}) \\d\\.\\d{7} \\d\\.\\d{7} \\d\\.\\d{7} $"));

QStringList IniLines(const FormFixture& fixture, int elements, int steps, int winners_limit) {
  return fixture.QuickDirLines() << QStringLiteral("[Algebra properties]")
                                 << QStringLiteral("Elements number=%1").arg(elements)
                                 << QStringLiteral("[GA properties]") << QStringLiteral("Steps limit=%1").arg(steps)
                                 << QStringLiteral("Winners limit=%1").arg(winners_limit);
}

// The statistics file's lines (each must end in CR LF).
QStringList StatsLines(const FormFixture& fixture) {
  const QString text = FormFixture::ReadAll(fixture.QuickDir() + QStringLiteral("/stats.txt"));
  if (!text.endsWith(QStringLiteral("\r\n"))) return {QStringLiteral("<no final CR LF>"), text};
  QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
  return lines;
}

// The generation numbers of the records, in file order; -1 for a blank line.
QList<int> RecordNumbers(const QStringList& lines) {
  QList<int> numbers;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    if (lines[i] == QStringLiteral(" ")) {
      numbers << -1;
      continue;
    }
    const QRegularExpressionMatch match = kRecord.match(lines[i]);
    numbers << (match.hasMatch() ? match.captured(1).toInt() : -999);
  }
  return numbers;
}

QList<int> Range(int first, int last) {
  QList<int> numbers;
  for (int i = first; i <= last; ++i) numbers << i;
  return numbers;
}

// The status bar's reset progress text, or an empty text when none is shown.
QString ResetProgressText(TEQForm& form) {
  for (QLabel* label : form.statusBar()->findChildren<QLabel*>()) {
    if (!label->isHidden() && label->text().startsWith(QStringLiteral("First population: "))) return label->text();
  }
  return QString();
}

// What the window shows and allows at one moment.
struct BusyState {
  bool resetting = false;
  bool busy_cursor = false;
  bool run_enabled = false;
  bool reset_enabled = false;
  bool elements_enabled = false;
  bool delta_enabled = false;
  bool max_enabled = false;
  QString progress;
};

BusyState StateOf(TEQForm& form) {
  const QCursor* cursor = QApplication::overrideCursor();
  return {form.Resetting(),
          cursor != nullptr && cursor->shape() == Qt::BusyCursor,
          form.ButtonStep->isEnabled(),
          form.ButtonRand->isEnabled(),
          form.SpinEditElm->isEnabled(),
          form.CheckBoxDeltaProp->isEnabled(),
          form.CheckBoxMax->isEnabled(),
          ResetProgressText(form)};
}

// The winners panel as it must read: the winners and their distinct classes.
QString WinnersPanel(const TEQPopulation& winners) {
  std::set<std::string> keys;
  for (int i = 0; i < winners.Count(); ++i) keys.insert(ClassifyAlgebra(*winners.Get(i)).Key);
  return QStringLiteral("EQAlgebras: %1 (%2 %3)")
      .arg(winners.Count())
      .arg(keys.size())
      .arg(keys.size() == 1 ? QStringLiteral("class") : QStringLiteral("classes"));
}

// Reseeds and resets, so a test's run is the same every time.
void Reproducible(TEQForm& form, uint32_t seed) {
  RandSeed(seed);
  form.ButtonRandClick();
}

}  // namespace

class FormRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale::c());
    // Every pump call handles the events, so a timer set before a run fires
    // in its first step, whatever the speed of the machine.
    SetPumpInterval(std::chrono::microseconds(0));
  }
  void cleanup() { QLocale::setDefault(QLocale::c()); }

  void startUp() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4, 30, 50));
    TEQForm& form = fixture.Create();
    QVERIFY(QRegularExpression(QStringLiteral("^Velmora v1 build \\d{4}-\\d\\d-\\d\\d-\\d\\d:\\d\\d$"))
                .match(form.windowTitle())
                .hasMatch());
    QCOMPARE(form.SpinEditElm->Value(), 4);
    QCOMPARE(form.SpinEditSteps->Value(), 30);
    QCOMPARE(form.SpinEditColor->maximum(), 4);
    QCOMPARE(form.Generations->FElementCount, 4);
    QVERIFY(form.DisplayReady);
    QCOMPARE(form.BrowsedPopulation, form.Generations->FFirst());
    QCOMPARE(form.ShownAlgebra, form.Generations->FFirst()->Get(0));
    QCOMPARE(form.StringGridEditInf->rowCount(), 5);
    QCOMPARE(form.ButtonStep->text(), QStringLiteral("Run"));
    QCOMPARE(StatsLines(fixture), QStringList{kHeader});

    form.Timer1Timer();
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's allocator is not glibc's: the heap figure reads 0.
    const QString heap = QStringLiteral("\\d+");
#else
    const QString heap = QStringLiteral("[1-9]\\d*");
#endif
    QVERIFY(QRegularExpression(QStringLiteral("^Memory:") + heap + QStringLiteral(" kB, thrds:0$"))
                .match(form.StatusPanels[0]->text())
                .hasMatch());
    QCOMPARE(form.StatusPanels[1]->text(), QStringLiteral("Time: 00:00:00"));
    QCOMPARE(form.StatusPanels[2]->text(), QStringLiteral("Generations: 0"));
    QCOMPARE(form.StatusPanels[3]->text(), WinnersPanel(*form.Generations->FWinners()));
    QCOMPARE(form.StatusPanels[4]->text(), QStringLiteral("Current gen.: -1"));
    QCOMPARE(form.StatusPanels[5]->text(), QStringLiteral("Cur. gen.size: -1"));
    QCOMPARE(form.StatusPanels[6]->text(), QStringLiteral("Cur. Best Fit"));
    QCOMPARE(form.StatusPanels[7]->text(), QStringLiteral("Cur. Median"));
    QCOMPARE(form.StatusPanels[8]->text(), QStringLiteral("Cur. Worst"));
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 50);
  }

  void aRunFindsWinnersAndAutoloadsThem_data() {
    QTest::addColumn<bool>("autoload");
    QTest::newRow("Autoload Winners ticked") << true;
    QTest::newRow("Autoload Winners unticked") << false;
  }

  void aRunFindsWinnersAndAutoloadsThem() {
    QFETCH(bool, autoload);
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 3, 10, 10000));
    TFormStats stats;
    TEQForm& form = fixture.Create(QString(), &stats);
    Reproducible(form, 7);
    form.CheckBoxWinAuto->setChecked(autoload);
    form.ButtonStep->click();

    QVERIFY(!form.Running());
    QCOMPARE(form.ButtonStep->text(), QStringLiteral("Run"));
    QCOMPARE(form.Generations->FGeneration(), 10);
    QCOMPARE(form.LabelGenNo->text(), QStringLiteral("11"));
    const TEQPopulation& winners = *form.Generations->FWinners();
    QVERIFY(winners.Count() > 0);
    QCOMPARE(form.ReportedWinners, winners.Count());
    QCOMPARE(form.RichEditLog->Lines().value(0),
             QStringLiteral("0000: 1, class %1, new class")
                 .arg(QString::fromStdString(ClassifyAlgebra(*winners.Get(0)).Id)));
    QDir quick(fixture.QuickDir());
    QCOMPARE(quick.entryList({QStringLiteral("autosave_*_0000.eqa")}).size(), 1);
    QCOMPARE(quick.entryList({QStringLiteral("autosave_*_0000.eqp")}).size(), 1);
    if (autoload) {
      QCOMPARE(form.BrowsedPopulation, form.Generations->FWinners());
      QCOMPARE(form.LabelPopInd->text(), QStringLiteral("Winners"));
    } else {
      QCOMPARE(form.BrowsedPopulation, form.Generations->FLatest());
      QCOMPARE(form.LabelPopInd->text(), QStringLiteral("10"));
    }
    QCOMPARE(form.ShownAlgebra, form.BrowsedPopulation->Get(0));

    const QStringList lines = StatsLines(fixture);
    QCOMPARE(lines.first(), kHeader);
    QCOMPARE(RecordNumbers(lines), QList<int>{-1} + Range(1, 10));  // the blank line of the reset
    QCOMPARE(lines.last(), QStringLiteral("00010 %1 %2 %3 ")
                               .arg(FixedNumber(GA.BestFitness, 7, 7), FixedNumber(GA.MedianFitness, 7, 7),
                                    FixedNumber(GA.WorstFitness, 7, 7)));
    QCOMPARE(stats.Series1->count(), 10);
    QCOMPARE(stats.Series2->count(), 10);
    QCOMPARE(stats.Series3->count(), 10);
    QCOMPARE(stats.Series1->at(9), QPointF(10, GA.BestFitness));
    // The chart was held back during the run; its end brings the axes up to the points.
    QCOMPARE(stats.AxisBottom->min(), 1.0);
    QCOMPARE(stats.AxisBottom->max(), 10.0);

    form.Timer1Timer();
    QCOMPARE(form.StatusPanels[2]->text(), QStringLiteral("Generations: 10"));
    QCOMPARE(form.StatusPanels[3]->text(), WinnersPanel(winners));
    QCOMPARE(form.StatusPanels[4]->text(), QStringLiteral("Current gen.: 9"));
    const TEQPopulation& latest = *form.Generations->FLatest();
    QCOMPARE(form.StatusPanels[5]->text(), QStringLiteral("Cur. gen.size: %1").arg(latest.Count()));
    QCOMPARE(latest.Get(0)->Fitness, 1.0);
    QCOMPARE(form.StatusPanels[6]->text(), QStringLiteral("Best: 100.000%"));
    QCOMPARE(form.StatusPanels[7]->text(),
             QStringLiteral("Median: ") + FixedNumber(latest.Get(latest.Count() / 2)->Fitness * 100, 3, 5) + u'%');
    QCOMPARE(form.StatusPanels[8]->text(),
             QStringLiteral("Worst: ") + FixedNumber(latest.Get(latest.Count() - 1)->Fitness * 100, 3, 5) + u'%');
    QVERIFY(QRegularExpression(QStringLiteral("^Time: \\d\\d:\\d\\d:\\d\\d$")).match(form.StatusPanels[1]->text()).hasMatch());
  }

  void theRunTimeIsTheSpanFromTheRunStartToTheLatestStep() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4, 30, 50));
    TEQForm& form = fixture.Create();
    form.RunStartTime = QDateTime(QDate(2024, 3, 30), QTime(23, 59, 30));  // local time
    form.StepStartTime = form.RunStartTime.toUTC().addSecs(3725);
    form.Timer1Timer();
    QCOMPARE(form.StatusPanels[1]->text(), QStringLiteral("Time: 01:02:05"));
  }

  void theSameSeedGivesTheSameRun() {
    QList<double> best;
    QList<int> winners;
    for (int round = 0; round < 2; ++round) {
      FormFixture fixture;
      fixture.WriteIni(IniLines(fixture, 4, 10, 10000));
      TEQForm& form = fixture.Create();
      Reproducible(form, 4242);
      form.ButtonStepClick();
      best << GA.BestFitness << GA.MedianFitness << GA.WorstFitness;
      winners << form.Generations->FWinners()->Count();
    }
    QCOMPARE(best.mid(0, 3), best.mid(3, 3));
    QCOMPARE(winners[0], winners[1]);
  }

  void stopDuringAStepEndsTheRunWithoutItsRecord() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 100, 10000));
    TFormStats stats;
    TEQForm& form = fixture.Create(QString(), &stats);
    Reproducible(form, 11);
    // Clicked from inside the message pump once four steps have their
    // records; the pumps are throttled, so it may come a little later.
    int records_at_click = -1;
    QTimer clicker;
    clicker.setInterval(0);
    connect(&clicker, &QTimer::timeout, &form, [&] {
      if (records_at_click >= 0 || stats.Series1->count() < 4) return;
      records_at_click = static_cast<int>(stats.Series1->count());
      QCOMPARE(form.ButtonStep->text(), QStringLiteral("Stop"));
      form.ButtonStep->click();
    });
    clicker.start();
    form.ButtonStep->click();
    clicker.stop();

    QVERIFY(records_at_click >= 4);
    // The step under way when Stop came completes and is shown, without a record.
    QCOMPARE(form.Generations->FGeneration(), records_at_click + 1);
    QCOMPARE(RecordNumbers(StatsLines(fixture)), QList<int>{-1} + Range(1, records_at_click));
    QCOMPARE(stats.Series1->count(), records_at_click);
    QCOMPARE(form.BrowsedPopulation, form.Generations->FLatest());
    QCOMPARE(form.ButtonStep->text(), QStringLiteral("Run"));
    QVERIFY(!form.StopRequested);
    QVERIFY(!form.Running());
  }

  void theWinnersLimitEndsTheRun() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4, 200, 10));
    TFormStats stats;
    TEQForm& form = fixture.Create(QString(), &stats);
    Reproducible(form, 5);
    form.ButtonStep->click();
    const int winners = form.Generations->FWinners()->Count();
    const int generations = form.Generations->FGeneration();
    QVERIFY(winners > 10);
    QVERIFY(generations < 200);
    // The step that passed the limit was reported but has no record.
    QCOMPARE(form.ReportedWinners, winners);
    QCOMPARE(RecordNumbers(StatsLines(fixture)), QList<int>{-1} + Range(1, generations - 1));
    QCOMPARE(stats.Series1->count(), generations - 1);
  }

  void resetIsRefusedDuringARunAndWorksAfterIt() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 100, 10000));
    TFormStats stats;
    TEQForm& form = fixture.Create(QString(), &stats);
    Reproducible(form, 3);
    bool enabled_during_run = true;
    bool unchanged = false;
    QTimer::singleShot(0, &form, [&] {
      enabled_during_run = form.ButtonRand->isEnabled();
      const PopulationPtr winners = form.Generations->FWinners();
      const PopulationPtr current = form.Generations->FCurrent();
      form.ButtonRandClick();
      unchanged = form.Generations->FWinners() == winners && form.Generations->FCurrent() == current;
      form.ButtonStep->click();  // Stop
    });
    form.ButtonStep->click();
    QVERIFY(!enabled_during_run);
    QVERIFY(unchanged);
    QCOMPARE(form.Generations->FGeneration(), 1);
    QVERIFY(form.ButtonRand->isEnabled());

    form.ReportedWinners = 3;
    form.ButtonRand->click();
    QCOMPARE(form.Generations->FGeneration(), 0);
    QVERIFY(!form.Generations->FLatest());
    QCOMPARE(form.BrowsedPopulation, form.Generations->FFirst());
    QCOMPARE(form.ShownAlgebra, form.Generations->FFirst()->Get(0));
    QCOMPARE(form.ReportedWinners, 0);
    QCOMPARE(stats.Series1->count(), 0);
    QCOMPARE(StatsLines(fixture).last(), QStringLiteral(" "));
    form.Timer1Timer();
    QCOMPARE(form.StatusPanels[4]->text(), QStringLiteral("Current gen.: -1"));
    QCOMPARE(form.StatusPanels[5]->text(), QStringLiteral("Cur. gen.size: -1"));
  }

  void resetGAKeepsTheWindowAliveAndRefusesToStartAnotherSearch_data() {
    QTest::addColumn<int>("threads");
    QTest::newRow("one thread") << 1;
    QTest::newRow("two threads") << 2;
  }

  void resetGAKeepsTheWindowAliveAndRefusesToStartAnotherSearch() {
    QFETCH(int, threads);
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 12, 10, 10000) << QStringLiteral("Population limit=1500")
                                                      << QStringLiteral("Threads=%1").arg(threads));
    TFormStats stats;
    TEQForm& form = fixture.Create(QString(), &stats);
    QCOMPARE(Settings.Threads, threads);
    const PopulationPtr before = form.Generations->FCurrent();

    // A timer of the window fires again and again while the reset works;
    // from it the user tries everything the reset refuses.
    QList<BusyState> seen;
    bool refused = true;
    QTimer watcher;
    watcher.setInterval(0);
    connect(&watcher, &QTimer::timeout, &form, [&] {
      if (!form.Resetting()) return;
      form.Timer1Timer();
      seen << StateOf(form);
      if (seen.size() != 3) return;
      const PopulationPtr building = form.Generations->FCurrent();
      form.ButtonRandClick();
      form.ButtonStepClick();
      refused = refused && form.Generations->FCurrent() == building && !form.Running() && form.Resetting();
    });
    watcher.start();
    form.ButtonRand->click();
    watcher.stop();

    QVERIFY2(seen.size() >= 10, qPrintable(QString::number(seen.size())));
    QVERIFY(refused);
    for (const BusyState& state : seen) {
      QVERIFY(state.resetting && state.busy_cursor);
      QVERIFY(!state.run_enabled && !state.reset_enabled);
      QVERIFY(!state.elements_enabled && !state.delta_enabled && !state.max_enabled);
    }
    QVERIFY(seen.first().progress.startsWith(QStringLiteral("First population: ")));
    QVERIFY(seen.first().progress.endsWith(QStringLiteral(" of 1500 drawn, 0 evaluated")));
    QVERIFY(std::any_of(seen.begin(), seen.end(), [](const BusyState& s) {
      return s.progress.startsWith(QStringLiteral("First population: 1500 of 1500 drawn, ")) &&
             !s.progress.endsWith(QStringLiteral(", 0 evaluated"));
    }));

    // Done: a new first population, and the window as before.
    QVERIFY(form.Generations->FCurrent() != before);
    QCOMPARE(form.Generations->FGeneration(), 0);
    QCOMPARE(form.Generations->FCurrent()->Count(), 1500);
    QCOMPARE(form.BrowsedPopulation, form.Generations->FFirst());
    const BusyState after = StateOf(form);
    QVERIFY(!after.resetting && !after.busy_cursor && QApplication::overrideCursor() == nullptr);
    QVERIFY(after.run_enabled && after.reset_enabled && after.elements_enabled && after.delta_enabled &&
            after.max_enabled);
    QCOMPARE(after.progress, QString());
  }

  void aRunsRestartAfterAnElementCountChangeIsBusyButKeepsStop() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 10, 10000) << QStringLiteral("Population limit=600"));
    TEQForm& form = fixture.Create();
    Reproducible(form, 37);
    QList<BusyState> seen;
    QList<QString> captions;
    QTimer watcher;
    watcher.setInterval(0);
    connect(&watcher, &QTimer::timeout, &form, [&] {
      if (form.Generations->FGeneration() == 2 && !form.Resetting() && form.SpinEditElm->Value() == 5) {
        form.SpinEditElm->SetValue(6);  // the next step starts afresh
      }
      if (!form.Resetting()) return;
      form.Timer1Timer();
      seen << StateOf(form);
      captions << form.ButtonStep->text();
    });
    watcher.start();
    form.ButtonStep->click();
    watcher.stop();

    QVERIFY(!seen.isEmpty());
    for (const BusyState& state : seen) {
      QVERIFY(state.busy_cursor && state.run_enabled && !state.reset_enabled);
      QVERIFY(!state.elements_enabled && !state.delta_enabled && !state.max_enabled);
    }
    QVERIFY(captions.count(QStringLiteral("Stop")) == captions.size());
    QVERIFY(seen.first().progress.endsWith(QStringLiteral(" of 600 drawn, 0 evaluated")));
    QCOMPARE(form.Generations->FLatest()->Get(0)->Size, 6);
    const BusyState after = StateOf(form);
    QVERIFY(!after.resetting && !after.busy_cursor);
    QVERIFY(after.run_enabled && after.reset_enabled && after.elements_enabled);
  }

  void stopDuringAStepOfALargePopulationEndsTheRunAfterThatStep() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 100, 10000) << QStringLiteral("Population limit=4000")
                                                      << QStringLiteral("Threads=2"));
    TFormStats stats;
    TEQForm& form = fixture.Create(QString(), &stats);
    Reproducible(form, 43);
    int generation_at_click = -1;
    QTimer::singleShot(0, &form, [&] {
      generation_at_click = form.Generations->FGeneration();
      form.ButtonStep->click();  // Stop, in the middle of the first step
    });
    form.ButtonStep->click();
    QCOMPARE(generation_at_click, 0);
    QCOMPARE(form.Generations->FGeneration(), 1);
    QVERIFY(form.Generations->FLatest()->Count() > 1000);
    QCOMPARE(RecordNumbers(StatsLines(fixture)), QList<int>{-1});
    QCOMPARE(stats.Series1->count(), 0);
    QCOMPARE(form.ButtonStep->text(), QStringLiteral("Run"));
    QVERIFY(!form.Running());
  }

  void statisticsFileAcrossRunsAndResets() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 10, 10000));
    TEQForm& form = fixture.Create();
    Reproducible(form, 17);
    form.ButtonStepClick();
    form.ButtonStepClick();  // numbering goes on across runs
    form.ButtonRandClick();
    form.ButtonStepClick();
    const QStringList lines = StatsLines(fixture);
    QCOMPARE(lines.first(), kHeader);
    QCOMPARE(RecordNumbers(lines), QList<int>{-1} + Range(1, 20) + QList<int>{-1} + Range(1, 10));

    GA.GenerationNumber = 7;
    GA.BestFitness = 1.0;
    GA.MedianFitness = 0.75;
    GA.WorstFitness = 0.5;
    form.AppendStatistics();
    QCOMPARE(StatsLines(fixture).last(), QStringLiteral("00007 1.0000000 0.7500000 0.5000000 "));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    GA.MedianFitness = 11.0 / 12.0;
    form.AppendStatistics();
    QCOMPARE(StatsLines(fixture).last(), QStringLiteral("00007 1,0000000 0,9166667 0,5000000 "));
  }

  void elementCountChangedDuringARunTakesEffectAtTheNextStep() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 10, 10000));
    TEQForm& form = fixture.Create();
    Reproducible(form, 23);
    QTimer::singleShot(0, &form, [&] { form.SpinEditElm->SetValue(4); });
    form.ButtonStepClick();
    QCOMPARE(form.Generations->FLatest()->Get(0)->Size, 4);
    QCOMPARE(form.Generations->FGeneration(), 9);
    QCOMPARE(form.StringGridEditInf->rowCount(), 5);
    const QList<int> expected = QList<int>{-1, 1, -1} + Range(1, 9);
    QCOMPARE(RecordNumbers(StatsLines(fixture)), expected);
  }

  void closingDuringARunSavesAndEndsCleanly() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5, 100, 10000));
    TEQForm& form = fixture.Create();
    Reproducible(form, 29);
    QSignalSpy closed(&form, &TEQForm::Closed);
    form.show();
    QFile::remove(fixture.IniPath());
    QTimer::singleShot(0, &form, [&] {
      form.SpinEditMut->SetValue(12);
      form.close();
    });
    form.ButtonStepClick();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(form.Generations->FGeneration(), 1);
    QVERIFY(!form.Running());
    QVERIFY(FormFixture::ReadAll(fixture.IniPath()).contains(QStringLiteral("\r\nMutation rate=12\r\n")));
    const QStringList lines = StatsLines(fixture);
    QCOMPARE(RecordNumbers(lines), QList<int>{-1});
    form.AppendStatistics();  // the file is closed: nothing more is written
    form.ButtonStepClick();   // and no new run starts
    QCOMPARE(StatsLines(fixture), lines);
    QCOMPARE(form.Generations->FGeneration(), 1);
  }

  void anUnusableQuickSaveDirectoryIsLoggedAndEndsTheRun() {
    FormFixture fixture;
    QFile plain(fixture.Path(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString unusable = fixture.Path(QStringLiteral("plain/sub"));
    fixture.WriteIni({QStringLiteral("[Log]"), QStringLiteral("QuickDirPath=") + unusable,
                      QStringLiteral("[Algebra properties]"), QStringLiteral("Elements number=3")});
    TEQForm& form = fixture.Create();
    const QString line = QStringLiteral("Unable to create directory ") + unusable + u'/';
    QCOMPARE(form.RichEditLog->Lines().count(line), 1);
    QCOMPARE(form.RichEditLog->LineColor(static_cast<int>(form.RichEditLog->Lines().indexOf(line))), kRed);

    Reproducible(form, 31);
    QVERIFY(form.Generations->FWinners()->Count() > 0);  // found in the first population
    form.ButtonStepClick();
    QCOMPARE(form.Generations->FGeneration(), 1);  // the failed autosave ended the run
    QCOMPARE(form.ButtonStep->text(), QStringLiteral("Run"));
    QVERIFY(!form.Running());
    QVERIFY(!form.RichEditLog->Lines().filter(QStringLiteral("autosave_")).isEmpty());
  }

  // A quick-save folder may be shared: a link planted as stats.txt is
  // replaced, not truncated through; and a folder the settings name that
  // is no quick-save folder (say "/etc") gets no statistics file.
  void theStatisticsFileIsMadeOnlyWhereMeantAndNeverThroughALink() {
    FormFixture fixture;
    QVERIFY(QDir().mkpath(fixture.QuickDir()));
    const QString victim = fixture.Path(QStringLiteral("victim.txt"));
    QFile precious(victim);
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.write("precious");
    precious.close();
    const QString stats = fixture.QuickDir() + QStringLiteral("/stats.txt");
    QVERIFY(QFile::link(victim, stats));
    fixture.WriteIni(fixture.QuickDirLines());
    fixture.Create();
    QCOMPARE(FormFixture::ReadAll(victim), QStringLiteral("precious"));
    QVERIFY(!QFileInfo(stats).isSymLink());
    QCOMPARE(StatsLines(fixture), QStringList{kHeader});

    const QString foreign = fixture.Path(QStringLiteral("foreign"));
    QVERIFY(QDir().mkpath(foreign));
    QFile other(foreign + QStringLiteral("/notes.txt"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    fixture.WriteIni({QStringLiteral("[Log]"), QStringLiteral("QuickDirPath=") + foreign});
    TEQForm& form = fixture.Create();
    QVERIFY(!QFileInfo::exists(foreign + QStringLiteral("/stats.txt")));
    QCOMPARE(form.RichEditLog->Lines().filter(QStringLiteral("Statistics not written to ") + foreign).size(), 1);
  }
};

VELMORA_FORM_TEST_MAIN(FormRunTest)
#include "FormRunTest.moc"
