// The isomorphism classes of the winners in the main window: the class note
// of each logged winner and the winners panel of the status bar.
#include <QtTest>
#include <set>
#include <utility>

#include "classes/AlgebraClass.h"
#include "FilesFixture.h"
#include "HeadlessQtMain.h"
#include "app/LogPane.h"
#include "model/Random.h"
#include "app/SpinEdit.h"
#include "TestAlgebras.h"

using namespace files_fixture;

namespace {

// The algebra with two of its inner elements swapped in every entry: an
// isomorphic copy whose tables read differently.
TEQAlgebra Swapped(const TEQAlgebra& algebra, char x, char y) {
  const auto swap = [x, y](char c) { return c == x ? y : c == y ? x : c; };
  TEQAlgebra copy = algebra;
  for (PairGene* gene : {&copy.InfimumGene, &copy.ProductGene, &copy.FEqualityGene, &copy.MaximumGene}) {
    for (int k = 0; k < gene->Count; ++k) {
      PairEntry& entry = gene->Entries[k];
      entry = {swap(entry.X), swap(entry.Y), swap(entry.Value)};
    }
  }
  for (int k = 0; k < copy.DeltaGene.Count; ++k) {
    SingleEntry& entry = copy.DeltaGene.Entries[k];
    entry = {swap(entry.X), swap(entry.Value)};
  }
  return copy;
}

void AddWinner(TEQPopulation& winners, const TEQAlgebra& algebra) {
  auto copy = std::make_unique<TEQAlgebra>(algebra);
  copy->Fitness = 1.0;
  copy->BuildCanonicalText();
  winners.Add(std::move(copy));
}

QString Id(const TEQAlgebra& algebra) { return QString::fromStdString(ClassifyAlgebra(algebra).Id); }

struct Collected {
  std::vector<std::string> texts;  // canonical texts in the order collected
  std::vector<std::string> keys;   // their class keys
};

// A seeded run of the window at four elements, with or without "One per class".
Collected SeededRun(Fixture& f, bool one_per_class, uint32_t seed) {
  f.form->CheckBoxAutoSave->setChecked(false);
  f.form->CheckBoxOnePerClass->setChecked(one_per_class);
  f.form->SpinEditElm->SetValue(4);
  f.form->SpinEditWinLim->SetValue(10000);
  f.form->SpinEditMembNo->SetValue(100);
  f.form->SpinEditSteps->SetValue(100);
  RandSeed(seed);
  f.form->ButtonRandClick();
  f.form->ButtonStepClick();
  Collected collected;
  const TEQPopulation& winners = *f.form->Generations->FWinners();
  for (int i = 0; i < winners.Count(); ++i) {
    collected.texts.push_back(winners.Get(i)->CanonicalText);
    collected.keys.push_back(ClassifyAlgebra(*winners.Get(i)).Key);
  }
  return collected;
}

}  // namespace

class WinnerClassesTest : public QObject {
  Q_OBJECT

 private slots:
  void eachWinnerNamesItsClass() {
    Fixture f;
    f.form->CheckBoxAutoSave->setChecked(false);
    const PopulationPtr winners = f.form->Generations->FWinners();
    const TEQAlgebra goedel = test_algebras::GoedelChain(4);
    const TEQAlgebra relabelled = Swapped(goedel, 'a', 'b');
    QVERIFY(TEQAlgebra(relabelled).BuildCanonicalText() != TEQAlgebra(goedel).BuildCanonicalText());  // two labelled winners
    const TEQAlgebra lukasiewicz = test_algebras::LukasiewiczChain(4);

    AddWinner(*winners, goedel);
    QVERIFY(f.form->ReportNewWinners());
    AddWinner(*winners, lukasiewicz);
    AddWinner(*winners, relabelled);
    QVERIFY(f.form->ReportNewWinners());

    const QStringList headings = f.form->RichEditLog->Lines().filter(QRegularExpression(QStringLiteral("^\\d{4}: ")));
    QCOMPARE(headings, QStringList({
                           QStringLiteral("0000: 1, class %1, new class").arg(Id(goedel)),
                           QStringLiteral("0001: 1, class %1, new class").arg(Id(lukasiewicz)),
                           QStringLiteral("0002: 1, class %1, class of winner 0000").arg(Id(goedel)),
                       }));
    QVERIFY(Id(goedel) != Id(lukasiewicz));
    QCOMPARE(Id(relabelled), Id(goedel));

    f.form->Timer1Timer();
    QCOMPARE(f.form->StatusPanels[3]->text(), QStringLiteral("EQAlgebras: 3 (2 classes)"));
  }

  void thePanelCountsOneClassAndStartsOverAfterAReset() {
    Fixture f;
    f.form->CheckBoxAutoSave->setChecked(false);
    f.form->Timer1Timer();
    QCOMPARE(f.form->StatusPanels[3]->text(), QStringLiteral("EQAlgebras: 0 (0 classes)"));
    AddWinner(*f.form->Generations->FWinners(), test_algebras::GoedelChain(5));
    // The panel follows the winners as they come, before any report.
    f.form->Timer1Timer();
    QCOMPARE(f.form->StatusPanels[3]->text(), QStringLiteral("EQAlgebras: 1 (1 class)"));

    f.form->ButtonRandClick();  // a new, empty winners population
    f.form->Timer1Timer();
    QCOMPARE(f.form->StatusPanels[3]->text(), QStringLiteral("EQAlgebras: 0 (0 classes)"));
    AddWinner(*f.form->Generations->FWinners(), test_algebras::LukasiewiczChain(5));
    QVERIFY(f.form->ReportNewWinners());
    QCOMPARE(f.form->RichEditLog->Lines().value(0),
             QStringLiteral("0000: 1, class %1, new class").arg(Id(test_algebras::LukasiewiczChain(5))));
  }

  void onePerClassIsOffByDefaultAndKeptInTheSettingsFile() {
    {
      Fixture f;  // its settings file has no such key
      QVERIFY(!f.form->CheckBoxOnePerClass->isChecked());
      QVERIFY(!Settings.OnePerClass);
      f.form->CheckBoxOnePerClass->setChecked(true);
      QVERIFY(Settings.OnePerClass);
      f.form->SaveSettings();
      IniFile ini;
      QVERIFY(ini.Load(QFile::encodeName(f.Path(QStringLiteral("Velmora.ini"))).toStdString()));
      QCOMPARE(ini.Value("GA properties", "One per class").value_or("missing"), std::string("1"));
      // A window started on that file ticks the box and sets the setting.
      f.form->CheckBoxOnePerClass->setChecked(false);
      TEQForm again(TEQForm::Environment{f.Path(QStringLiteral("Velmora.ini")), f.dir.path(), f.dir.path(), {}});
      QVERIFY(again.CheckBoxOnePerClass->isChecked());
      QVERIFY(Settings.OnePerClass);
    }
    Settings.OnePerClass = false;
  }

  // The search makes the same generations either way; the box only decides
  // which of its winners are kept.
  void onePerClassKeepsTheFirstWinnerOfEachClass() {
    Collected off;
    Collected off_again;
    Collected on;
    {
      Fixture f;
      off = SeededRun(f, false, 3);
      off_again = SeededRun(f, false, 3);
      on = SeededRun(f, true, 3);
      QVERIFY2(on.texts.size() > 1, qPrintable(QStringLiteral("%1 winners, %2 kept").arg(off.texts.size()).arg(on.texts.size())));
      const QStringList headings = f.form->RichEditLog->Lines().filter(QRegularExpression(QStringLiteral("^\\d{4}: ")));
      QCOMPARE(headings.size(), static_cast<qsizetype>(on.texts.size()));
      for (const QString& heading : headings) QVERIFY2(heading.endsWith(QStringLiteral(", new class")), qPrintable(heading));
      f.form->Timer1Timer();
      QCOMPARE(f.form->StatusPanels[3]->text(),
               QStringLiteral("EQAlgebras: %1 (%1 classes)").arg(on.texts.size()));
    }
    Settings.OnePerClass = false;
    QCOMPARE(off.texts, off_again.texts);
    std::set<std::string> seen;
    std::vector<std::string> first_of_each;
    for (size_t i = 0; i < off.texts.size(); ++i) {
      if (seen.insert(off.keys[i]).second) first_of_each.push_back(off.texts[i]);
    }
    QVERIFY2(first_of_each.size() < off.texts.size(), "the seed must give two winners of one class");
    QCOMPARE(on.texts, first_of_each);
  }
};

VELMORA_HEADLESS_TEST_MAIN(WinnerClassesTest)
#include "WinnerClassesTest.moc"
