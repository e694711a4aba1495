// The isomorphism classes of the winners in the main window: the class note
// of each logged winner and the winners panel of the status bar.
#include <QtTest>
#include <utility>

#include "AlgebraClass.h"
#include "FilesFixture.h"
#include "HeadlessQtMain.h"
#include "LogPane.h"
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
};

VELMORA_HEADLESS_TEST_MAIN(WinnerClassesTest)
#include "WinnerClassesTest.moc"
