// The log of the main window: Dump Current with and without the property
// lines, and the winner report with its autosave and its sound.
#include <QLabel>
#include <QLocale>
#include <QtTest>

#include "classes/AlgebraClass.h"
#include "app/AlgebraFiles.h"
#include "app/Colours.h"
#include "FilesFixture.h"
#include "HeadlessQtMain.h"
#include "app/LogPane.h"
#include "model/Settings.h"
#include "app/SpinEdit.h"

using namespace files_fixture;

namespace {

const QString kDashes = QStringLiteral("------------------------------------------------------------");

QString ClassId(const TEQAlgebra& algebra) { return QString::fromStdString(ClassifyAlgebra(algebra).Id); }

QStringList DumpLines(const TEQAlgebra& algebra) {
  QString text = QString::fromLatin1(Dump(algebra));
  text.chop(2);  // the final CR LF makes no line
  return text.split(QStringLiteral("\r\n"));
}

// The property lines as they must read for the algebra's slots as they stand.
QStringList ExpectedPropertyLines(const TEQAlgebra& algebra, bool maximum, QList<QColor>* colours) {
  QStringList lines;
  for (int k = 0; k < kPropertyCount; ++k) {
    const QString name = QString::fromLatin1(algebra.PropertyNames[k].data(), algebra.PropertyNames[k].size());
    if (!maximum && (name == QStringLiteral("Lattice") || name == QStringLiteral("Prelinear"))) continue;
    const PropertyResult& r = algebra.PropertyResults[k];
    if (r.Total > r.Passed) {
      lines << QStringLiteral("Non-%1: %2/%3, Errors: %4").arg(name).arg(r.Passed).arg(r.Total).arg(r.Total - r.Passed);
      colours->append(kRed);
    } else {
      lines << QStringLiteral("%1: %2/%3 OK").arg(name).arg(r.Passed).arg(r.Total);
      colours->append(kGreen);
    }
  }
  lines << kDashes;
  colours->append(colours->back());
  return lines;
}

PopulationPtr TwoMembers(const Fixture& f) {
  auto population = std::make_shared<TEQPopulation>();
  population->Add(f.Algebra(ChainText("first"), 1.0));
  population->Add(f.Algebra(ChainText("second", '0'), 0.25));
  return population;
}

// Restores the settings a test changes behind the window's back.
struct MaximumGuard {
  bool maximum = Settings.MaximumEnabled;
  ~MaximumGuard() {
    Settings.MaximumEnabled = maximum;
    Settings.UpdateGeneCount();
  }
};

}  // namespace

class WinnerReportTest : public QObject {
  Q_OBJECT

 private slots:
  void PropertyLinesReadAsStoredInSlotOrder() {
    MaximumGuard guard;
    Settings.MaximumEnabled = false;
    TEQAlgebra algebra;
    algebra.PropertyResults[kAssociativeInfimumSlot] = {120, 125};
    algebra.PropertyResults[kGoodnessSlot] = {5, 5};
    algebra.PropertyResults[kColourfulnessProductSlot] = {2, 3};
    LogPane log;
    DumpPropertyLines(log, algebra);
    const QStringList lines = log.Lines();
    QCOMPARE(lines.size(), 25);
    QCOMPARE(lines[0], QStringLiteral("Non-Associative Infimum: 120/125, Errors: 5"));
    QCOMPARE(log.LineColor(0), kRed);
    QCOMPARE(lines[1], QStringLiteral("Commutative Infimum: 0/0 OK"));  // a check that has not run
    QCOMPARE(log.LineColor(1), kGreen);
    QCOMPARE(lines[6], QStringLiteral("Isotone Product: 0/0 OK"));
    QCOMPARE(lines[7], QStringLiteral("Reflexive FEQuality: 0/0 OK"));
    QCOMPARE(lines[12], QStringLiteral("Colourfulness: 0/0 OK"));
    QCOMPARE(lines[13], QStringLiteral("Goodness: 5/5 OK"));
    QCOMPARE(lines[19], QStringLiteral("Linear: 0/0 OK"));
    QCOMPARE(lines[20], QStringLiteral("Sup-product distributivity: 0/0 OK"));  // listed whatever the settings
    QCOMPARE(lines[22], QStringLiteral("Delta properties: 0/0 OK"));
    QCOMPARE(lines[23], QStringLiteral("Non-Colourfulness(*): 2/3, Errors: 1"));
    QCOMPARE(lines[24], kDashes);
    QCOMPARE(log.LineColor(24), kRed);  // the dashes take the colour of the last line

    Settings.MaximumEnabled = true;
    algebra.PropertyResults[kColourfulnessProductSlot] = {3, 3};
    log.ClearLog();
    DumpPropertyLines(log, algebra);
    QCOMPARE(log.Lines().size(), 27);
    QCOMPARE(log.Lines()[20], QStringLiteral("Lattice: 0/0 OK"));
    QCOMPARE(log.Lines()[21], QStringLiteral("Prelinear: 0/0 OK"));
    QCOMPARE(log.Lines()[26], kDashes);
    QCOMPARE(log.LineColor(26), kGreen);
  }

  void MemberLineUsesTheUsersDecimalSeparator() {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TEQAlgebra algebra;
    algebra.Fitness = 0.975;
    LogPane log;
    AppendMemberReport(log, 12, algebra);
    QLocale::setDefault(previous);
    QCOMPARE(log.Lines().value(0), QStringLiteral("0012: 0,975"));
    QCOMPARE(log.LineColor(0), kRed);
    QCOMPARE(FitnessText(1.0), QStringLiteral("1"));
    QCOMPARE(FitnessText(0.1 + 0.2), QStringLiteral("0.3"));  // at most 15 significant digits
    QCOMPARE(FitnessText(0.123456789012345678), QStringLiteral("0.123456789012346"));
  }

  void DumpCurrentLogsEveryMemberWithTheFitnessItHad() {
    Fixture f;
    f.form->CheckBoxDumpProp->setChecked(false);
    const PopulationPtr population = TwoMembers(f);
    f.form->BrowsePopulation(population);
    population->Get(0)->Fitness = 1.0;   // as stored before the dump shows them
    population->Get(1)->Fitness = 0.25;
    f.form->RichEditLog->AppendLine(QStringLiteral("an older line"));
    f.form->ButtonDumpClick();

    QStringList expected;
    expected << QStringLiteral("0000: 1") << DumpLines(*population->Get(0));
    const int second_start = static_cast<int>(expected.size());
    expected << QStringLiteral("0001: 0.25") << DumpLines(*population->Get(1));
    QCOMPARE(f.form->RichEditLog->Lines(), expected);
    for (int line = 0; line < second_start; ++line) QCOMPARE(f.form->RichEditLog->LineColor(line), kGreen);
    for (int line = second_start; line < expected.size(); ++line) QCOMPARE(f.form->RichEditLog->LineColor(line), kRed);
    QCOMPARE(f.form->LabelCP->text(), QStringLiteral("Current Population"));
    QCOMPARE(f.form->SpinEditMember->Value(), 0);
    QCOMPARE(f.form->ShownAlgebra, population->Get(0));
    QVERIFY(f.form->RichEditLog->updatesEnabled());
  }

  void DumpCurrentSkipsEmptySlots() {
    Fixture f;
    f.form->CheckBoxDumpProp->setChecked(false);
    auto population = std::make_shared<TEQPopulation>();
    population->Add(f.Algebra(ChainText("a"), 0.5));
    population->Add(f.Algebra(ChainText("b"), 0.5));
    population->Add(f.Algebra(ChainText("c"), 0.5));
    f.form->BrowsePopulation(population);
    population->Free(1);  // a step has moved this member out
    for (int i : {0, 2}) population->Get(i)->Fitness = 0.5;
    f.form->ButtonDumpClick();
    const QStringList lines = f.form->RichEditLog->Lines();
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^\\d{4}: "))), QStringList({"0000: 0.5", "0002: 0.5"}));
  }

  void DumpCurrentWithPropertiesListsTwentyFourOrTwentySixLines_data() {
    QTest::addColumn<bool>("maximum");
    QTest::addColumn<int>("property_lines");
    QTest::newRow("maximum off") << false << 24;
    QTest::newRow("maximum on") << true << 26;
  }
  void DumpCurrentWithPropertiesListsTwentyFourOrTwentySixLines() {
    QFETCH(bool, maximum);
    QFETCH(int, property_lines);
    MaximumGuard guard;
    Fixture f;
    Settings.MaximumEnabled = maximum;
    Settings.UpdateGeneCount();
    f.form->CheckBoxDumpProp->setChecked(true);
    const PopulationPtr population = TwoMembers(f);
    f.form->BrowsePopulation(population);
    population->Get(0)->Fitness = 1.0;
    population->Get(1)->Fitness = 0.25;
    f.form->ButtonDumpClick();

    QStringList expected;
    QList<QColor> colours;
    for (int i = 0; i < 2; ++i) {
      const TEQAlgebra& member = *population->Get(i);
      const QColor colour = i == 0 ? kGreen : kRed;
      expected << QStringLiteral("000%1: %2").arg(i).arg(i == 0 ? QStringLiteral("1") : QStringLiteral("0.25"));
      colours << colour;
      for (const QString& line : DumpLines(member)) {
        expected << line;
        colours << colour;
      }
      const QStringList properties = ExpectedPropertyLines(member, maximum, &colours);
      QCOMPARE(properties.size(), property_lines + 1);
      expected << properties;
    }
    QCOMPARE(f.form->RichEditLog->Lines(), expected);
    for (int line = 0; line < expected.size(); ++line) {
      QVERIFY2(f.form->RichEditLog->LineColor(line) == colours[line], qPrintable(QString::number(line)));
    }
    // The checks ran while each member was shown: the infimum laws were counted.
    QVERIFY(population->Get(0)->PropertyResults[kAssociativeInfimumSlot].Total > 0);
    QVERIFY(expected.contains(QStringLiteral("Delta properties: 0/0 OK")));  // delta is off
    QCOMPARE(expected.contains(QStringLiteral("Non-Lattice: 0/0 OK")), false);
  }

  void WinnersAreLoggedOnceAndAutosavedAcrossSteps() {
    Fixture f;
    QVERIFY(WriteFile(f.Path(QStringLiteral("TaDa.WAV")), "RIFF"));
    const QString quick = f.Path(QStringLiteral("auto/EQ"));
    f.form->EditQuickDir->setText(quick);
    f.form->CheckBoxAutoSave->setChecked(true);
    f.form->CheckBoxTada->setChecked(true);
    f.form->RunStartTime = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 10));
    f.form->RichEditLog->AppendLine(QStringLiteral("left from before the reset"));
    const PopulationPtr& winners = f.form->Generations->FWinners();
    QVERIFY(winners != nullptr);
    QCOMPARE(winners->Count(), 0);
    QCOMPARE(f.form->ReportedWinners, 0);

    // First step: one winner.
    winners->Add(f.Algebra(ChainText("first winner"), 1.0));
    QVERIFY(f.form->ReportNewWinners());
    QStringList expected;
    expected << QStringLiteral("0000: 1, class %1, new class").arg(ClassId(*winners->Get(0)))
             << DumpLines(*winners->Get(0));
    QCOMPARE(f.form->RichEditLog->Lines(), expected);  // the log was cleared first
    QCOMPARE(f.form->RichEditLog->LineColor(0), kGreen);
    QCOMPARE(f.sounds, QStringList({f.Path(QStringLiteral("TaDa.WAV"))}));
    QCOMPARE(f.form->ReportedWinners, 1);
    const QString base0 = quick + QStringLiteral("/autosave_240506-070809010_0000");
    QCOMPARE(ReadFile(base0 + QStringLiteral(".eqp")), Dump(*winners->Get(0)) + "\r\n");
    QCOMPARE(ReadFile(base0 + QStringLiteral(".eqa")), ChainText("first winner"));

    // Second step: one more winner; the first is not logged again.
    winners->Add(f.Algebra(ChainText("second winner", '0'), 1.0));
    QVERIFY(f.form->ReportNewWinners());
    expected << QStringLiteral("0001: 1, class %1, new class").arg(ClassId(*winners->Get(1)))
             << DumpLines(*winners->Get(1));
    QCOMPARE(f.form->RichEditLog->Lines(), expected);
    QCOMPARE(f.sounds.size(), 1);
    const QString base1 = quick + QStringLiteral("/autosave_240506-070809010_0001");
    QCOMPARE(ReadFile(base1 + QStringLiteral(".eqp")), Dump(*winners->Get(1)) + "\r\n");
    QCOMPARE(ReadFile(base1 + QStringLiteral(".eqa")), ChainText("second winner", '0'));
    QCOMPARE(f.Files(quick), QStringList({"autosave_240506-070809010_0000.eqa", "autosave_240506-070809010_0000.eqp",
                                          "autosave_240506-070809010_0001.eqa", "autosave_240506-070809010_0001.eqp"}));
    QCOMPARE(winners->Get(0)->Description, std::string("first winner"));  // the autosave keeps it

    // A step without new winners adds nothing.
    QVERIFY(f.form->ReportNewWinners());
    QCOMPARE(f.form->RichEditLog->Lines(), expected);
    QCOMPARE(f.form->ReportedWinners, 2);
    QCOMPARE(f.form->LabelCP->text(), QStringLiteral("Current Population"));
    f.form->BrowsePopulation(winners);
    QVERIFY(f.form->ReportNewWinners());
    QCOMPARE(f.form->LabelCP->text(), QStringLiteral("EQ-Algebras"));
  }

  void WithoutTheBoxesNothingIsSavedOrPlayed() {
    Fixture f;
    QVERIFY(WriteFile(f.Path(QStringLiteral("tada.wav")), "RIFF"));
    const QString quick = f.Path(QStringLiteral("never"));
    f.form->EditQuickDir->setText(quick);
    f.form->CheckBoxAutoSave->setChecked(false);
    f.form->CheckBoxTada->setChecked(false);
    f.form->Generations->FWinners()->Add(f.Algebra(ChainText(), 1.0));
    QVERIFY(f.form->ReportNewWinners());
    QVERIFY(f.sounds.isEmpty());
    QVERIFY(!QFileInfo::exists(quick));
    QVERIFY(f.form->RichEditLog->Lines().value(0).startsWith(QStringLiteral("0000: 1, class ")));
  }

  void NoSoundWithoutTheFile() {
    Fixture f;
    f.form->CheckBoxTada->setChecked(true);
    f.form->CheckBoxAutoSave->setChecked(false);
    f.form->Generations->FWinners()->Add(f.Algebra(ChainText(), 1.0));
    QVERIFY(f.form->ReportNewWinners());
    QVERIFY(f.sounds.isEmpty());
  }

  void AnAutosaveThatCannotBeWrittenIsLoggedAndEndsTheRun() {
    Fixture f;
    const QString blocker = f.Path(QStringLiteral("plain-file"));
    QVERIFY(WriteFile(blocker, "x"));
    f.form->EditQuickDir->setText(blocker + QStringLiteral("/EQ"));
    f.form->CheckBoxAutoSave->setChecked(true);
    f.form->RunStartTime = QDateTime(QDate(2023, 11, 12), QTime(13, 14, 15, 16));
    const PopulationPtr& winners = f.form->Generations->FWinners();
    winners->Add(f.Algebra(ChainText(), 1.0));
    QVERIFY(!f.form->ReportNewWinners());
    const QString base = blocker + QStringLiteral("/EQ/autosave_231112-131415016_0000");
    const QString reason = QStringLiteral(": Unable to create directory: ") + blocker + QStringLiteral(" is not a directory");
    const QStringList lines = f.form->RichEditLog->Lines();
    QCOMPARE(lines.mid(lines.size() - 2),
             QStringList({QStringLiteral("Autosave failed: ") + base + QStringLiteral(".eqp") + reason,
                          QStringLiteral("Autosave failed: ") + base + QStringLiteral(".eqa") + reason}));
    QCOMPARE(f.form->RichEditLog->LineColor(static_cast<int>(lines.size()) - 1), kRed);
    QCOMPARE(f.form->RichEditLog->LineColor(static_cast<int>(lines.size()) - 2), kRed);
    QVERIFY(lines.value(0).startsWith(QStringLiteral("0000: 1, class ")));  // the winner is still logged
    QVERIFY(f.messages.empty());  // no message box during a run
    QCOMPARE(winners->Count(), 1);  // and kept for saving elsewhere
    QCOMPARE(f.form->ReportedWinners, 1);
    QCOMPARE(ReadFile(blocker), QByteArray("x"));
  }
};

VELMORA_HEADLESS_TEST_MAIN(WinnerReportTest)
#include "WinnerReportTest.moc"
