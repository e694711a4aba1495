// The Lattice tab: it follows the shown member, says which law fails when
// ^ is not a meet, highlights the pointed element's row and column in the
// tables; and Export… writes one picture per member.
#include <QTabWidget>
#include <QtTest>

#include "app/ExchangeFiles.h"
#include "FormFixture.h"
#include "app/LatticeView.h"
#include "app/TableHighlight.h"
#include "TestAlgebras.h"
#include "WinnerSamples.h"

namespace {

PopulationPtr PopulationOf(std::vector<TEQAlgebra> members) {
  auto population = std::make_shared<TEQPopulation>();
  for (TEQAlgebra& member : members) population->Add(std::make_unique<TEQAlgebra>(member));
  return population;
}


bool Highlighted(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item != nullptr && item->background().color() == grid->palette().color(QPalette::Highlight);
}

}  // namespace

class LatticeTabTest : public QObject {
  Q_OBJECT

 private slots:
  void diagramFollowsTheShownMember() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    using test_algebras::GoedelChain;
    form.BrowsePopulation(
        PopulationOf({GoedelChain(5), winner_samples::Product(GoedelChain(3), GoedelChain(3)), test_algebras::NotAMeet()}));
    LatticeView* view = form.LatticeViewTab;
    QCOMPARE(form.TabsLog->tabText(1), QStringLiteral("Lattice"));
    QCOMPARE(view->Layout()->Height, 4);
    form.ButtonNextClick();
    QCOMPARE(view->Layout()->Size, 9);
    QCOMPARE(view->Layout()->Crossings, 0);
    form.ButtonNextClick();
    QVERIFY(view->Layout() == nullptr);
    QCOMPARE(QString::fromStdString(view->Fault()),
             QStringLiteral("not associative: (a ^ b) ^ c = 0 but a ^ (b ^ c) = a"));
  }

  void pointingAtAnElementHighlightsItsRowAndColumn() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf({test_algebras::GoedelChain(5)}));
    form.TabsLog->setCurrentWidget(form.LatticeViewTab);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    LatticeView* view = form.LatticeViewTab;
    QWidget* canvas = view->Canvas;
    const QPoint b = view->ElementCentre(2).toPoint();  // "b": row and column 3 of the tables
    const QPoint beside = b + QPoint(static_cast<int>(view->ElementRadius()) + 20, 0);

    QTest::mouseMove(canvas, b);
    QCOMPARE(view->HighlightedElement(), 2);
    for (QTableWidget* grid : {form.StringGridEditInf, form.StringGridProd, form.StringGridFEq, form.StringGridImp}) {
      QCOMPARE(HighlightedGridElement(grid), 3);
      QVERIFY(Highlighted(grid, 3, 0) && Highlighted(grid, 3, 5) && Highlighted(grid, 0, 3) && Highlighted(grid, 5, 3));
      QVERIFY(!Highlighted(grid, 2, 2) && !Highlighted(grid, 4, 1));
    }
    QTest::mouseMove(canvas, beside);
    QCOMPARE(view->HighlightedElement(), -1);
    QVERIFY(!Highlighted(form.StringGridProd, 3, 1));
    // The header cells get their own colour back.
    QCOMPARE(form.StringGridProd->item(3, 0)->background().color(), form.StringGridProd->palette().color(QPalette::Button));

    // A click keeps the element highlighted after the mouse leaves.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, b);
    QTest::mouseMove(canvas, beside);
    QCOMPARE(view->HighlightedElement(), 2);
    QCOMPARE(HighlightedGridElement(form.StringGridFEq), 3);
    // Browsing keeps it while the size stays; another size lets go.
    form.BrowsePopulation(PopulationOf({test_algebras::LukasiewiczChain(5)}));
    QCOMPARE(view->HighlightedElement(), 2);
    form.BrowsePopulation(PopulationOf({test_algebras::GoedelChain(3)}));
    QCOMPARE(view->HighlightedElement(), -1);
    QCOMPARE(HighlightedGridElement(form.StringGridFEq), 0);
  }

  void exportWritesOnePicturePerMember() {
    FormFixture fixture;
    fixture.WriteIni(fixture.QuickDirLines());
    TEQForm& form = fixture.Create();
    form.BrowsePopulation(PopulationOf({test_algebras::GoedelChain(4), test_algebras::GoedelChain(6)}));
    form.AskExport = [&](ExportRequest& request) {
      request.population = true;
      request.format = ExportFormat::kSvg;
      request.path = fixture.Path(QStringLiteral("figure.txt"));
      return true;
    };
    form.ButtonExportClick();
    QCOMPARE(FormFixture::ReadAll(fixture.Path(QStringLiteral("figure0000.svg"))).count(QStringLiteral("<circle")), 4);
    QCOMPARE(FormFixture::ReadAll(fixture.Path(QStringLiteral("figure0001.svg"))).count(QStringLiteral("<circle")), 6);
    QVERIFY(fixture.message_texts.isEmpty());
  }
};

VELMORA_FORM_TEST_MAIN(LatticeTabTest)
#include "LatticeTabTest.moc"
