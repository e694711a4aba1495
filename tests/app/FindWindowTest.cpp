// Find in the main window: the exact finder on worker threads, its
// representatives as the browsable population "Found", the log and the
// summary, Stop, the keep limit, what is locked while it runs, and closing
// the window in the middle of it.
#include <QComboBox>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <chrono>
#include <set>
#include <thread>

#include "classes/AlgebraClass.h"
#include "app/Colours.h"
#include "FormFixture.h"
#include "app/LogPane.h"
#include "app/QtMessagePump.h"
#include "app/SpinEdit.h"
#include "TestAlgebras.h"

namespace {

const QRegularExpression kFoundEntry(QStringLiteral("^(\\d{4}): 1, class (\\S+), automorphisms (\\d+)$"));

QStringList IniLines(const FormFixture& fixture, int elements) {
  return fixture.QuickDirLines() << QStringLiteral("[Algebra properties]")
                                 << QStringLiteral("Elements number=%1").arg(elements);
}

// Lets the window handle its events until the Find has ended.
bool WaitForFind(const TEQForm& form, int seconds = 240) {
  QElapsedTimer clock;
  clock.start();
  while (form.Finding() && clock.elapsed() < seconds * 1000) QTest::qWait(5);
  return !form.Finding();
}

QString LastLine(const TEQForm& form) { return form.RichEditLog->Lines().value(form.RichEditLog->Lines().size() - 1); }

QStringList FoundEntries(const TEQForm& form) { return form.RichEditLog->Lines().filter(kFoundEntry); }

// A finder that reports its progress once and then works until it is told to stop.
struct BlockingFinder {
  std::atomic<bool> entered{false};
  std::atomic<bool> saw_stop{false};
  SearchSettings settings_seen;
  int threads_seen = -1;
  std::string note;  // what a first-winner search tells instead of a share

  FindRunner::FinderFunction Function() {
    return [this](const FinderOptions& options, const std::function<void(const FoundClass&)>&,
                  const std::function<void(const FinderProgress&)>& on_progress, const std::atomic<bool>& stop) {
      settings_seen = options.Settings;
      threads_seen = options.Threads;
      entered = true;
      FinderProgress progress;
      progress.Done = 3;
      progress.Total = 40;
      progress.Seconds = 1.0;
      on_progress(progress);
      // The finder's second way of counting lags behind the first: told
      // later, it must not take the count back.
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      progress.Done = 1;
      progress.Classes = 2;
      progress.Seconds = 1.5;
      progress.Note = note;
      on_progress(progress);
      while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      saw_stop = true;
      FinderSummary summary;
      summary.Seconds = 0.5;
      if (!note.empty()) {
        summary.Searched = "every lattice of 5 elements";
        summary.WhyIncomplete = "stopped";
      }
      return summary;
    };
  }
};

// A finder that hands out count copies of a chain at once and ends complete.
FindRunner::FinderFunction ChainsFinder(int count) {
  return [count](const FinderOptions& options, const std::function<void(const FoundClass&)>& on_class,
                 const std::function<void(const FinderProgress&)>&, const std::atomic<bool>&) {
    FinderSummary summary;
    for (int i = 0; i < count; ++i) {
      auto algebra = std::make_shared<TEQAlgebra>(test_algebras::GoedelChain(options.Settings.ElementCount));
      algebra->Fitness = 1.0;
      FoundClass found;
      found.Index = i;
      found.Algebra = algebra;
      found.Class.Id = "c" + std::to_string(i);
      on_class(found);
      ++summary.Classes;
    }
    summary.Labelled = summary.Classes;
    summary.Complete = true;
    return summary;
  };
}

}  // namespace

class FindWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QLocale::setDefault(QLocale::c());
    SetPumpInterval(std::chrono::microseconds(0));
  }

  void findsEveryClassOfFourElements() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4));
    TEQForm& form = fixture.Create();
    QCOMPARE(form.ComboBoxFindMode->currentText(), QStringLiteral("All"));
    QCOMPARE(form.SpinEditKeep->Value(), 1000);
    form.ButtonFindClick();
    QVERIFY(form.Finding());
    QCOMPARE(form.ButtonFind->text(), QStringLiteral("Stop"));
    QVERIFY(WaitForFind(form));

    const PopulationPtr found = form.FoundPopulation;
    QVERIFY(found != nullptr);
    QCOMPARE(found->Count(), 265);
    std::set<std::string> keys;
    for (int i = 0; i < found->Count(); ++i) {
      TEQAlgebra* member = found->Get(i);
      QVERIFY(member != nullptr);
      QCOMPARE(member->Size, 4);
      QCOMPARE(member->Fitness, 1.0);
      QCOMPARE(member->Evaluate(), 1.0);  // a winner under the window's own settings
      keys.insert(ClassifyAlgebra(*member).Key);
    }
    QCOMPARE(keys.size(), size_t{265});  // one representative per class

    // The log lists each as the winners are listed, with its class and automorphisms.
    const QStringList entries = FoundEntries(form);
    QCOMPARE(entries.size(), 265);
    for (int i = 0; i < entries.size(); ++i) {
      const QRegularExpressionMatch match = kFoundEntry.match(entries[i]);
      QCOMPARE(match.captured(1).toInt(), i);
      const AlgebraClass algebra_class = ClassifyAlgebra(*found->Get(i));
      QCOMPARE(match.captured(2), QString::fromStdString(algebra_class.Id));
      QCOMPARE(match.captured(3), QString::fromStdString(FormatBigCount(algebra_class.Automorphisms)));
    }
    QCOMPARE(LastLine(form), QStringLiteral("Found 265 classes (525 algebras) of 4 elements — complete"));
    QCOMPARE(form.LabelFindStatus->text().contains(QStringLiteral("265 classes")), true);

    // The representatives are browsed as "Found", in green.
    QCOMPARE(form.BrowsedPopulation, found);
    QCOMPARE(form.LabelPopInd->text(), QStringLiteral("Found"));
    QCOMPARE(form.LabelPopInd->palette().color(QPalette::WindowText), kGreen);
    QCOMPARE(form.LabelPop->text(), QStringLiteral("265"));
    QCOMPARE(form.ShownAlgebra, found->Get(0));
    form.ButtonNextClick();
    QCOMPARE(form.ShownAlgebra, found->Get(1));
    QCOMPARE(form.LabelFitness->text(), QStringLiteral("Fitness :100%"));
    QCOMPARE(form.ButtonFind->text(), QStringLiteral("Find"));
    QVERIFY(form.ButtonStep->isEnabled());
    QVERIFY(form.SpinEditElm->isEnabled());
  }

  void keepsAtMostTheLimitButCountsOn() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4));
    TEQForm& form = fixture.Create();
    form.SpinEditKeep->SetValue(10);
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(form.FoundPopulation->Count(), 10);
    QCOMPARE(FoundEntries(form).size(), 10);
    QCOMPARE(LastLine(form),
             QStringLiteral("Found 265 classes (525 algebras) of 4 elements — complete; the first 10 kept"));
  }

  void firstStopsAtOneAlgebra() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 6));
    TEQForm& form = fixture.Create();
    form.ComboBoxFindMode->setCurrentIndex(1);
    QCOMPARE(form.ComboBoxFindMode->currentText(), QStringLiteral("First"));
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(form.FoundPopulation->Count(), 1);
    QCOMPARE(form.FoundPopulation->Get(0)->Evaluate(), 1.0);
    QVERIFY2(QRegularExpression(QStringLiteral("^Found 1 class \\([\\d,]+ algebras?\\) of 6 elements — not complete: stopped at the first "
                                            "winner; searched .+$"))
                 .match(LastLine(form))
                 .hasMatch(),
             qPrintable(LastLine(form)));
    // A dump of what Find found is headed as EQ-algebras, like the winners.
    form.ButtonDumpClick();
    QCOMPARE(form.LabelCP->text(), QStringLiteral("EQ-Algebras"));
  }

  void stopEndsItEarlyWithAPartialSummary() {
    FormFixture fixture;
    // The first classes come within seconds, the whole takes far longer.
    fixture.WriteIni(IniLines(fixture, 8) << QStringLiteral("Goodness=1") << QStringLiteral("Residuated=1"));
    TEQForm& form = fixture.Create();
    form.ButtonFindClick();
    QTRY_VERIFY_WITH_TIMEOUT(form.FoundPopulation->Count() > 0, 120000);
    form.ButtonFindClick();  // "Stop"
    QVERIFY(WaitForFind(form, 30));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Found ([\\d,]+) class(es)? \\([\\d,]+ algebras?\\) of 8 elements — "
                                          "not complete: stopped; searched every lattice of 8 elements"
                                          "(; the first [\\d,]+ kept)?$"))
            .match(LastLine(form));
    QVERIFY2(match.hasMatch(), qPrintable(LastLine(form)));
    const int classes = match.captured(1).remove(u',').toInt();
    QVERIFY(classes >= form.FoundPopulation->Count());
    QCOMPARE(FoundEntries(form).size(), form.FoundPopulation->Count());
    QCOMPARE(form.ButtonFind->text(), QStringLiteral("Find"));
    QVERIFY(form.ButtonRand->isEnabled());
  }

  void nothingFoundIsSaidAsAResult() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 2) << QStringLiteral("Non-Linear=1"));
    TEQForm& form = fixture.Create();
    const PopulationPtr browsed = form.BrowsedPopulation;
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(form.FoundPopulation->Count(), 0);
    QCOMPARE(LastLine(form),
             QStringLiteral("Found nothing: no algebra of 2 elements has the asked-for properties — complete"));
    QCOMPARE(form.RichEditLog->LineColor(static_cast<int>(form.RichEditLog->Lines().size()) - 1), kBlack);
    QCOMPARE(form.BrowsedPopulation, browsed);  // nothing to browse

    // Above the enumerated sizes an empty answer names what was searched.
    form.SpinEditElm->SetValue(12);
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(LastLine(form), QStringLiteral("Found nothing in the searched space of 12 elements — not complete: "
                                            "lattices of more than 11 elements are not enumerated; searched the "
                                            "chain of 12 elements only"));
  }

  // Many classes at once reach the window in the finder's order, the keep
  // limit cuts the population and the log, not the count.
  void aBurstOfClassesArrivesInOrder() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4));
    TEQForm& form = fixture.Create();
    const TEQAlgebra chain = test_algebras::GoedelChain(4);
    form.Finder()->Finder = [&chain](const FinderOptions&, const std::function<void(const FoundClass&)>& on_class,
                                     const std::function<void(const FinderProgress&)>&, const std::atomic<bool>&) {
      for (int i = 0; i < 3000; ++i) {
        auto algebra = std::make_shared<TEQAlgebra>(chain);
        algebra->Description = std::to_string(i);
        algebra->Fitness = 1.0;
        FoundClass found;
        found.Index = i;
        found.Algebra = algebra;
        found.Class.Id = "c" + std::to_string(i);
        found.Class.Automorphisms = 2;
        on_class(found);
      }
      FinderSummary summary;
      summary.Classes = 3000;
      summary.Labelled = 3000;
      summary.Complete = true;
      return summary;
    };
    form.SpinEditKeep->SetValue(2500);
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(form.FoundPopulation->Count(), 2500);
    for (int i = 0; i < 2500; ++i) QCOMPARE(form.FoundPopulation->Get(i)->Description, std::to_string(i));
    const QStringList entries = FoundEntries(form);
    QCOMPARE(entries.size(), 2500);
    QCOMPARE(entries[1234], QStringLiteral("1234: 1, class c1234, automorphisms 2"));
    QCOMPARE(LastLine(form),
             QStringLiteral("Found 3,000 classes (3,000 algebras) of 4 elements — complete; the first 2,500 kept"));
  }

  void whileItRunsTheSearchAndItsSettingsAreLocked() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5));
    TEQForm& form = fixture.Create();
    form.CheckBoxGood->setChecked(true);
    BlockingFinder finder;
    form.Finder()->Finder = finder.Function();
    const PopulationPtr first = form.Generations->FFirst();
    const int32_t generation = form.Generations->FGeneration();

    form.SpinEditThreads->SetValue(1);
    form.ButtonFindClick();
    QTRY_VERIFY(finder.entered.load());
    QCOMPARE(finder.settings_seen.ElementCount, 5);
    QVERIFY(finder.settings_seen.WantGoodness);
    QCOMPARE(finder.threads_seen, form.SpinEditThreads->Value());
    QTRY_COMPARE(form.LabelFindStatus->text(), QStringLiteral("Find: 3/40 parts, 2 classes, 1.5 s"));
    QCOMPARE(form.ButtonFind->text(), QStringLiteral("Stop"));
    for (QWidget* locked : std::initializer_list<QWidget*>{
             form.ButtonStep, form.ButtonRand, form.SpinEditElm, form.SpinEditOpt, form.SpinEditColor,
             form.CheckBoxDeltaProp, form.CheckBoxMax, form.CheckBoxGood, form.CheckBoxNonLin, form.CheckBoxEqProd,
             form.ComboBoxFindMode, form.SpinEditKeep}) {
      QVERIFY2(!locked->isEnabled(), qPrintable(locked->metaObject()->className()));
    }
    QVERIFY(form.ButtonNext->isEnabled());  // browsing goes on
    form.ButtonStepClick();                // refused, not queued
    QVERIFY(!form.Running());
    QCOMPARE(form.Generations->FGeneration(), generation);
    form.ButtonRandClick();
    QCOMPARE(form.Generations->FFirst(), first);

    form.ButtonFindClick();  // "Stop"
    QVERIFY(WaitForFind(form, 10));
    QVERIFY(finder.saw_stop.load());
    QCOMPARE(LastLine(form), QStringLiteral("Found nothing in the searched space of 5 elements — not complete"));
    QCOMPARE(form.ButtonFind->text(), QStringLiteral("Find"));
    QVERIFY(form.ButtonStep->isEnabled());
    QVERIFY(form.SpinEditElm->isEnabled());
    QVERIFY(form.CheckBoxGood->isEnabled());
  }

  // First tells what it searches, never a share that stands still, and a
  // stopped First says what was searched.
  void firstShowsWhatItSearches() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5));
    TEQForm& form = fixture.Create();
    form.ComboBoxFindMode->setCurrentIndex(1);
    BlockingFinder finder;
    finder.note = "round 2 over every lattice of 5 elements, 3 of 15 lattices settled";
    form.Finder()->Finder = finder.Function();
    form.ButtonFindClick();
    QTRY_COMPARE(form.LabelFindStatus->text(),
                 QStringLiteral("Find: round 2 over every lattice of 5 elements, 3 of 15 lattices settled, 1.5 s"));
    form.ButtonFindClick();  // "Stop"
    QVERIFY(WaitForFind(form, 10));
    QCOMPARE(LastLine(form), QStringLiteral("Found nothing in the searched space of 5 elements — not complete: "
                                            "stopped; searched every lattice of 5 elements"));
    QCOMPARE(form.LabelFindStatus->text(), QStringLiteral("Find: not complete, 0 classes, 0.5 s"));
  }

  void findIsRefusedDuringARun() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4) << QStringLiteral("[GA properties]") << QStringLiteral("Steps limit=10"));
    TEQForm& form = fixture.Create();
    BlockingFinder finder;
    form.Finder()->Finder = finder.Function();
    bool finding_in_run = true;
    bool find_enabled_in_run = true;
    QTimer::singleShot(0, &form, [&] {
      find_enabled_in_run = form.ButtonFind->isEnabled();  // greyed, as Run is during a Find
      form.ButtonFindClick();  // handled by the run loop's message pump
      finding_in_run = form.Finding();
    });
    form.ButtonStepClick();
    QVERIFY(!find_enabled_in_run);
    QVERIFY(!finding_in_run);
    QVERIFY(!finder.entered.load());
    QVERIFY(form.ButtonFind->isEnabled());
  }

  // A Find that keeps nothing replaces the last Find's algebras all the
  // same: nothing of them is browsed or saved as "Found" any more.
  void aFindThatFindsNothingReplacesTheFound() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4));
    TEQForm& form = fixture.Create();
    form.Finder()->Finder = ChainsFinder(3);
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(form.BrowsedPopulation->Count(), 3);
    form.BrowsePopulation(form.Generations->FFirst());  // elsewhere, and back: the Found is browsed again
    form.LoadFoundClick();
    QCOMPARE(form.BrowsedPopulation, form.FoundPopulation);

    form.Finder()->Finder = ChainsFinder(0);
    form.ButtonFindClick();
    QVERIFY(WaitForFind(form));
    QCOMPARE(form.BrowsedPopulation, form.FoundPopulation);
    QCOMPARE(form.FoundPopulation->Count(), 0);
    QCOMPARE(form.LabelPopInd->text(), QStringLiteral("Found"));
    QCOMPARE(form.LabelPop->text(), QStringLiteral("0"));
    QCOMPARE(form.StringGridEditInf->item(1, 1), nullptr);  // no tables of an earlier member
    const QString target = fixture.Path(QStringLiteral("found.eqp"));
    form.AskSaveFileName = [&] { return target; };
    form.ButtonSavePopClick();
    QVERIFY(!QFileInfo::exists(target));
  }

  void keepAtMostAndFirstAreKeptInTheSettings() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 4));
    TEQForm& form = fixture.Create();
    form.SpinEditKeep->SetValue(250);
    form.ComboBoxFindMode->setCurrentIndex(1);
    form.close();
    TEQForm& again = fixture.Create();
    QCOMPARE(again.SpinEditKeep->Value(), 250);
    QCOMPARE(again.ComboBoxFindMode->currentText(), QStringLiteral("First"));
  }

  void closingDuringAFindStopsItAndSavesTheSettings() {
    FormFixture fixture;
    fixture.WriteIni(IniLines(fixture, 5));
    TEQForm& form = fixture.Create();
    BlockingFinder finder;
    form.Finder()->Finder = finder.Function();
    QFile::remove(fixture.IniPath());
    QSignalSpy closed(&form, &TEQForm::Closed);
    form.ButtonFindClick();
    QTRY_VERIFY(finder.entered.load());
    form.close();
    QCOMPARE(closed.count(), 1);
    QVERIFY(finder.saw_stop.load());
    QVERIFY(!form.Finding());
    QVERIFY(FormFixture::ReadAll(fixture.IniPath()).contains(QStringLiteral("Elements number=5")));
    QTest::qWait(20);  // nothing is told to the closed window any more
    QVERIFY(!LastLine(form).startsWith(QStringLiteral("Found")));
  }
};

VELMORA_FORM_TEST_MAIN(FindWindowTest)
#include "FindWindowTest.moc"
