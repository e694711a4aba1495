// The main window's settings controls: handlers, pairs, bounds, the mirrored
// step counters, typed text and the settings file.
#include <QLineEdit>
#include <QtTest>

#include "app/Colours.h"
#include "FormFixture.h"
#include "app/LogPane.h"
#include "app/SpinEdit.h"

namespace {

struct PairCase {
  const char* key;
  const char* non_key;
  QCheckBox* TEQForm::*box;
  QCheckBox* TEQForm::*non_box;
  bool SearchSettings::*want;
  bool SearchSettings::*want_non;
};

const std::array<PairCase, 9> kPairs{{
    {"Goodness", "Non-Goodness", &TEQForm::CheckBoxGood, &TEQForm::CheckBoxgoodnon, &SearchSettings::WantGoodness,
     &SearchSettings::WantNonGoodness},
    {"Involutive", "Non-Involutive", &TEQForm::CheckBoxInv, &TEQForm::CheckBoxinvnon,
     &SearchSettings::WantInvolutive, &SearchSettings::WantNonInvolutive},
    {"Semiseparated", "Non-SemiSeparated", &TEQForm::CheckBoxSemi, &TEQForm::CheckBoxSemiNon,
     &SearchSettings::WantSemiSeparated, &SearchSettings::WantNonSemiSeparated},
    {"Separated", "Non-Separated", &TEQForm::CheckBoxSepar, &TEQForm::CheckBoxSeparNon,
     &SearchSettings::WantSeparated, &SearchSettings::WantNonSeparated},
    {"Residuated", "Non-Residuated", &TEQForm::CheckBoxResid, &TEQForm::CheckBoxResNon,
     &SearchSettings::WantResiduated, &SearchSettings::WantNonResiduated},
    {"Commutative", "Non-Commutative", &TEQForm::CheckBoxCom, &TEQForm::CheckBoxComNon,
     &SearchSettings::WantCommutative, &SearchSettings::WantNonCommutative},
    {"Linear", "Non-Linear", &TEQForm::CheckBoxLinear, &TEQForm::CheckBoxNonLin, &SearchSettings::WantLinear,
     &SearchSettings::WantNonLinear},
    {"Lattice", "Non-Lattice", &TEQForm::CheckBoxLat, &TEQForm::CheckBoxLatNon, &SearchSettings::WantLattice,
     &SearchSettings::WantNonLattice},
    {"Prelinear", "Non-Prelinear", &TEQForm::CheckBoxPre, &TEQForm::CheckBoxPreLinNon,
     &SearchSettings::WantPrelinear, &SearchSettings::WantNonPrelinear},
}};

// Replaces the spin edit's text as a user would and presses Enter.
void TypeInto(SpinEdit* spin, const QString& text, bool press_enter = true) {
  spin->Editor()->selectAll();
  QTest::keyClick(spin->Editor(), Qt::Key_Backspace);
  if (!text.isEmpty()) QTest::keyClicks(spin, text);
  if (press_enter) QTest::keyClick(spin, Qt::Key_Return);
}

const char* const kDefaultIniWithChanges =
    "[Algebra properties]\r\n"
    "Elements number=6\r\n"
    "Optional weight=10\r\n"
    "Colorfulness=0\r\n"
    "Colorfulness(*)=0\r\n"
    "Delta=1\r\n"
    "Max=0\r\n"
    "Goodness=0\r\n"
    "Involutive=0\r\n"
    "Semiseparated=0\r\n"
    "Separated=0\r\n"
    "Residuated=0\r\n"
    "Commutative=0\r\n"
    "Non-Lattice=0\r\n"
    "Non-Residuated=0\r\n"
    "Non-Commutative=1\r\n"
    "Non-Goodness=0\r\n"
    "Non-Involutive=0\r\n"
    "Non-Separated=0\r\n"
    "Non-Prelinear=0\r\n"
    "Non-SemiSeparated=0\r\n"
    "Non-Linear=0\r\n"
    "Linear=0\r\n"
    "Lattice=0\r\n"
    "Prelinear=0\r\n"
    "Sup-product distributivity=0\r\n"
    "Equality over EqProd=0\r\n"
    "\r\n"
    "[GA properties]\r\n"
    "Population limit=180\r\n"
    "Steps limit=100\r\n"
    "Mutation rate=7\r\n"
    "Crossover rate=90\r\n"
    "Winners limit=100\r\n"
    "Child ratio=95\r\n"
    "Remove equal=1\r\n"
    "Threads=3\r\n"
    "One per class=0\r\n"
    "\r\n"
    "[Log]\r\n"
    "DumpProperties=0\r\n"
    "QuickDirPath=%1\r\n"
    "\r\n"
    "[Log properties]\r\n"
    "AutoLoadWinners=1\r\n"
    "Log derived=1\r\n"
    "Log properties=0\r\n"
    "Quicksave=1\r\n"
    "Autosave=1\r\n"
    "Tada sound=1\r\n"
    "\r\n"
    "[Find]\r\n"
    "Keep at most=1000\r\n"
    "First only=0\r\n";

}  // namespace

class FormSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  // A misspelt key is logged once at start-up, as the tool tells it.
  void ignoredSettingsLinesAreLoggedAtStartUp() {
    FormFixture fixture;
    QStringList lines = fixture.QuickDirLines();
    lines << QStringLiteral("[Algebra properties]") << QStringLiteral("Goodnes=1");
    fixture.WriteIni(lines);
    TEQForm& form = fixture.Create();
    const QString expected = fixture.IniPath() +
                             QStringLiteral(":4: unknown key \"Goodnes\" in [Algebra properties] (ignored; did you "
                                            "mean \"Goodness\"?)");
    QCOMPARE(form.RichEditLog->Lines().count(expected), 1);
    QVERIFY(!form.CheckBoxGood->isChecked());
  }

  void pairOutcomesOfTheFileOrder_data() {
    QTest::addColumn<int>("pair");
    QTest::addColumn<bool>("non_wins");
    QTest::newRow("Goodness: Non read later") << 0 << true;
    QTest::newRow("Involutive: Non read later") << 1 << true;
    QTest::newRow("Semiseparated: Non read later") << 2 << true;
    QTest::newRow("Separated: Non read later") << 3 << true;
    QTest::newRow("Residuated: Non read later") << 4 << true;
    QTest::newRow("Commutative: Non read later") << 5 << true;
    QTest::newRow("Linear: property read later") << 6 << false;
    QTest::newRow("Lattice: property read later") << 7 << false;
    QTest::newRow("Prelinear: property read later") << 8 << false;
  }

  void pairOutcomesOfTheFileOrder() {
    QFETCH(int, pair);
    QFETCH(bool, non_wins);
    const PairCase& c = kPairs[static_cast<size_t>(pair)];
    FormFixture fixture;
    QStringList lines = fixture.QuickDirLines();
    lines << QStringLiteral("[Algebra properties]") << QString::fromLatin1(c.key) + QStringLiteral("=1")
          << QString::fromLatin1(c.non_key) + QStringLiteral("=1");
    fixture.WriteIni(lines);
    TEQForm& form = fixture.Create();
    QCOMPARE((form.*c.box)->isChecked(), !non_wins);
    QCOMPARE((form.*c.non_box)->isChecked(), non_wins);
    QCOMPARE(Settings.*c.want, !non_wins);
    QCOMPARE(Settings.*c.want_non, non_wins);
    QVERIFY(fixture.message_texts.isEmpty());
  }

  void tickingOneBoxOfAPairUnticksTheOther_data() {
    QTest::addColumn<int>("pair");
    for (size_t i = 0; i < kPairs.size(); ++i) QTest::newRow(kPairs[i].key) << static_cast<int>(i);
  }

  void tickingOneBoxOfAPairUnticksTheOther() {
    QFETCH(int, pair);
    const PairCase& c = kPairs[static_cast<size_t>(pair)];
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    (form.*c.box)->click();
    QVERIFY(Settings.*c.want);
    (form.*c.non_box)->click();
    QVERIFY(!(form.*c.box)->isChecked());
    QVERIFY(!(Settings.*c.want));
    QVERIFY(Settings.*c.want_non);
    (form.*c.box)->click();
    QVERIFY(!(form.*c.non_box)->isChecked());
    QVERIFY(Settings.*c.want);
    QVERIFY(!(Settings.*c.want_non));
  }

  void colourfulnessFollowsTheElementCount() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines() << QStringLiteral("[Algebra properties]")
                                             << QStringLiteral("Elements number=6")
                                             << QStringLiteral("Colorfulness=5")
                                             << QStringLiteral("Colorfulness(*)=5"));
    TEQForm& form = fixture.Create();
    QCOMPARE(form.SpinEditColor->Value(), 5);
    QCOMPARE(form.SpinEditColor->maximum(), 6);
    QCOMPARE(Settings.ColorfulnessFEq, 5);

    form.SpinEditElm->SetValue(4);
    QCOMPARE(Settings.ElementCount, 4);
    QCOMPARE(form.Generations->FElementCount, 4);
    QCOMPARE(form.SpinEditColor->Value(), 4);
    QCOMPARE(form.SpinEditColor->maximum(), 4);
    QCOMPARE(form.SpinEditColProd->Value(), 4);
    QCOMPARE(form.SpinEditColProd->maximum(), 4);
    QCOMPARE(Settings.ColorfulnessFEq, 4);
    QCOMPARE(Settings.ColorfulnessProd, 4);
    QVERIFY(!GA.GAReady);

    form.SpinEditElm->SetValue(6);
    QCOMPARE(form.SpinEditColor->Value(), 4);
    QCOMPARE(form.SpinEditColor->maximum(), 6);
    QCOMPARE(Settings.ColorfulnessFEq, 4);
    QCOMPARE(Settings.ColorfulnessProd, 4);
  }

  void elementCountChangeKeepsThePopulationUntilTheNextStep() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const PopulationPtr before = form.BrowsedPopulation;
    form.SpinEditElm->SetValue(4);
    QCOMPARE(form.BrowsedPopulation, before);
    QCOMPARE(form.ShownAlgebra->Size, 5);
    QCOMPARE(form.StringGridEditInf->rowCount(), 6);
    form.Generations->Step();
    QCOMPARE(form.Generations->FLatest()->Get(0)->Size, 4);
  }

  void deltaAndMaxSetTheGeneCount() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    QVERIFY(GA.GAReady);
    QCOMPARE(Settings.GeneCount, 3);
    form.CheckBoxDeltaProp->click();
    QVERIFY(Settings.DeltaEnabled);
    QCOMPARE(Settings.GeneCount, 4);
    QVERIFY(!GA.GAReady);
    form.CheckBoxMax->click();
    QVERIFY(Settings.MaximumEnabled);
    QCOMPARE(Settings.GeneCount, 5);
    form.CheckBoxDeltaProp->click();
    QCOMPARE(Settings.GeneCount, 4);
  }

  void percentagesAreStoredAsFractions() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.SpinEditMut->SetValue(25);
    form.SpinEditCross->SetValue(50);
    form.SpinEditChild->SetValue(95);
    form.SpinEditChild->SetValue(60);
    form.SpinEditOpt->SetValue(33);
    QCOMPARE(Settings.MutationRate, 25 / 100.0);
    QCOMPARE(Settings.CrossoverRate, 50 / 100.0);
    QCOMPARE(Settings.ChildRatio, 60 / 100.0);
    QCOMPARE(Settings.OptionalWeight, 33 / 100.0);
    form.SpinEditMembNo->SetValue(250);
    QCOMPARE(Settings.PopulationLimit, 250);
    QCOMPARE(form.Generations->FPopulationLimit, 250);
  }

  void mirroredStepCounters_data() {
    QTest::addColumn<bool>("set_steps");  // else the "Generations steps" limit
    QTest::addColumn<int>("start_limit");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("Steps 5 from 100") << true << 100 << 5 << 10;
    QTest::newRow("Steps 5 from 10") << true << 10 << 5 << 10;
    QTest::newRow("Steps 0") << true << 100 << 0 << 10;
    QTest::newRow("Steps 250") << true << 100 << 250 << 250;
    QTest::newRow("limit 250") << false << 100 << 250 << 250;
    QTest::newRow("limit 5") << false << 100 << 5 << 10;
    QTest::newRow("limit 20000") << false << 100 << 20000 << 10000;
  }

  void mirroredStepCounters() {
    QFETCH(bool, set_steps);
    QFETCH(int, start_limit);
    QFETCH(int, value);
    QFETCH(int, expected);
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.SpinEditGenLim->SetValue(start_limit);
    QCOMPARE(form.SpinEditSteps->Value(), start_limit);
    (set_steps ? form.SpinEditSteps : form.SpinEditGenLim)->SetValue(value);
    QCOMPARE(form.SpinEditSteps->Value(), expected);
    QCOMPARE(form.SpinEditGenLim->Value(), expected);
  }

  void typedTextIsCommittedWhenEditingFinishes() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    TypeInto(form.SpinEditSteps, QStringLiteral("250"), false);
    // Not per keystroke: "2" would have pulled both counters to 10.
    QCOMPARE(form.SpinEditSteps->Value(), 100);
    QCOMPARE(form.SpinEditGenLim->Value(), 100);
    QTest::keyClick(form.SpinEditSteps, Qt::Key_Return);
    QCOMPARE(form.SpinEditSteps->Value(), 250);
    QCOMPARE(form.SpinEditGenLim->Value(), 250);

    TypeInto(form.SpinEditSteps, QStringLiteral("5"));
    QCOMPARE(form.SpinEditSteps->Value(), 10);
    QCOMPARE(form.SpinEditGenLim->Value(), 10);

    TypeInto(form.SpinEditMut, QStringLiteral("150"));
    QCOMPARE(form.SpinEditMut->Value(), 100);  // clamped on commit
    QCOMPARE(Settings.MutationRate, 1.0);
    TypeInto(form.SpinEditMut, QString());  // no number reads as the minimum
    QCOMPARE(form.SpinEditMut->Value(), 0);
    QCOMPARE(Settings.MutationRate, 0.0);
    TypeInto(form.SpinEditMembNo, QStringLiteral("abc"));  // letters are refused while typing
    QCOMPARE(form.SpinEditMembNo->Value(), 10);
  }

  void quickDirectoryIsCreatedWhenEditingFinishes() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    const QString target = fixture.Path(QStringLiteral("typed/deep"));
    form.EditQuickDir->selectAll();
    QTest::keyClick(form.EditQuickDir, Qt::Key_Backspace);
    QTest::keyClicks(form.EditQuickDir, QStringLiteral("  ") + target + QStringLiteral(" "));
    QCOMPARE(QString::fromStdString(Settings.QuickDir), target + QStringLiteral("/"));
    QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("typed"))));
    QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("t"))));
    QTest::keyClick(form.EditQuickDir, Qt::Key_Return);
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(form.RichEditLog->Lines().filter(QStringLiteral("Unable")).size(), 0);
  }

  void quickDirectoryThatCannotBeMadeIsLoggedInRed() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    QFile plain(fixture.Path(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString target = fixture.Path(QStringLiteral("plain/sub"));
    form.EditQuickDir->setText(target);
    form.EditQuickDirEditingFinished();
    form.EditQuickDirEditingFinished();  // reported once, not on every focus change
    const QStringList lines = form.RichEditLog->Lines();
    const QString expected = QStringLiteral("Unable to create directory ") + target + QStringLiteral("/");
    QCOMPARE(lines.count(expected), 1);
    QCOMPARE(form.RichEditLog->LineColor(static_cast<int>(lines.indexOf(expected))), kRed);
  }

  void settingsFileWrittenInOrderOnClose() {
    FormFixture fixture;
    TEQForm& form = fixture.Create();  // no settings file yet: defaults
    QCOMPARE(form.SpinEditElm->Value(), 5);
    QCOMPARE(form.SpinEditThreads->Value(), EveryCore());
    QCOMPARE(Settings.Threads, EveryCore());
    form.SpinEditElm->SetValue(6);
    form.SpinEditMut->SetValue(7);
    form.SpinEditThreads->SetValue(3);
    QCOMPARE(Settings.Threads, 3);
    form.CheckBoxComNon->click();
    form.CheckBoxDeltaProp->click();
    form.CheckBoxDumpProp->click();
    form.EditQuickDir->setText(fixture.QuickDir());
    form.show();
    QVERIFY(form.close());
    QVERIFY(fixture.message_texts.isEmpty());
    QCOMPARE(FormFixture::ReadAll(fixture.IniPath()), QString::fromLatin1(kDefaultIniWithChanges).arg(fixture.QuickDir()));

    // And read back into the controls.
    TEQForm& again = fixture.Create();
    QCOMPARE(again.SpinEditElm->Value(), 6);
    QCOMPARE(again.SpinEditMut->Value(), 7);
    QVERIFY(again.CheckBoxComNon->isChecked());
    QVERIFY(again.CheckBoxDeltaProp->isChecked());
    QVERIFY(!again.CheckBoxDumpProp->isChecked());
    QCOMPARE(again.EditQuickDir->text(), fixture.QuickDir());
    QCOMPARE(Settings.MutationRate, 0.07);
    QVERIFY(Settings.WantNonCommutative);
    QCOMPARE(again.SpinEditThreads->Value(), 3);
    QCOMPARE(Settings.Threads, 3);
  }

  void malformedValuesGiveTheDefaults() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines() << QStringLiteral("[Algebra properties]")
                                             << QStringLiteral("Elements number=seven")
                                             << QStringLiteral("[GA properties]")
                                             << QStringLiteral("Population limit=250x")
                                             << QStringLiteral("Steps limit=3.5")
                                             << QStringLiteral("Mutation rate=7")
                                             << QStringLiteral("Crossover rate=")
                                             << QStringLiteral("Child ratio=250")
                                             << QStringLiteral("Winners limit=5")
                                             << QStringLiteral("Remove equal=no"));
    TEQForm& form = fixture.Create();
    QVERIFY(fixture.message_texts.isEmpty());
    QCOMPARE(form.SpinEditElm->Value(), 5);
    QCOMPARE(form.SpinEditMembNo->Value(), 180);
    QCOMPARE(form.SpinEditGenLim->Value(), 100);
    QCOMPARE(form.SpinEditSteps->Value(), 100);
    QCOMPARE(form.SpinEditMut->Value(), 7);  // the file was read
    QCOMPARE(form.SpinEditCross->Value(), 90);
    QCOMPARE(form.SpinEditChild->Value(), 100);  // out of range: clamped
    QCOMPARE(form.SpinEditWinLim->Value(), 10);
    QVERIFY(form.CheckBoxRem->isChecked());
    QCOMPARE(Settings.MutationRate, 0.07);
    QCOMPARE(Settings.ChildRatio, 1.0);
  }

  void unreadableSettingsFileIsReportedOnce() {
    FormFixture fixture;
    QVERIFY(QDir().mkpath(fixture.IniPath()));  // a directory where the file should be
    TEQForm& form = fixture.Create();
    QCOMPARE(fixture.message_titles, QStringList{QStringLiteral("Velmora")});
    QCOMPARE(fixture.message_texts,
             QStringList{QStringLiteral("The settings could not be read; the defaults are used.\nError reading file: ") +
                         fixture.IniPath() + QStringLiteral(": Is a directory")});
    QCOMPARE(form.SpinEditElm->Value(), 5);
    QCOMPARE(Settings.ElementCount, 5);
  }

  void settingsFilesThatFailWhileReadOrAreTooLargeAreReported() {
    {
      FormFixture fixture;
      // A regular file whose reading fails: never silent defaults.
      QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), fixture.IniPath()));
      TEQForm& form = fixture.Create();
      QCOMPARE(fixture.message_texts,
               QStringList{QStringLiteral("The settings could not be read; the defaults are used.\nError reading file: ") +
                           fixture.IniPath() + QStringLiteral(": Input/output error")});
      QCOMPARE(form.SpinEditElm->Value(), 5);
      QVERIFY(QFile::remove(fixture.IniPath()));
    }
    FormFixture fixture;
    QStringList lines = fixture.QuickDirLines();
    lines << QStringLiteral("[Algebra properties]") << QStringLiteral("Elements number=7");
    lines << QString(1024 * 1024, u';');
    fixture.WriteIni(lines);
    TEQForm& form = fixture.Create();
    QCOMPARE(fixture.message_texts,
             QStringList{QStringLiteral("The settings could not be read; the defaults are used.\nError reading file: ") +
                         fixture.IniPath() + QStringLiteral(": larger than 1048576 bytes")});
    QCOMPARE(form.SpinEditElm->Value(), 5);
  }

  void unwritableSettingsFileIsReportedOnCloseAndNothingIsLost() {
    FormFixture fixture;
    QFile plain(fixture.Path(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString ini = fixture.Path(QStringLiteral("plain/Velmora.ini"));
    TEQForm& form = fixture.Create(ini);
    form.EditQuickDir->setText(fixture.QuickDir());
    form.SpinEditElm->SetValue(7);
    form.SpinEditMut->SetValue(33);
    form.show();
    QVERIFY(form.close());
    form.close();  // a second close neither saves nor reports again
    QCOMPARE(fixture.message_texts,
             QStringList{QStringLiteral("The settings could not be saved.\nError writing file: ") + ini +
                         QStringLiteral(": Not a directory")});
    QCOMPARE(form.SpinEditElm->Value(), 7);
    QCOMPARE(form.SpinEditMut->Value(), 33);
    QCOMPARE(Settings.ElementCount, 7);
    QCOMPARE(Settings.MutationRate, 0.33);
  }
};

VELMORA_FORM_TEST_MAIN(FormSettingsTest)
#include "FormSettingsTest.moc"
