// The window as a new user meets it: the first runs autosave into the home
// folder whatever the settings file holds, and the status bar never shows the
// fitness of a search that a reset has replaced.
#include <QDir>
#include <QtTest>

#include "FormFixture.h"
#include "app/LogPane.h"
#include "app/QtMessagePump.h"
#include "model/Random.h"
#include "model/SettingsFile.h"
#include "app/SpinEdit.h"

namespace {

QString HomeQuickDir() { return QString::fromStdString(DefaultQuickDirText()); }

// Three elements and a seed that finds winners within ten steps.
void SmallReproducibleSearch(TEQForm& form) {
  form.SpinEditElm->SetValue(3);
  form.SpinEditGenLim->SetValue(10);
  form.SpinEditWinLim->SetValue(10000);
  RandSeed(7);
  form.ButtonRandClick();
}

}  // namespace

class NewcomerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetPumpInterval(std::chrono::microseconds(0)); }

  void theFirstRunAutosavesIntoTheHomeFolder_data() {
    QTest::addColumn<QStringList>("ini_lines");  // empty: no settings file at all
    QTest::newRow("no settings file") << QStringList{};
    QTest::newRow("settings file repeating the default text")
        << QStringList{QStringLiteral("[Log]"), QStringLiteral("QuickDirPath=") + HomeQuickDir()};
    QTest::newRow("settings file with a blank path")
        << QStringList{QStringLiteral("[Log]"), QStringLiteral("QuickDirPath=   ")};
  }

  void theFirstRunAutosavesIntoTheHomeFolder() {
    QFETCH(QStringList, ini_lines);
    QDir(HomeQuickDir()).removeRecursively();
    FormFixture fixture;
    if (!ini_lines.isEmpty()) fixture.WriteIni(ini_lines);
    TEQForm& form = fixture.Create();
    QCOMPARE(QString::fromStdString(Settings.QuickDir), HomeQuickDir() + u'/');
    QCOMPARE(form.EditQuickDir->text(), HomeQuickDir());

    SmallReproducibleSearch(form);
    form.ButtonStepClick();

    const QStringList log = form.RichEditLog->Lines();
    QVERIFY2(log.filter(QStringLiteral("Autosave failed")).isEmpty(), qPrintable(log.join(u'\n')));
    QVERIFY(form.Generations->FWinners()->Count() > 0);
    QCOMPARE(form.Generations->FGeneration(), 10);  // the run went on past its first winner
    const QDir quick(HomeQuickDir());
    QCOMPARE(quick.entryList({QStringLiteral("autosave_*_0000.eqa")}).size(), 1);
    QCOMPARE(quick.entryList({QStringLiteral("autosave_*_0000.eqp")}).size(), 1);
    QVERIFY(QFileInfo::exists(quick.filePath(QStringLiteral("stats.txt"))));

    // A second run goes on as well and numbers its winners after the first ones.
    const int first_winners = form.Generations->FWinners()->Count();
    form.SpinEditElm->SetValue(4);
    form.ButtonStepClick();
    QCOMPARE(form.Generations->FGeneration(), 10);
    QVERIFY(form.RichEditLog->Lines().filter(QStringLiteral("Autosave failed")).isEmpty());
    QVERIFY(quick.entryList({QStringLiteral("autosave_*.eqa")}).size() >= first_winners);
  }

  void theFitnessPanelsForgetASearchThatWasReset() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    SmallReproducibleSearch(form);
    form.ButtonStepClick();
    form.Timer1Timer();
    QCOMPARE(form.StatusPanels[6]->text(), QStringLiteral("Best: 100.000%"));

    form.ButtonRandClick();
    form.Timer1Timer();
    QCOMPARE(form.StatusPanels[6]->text(), QStringLiteral("Cur. Best Fit"));
    QCOMPARE(form.StatusPanels[7]->text(), QStringLiteral("Cur. Median"));
    QCOMPARE(form.StatusPanels[8]->text(), QStringLiteral("Cur. Worst"));

    // The same inside a run whose first step starts a new search of another
    // size: the tick that comes while the new first generation is built.
    form.ButtonStepClick();
    form.Timer1Timer();
    QVERIFY(form.StatusPanels[6]->text().startsWith(QStringLiteral("Best: ")));
    QStringList seen_during_reset;
    form.Generations->SetResetListener([&] {
      form.Timer1Timer();
      seen_during_reset << form.StatusPanels[6]->text();
    });
    form.SpinEditElm->SetValue(4);
    form.ButtonStepClick();
    QCOMPARE(seen_during_reset, QStringList{QStringLiteral("Cur. Best Fit")});
  }
};

VELMORA_FORM_TEST_MAIN(NewcomerTest)
#include "NewcomerTest.moc"
