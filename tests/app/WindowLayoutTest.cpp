// The window can be read at every size: every operation table whole, every
// property label uncut, and a 5-element dump whole in the log, on the common
// laptop screens.
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QtTest>

#include "FormFixture.h"
#include "LogPane.h"
#include "QtMessagePump.h"
#include "SpinEdit.h"

namespace {

QScrollArea* AreaOf(QWidget* widget) {
  for (QWidget* parent = widget->parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
    if (auto* area = qobject_cast<QScrollArea*>(parent)) return area;
  }
  return nullptr;
}

// The window laid out as on a screen of the given free area.
TEQForm& ShowOn(FormFixture& fixture, const QSize& screen, int elements, bool all_tables) {
  QStringList lines = fixture.QuickDirLines();
  lines << QStringLiteral("[Algebra properties]") << QStringLiteral("Elements number=%1").arg(elements)
        << QStringLiteral("Delta=%1").arg(all_tables ? 1 : 0) << QStringLiteral("Max=%1").arg(all_tables ? 1 : 0);
  fixture.WriteIni(lines);
  TEQForm& form = fixture.Create();
  form.ApplyDefaultGeometry(screen);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) qWarning("the window was not exposed");
  QCoreApplication::processEvents();
  return form;
}

// A grid is whole when it shows every column and row and its area shows all
// of its width (the area scrolls down only).
QString Clipping(QTableWidget* grid) {
  int columns = 2 * grid->frameWidth();
  for (int c = 0; c < grid->columnCount(); ++c) columns += grid->columnWidth(c);
  int rows = 2 * grid->frameWidth();
  for (int r = 0; r < grid->rowCount(); ++r) rows += grid->rowHeight(r);
  if (grid->width() < columns || grid->height() < rows) return QStringLiteral("cells cut inside the grid");
  QScrollArea* area = AreaOf(grid);
  if (area == nullptr) return QStringLiteral("no area");
  const QPoint left = grid->mapTo(area->viewport(), QPoint(0, 0));
  if (left.x() < 0 || left.x() + grid->width() > area->viewport()->width()) {
    return QStringLiteral("cut at the side: x %1 width %2 in %3").arg(left.x()).arg(grid->width()).arg(area->viewport()->width());
  }
  return QString();
}

QString CutLabel(const QList<QLabel*>& labels) {
  for (QLabel* label : labels) {
    if (label->isVisible() && label->width() < label->sizeHint().width()) return label->text();
    if (label->isVisible()) {
      QScrollArea* area = AreaOf(label);
      const QPoint left = label->mapTo(area->viewport(), QPoint(0, 0));
      if (left.x() + label->sizeHint().width() > area->viewport()->width()) return label->text();
    }
  }
  return QString();
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetPumpInterval(std::chrono::microseconds(0)); }

  void everyTableAndLabelIsWhole_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("elements");
    QTest::newRow("28 elements at 1440x900") << QSize(1440, 900) << 28;
    QTest::newRow("6 elements at 1280x800") << QSize(1280, 800) << 6;
    QTest::newRow("5 elements at 1280x800") << QSize(1280, 800) << 5;
  }

  void everyTableAndLabelIsWhole() {
    QFETCH(QSize, screen);
    QFETCH(int, elements);
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, screen, elements, true);
    QVERIFY(form.width() <= screen.width() && form.height() <= screen.height());
    for (QTableWidget* grid : {form.StringGridEditInf, form.StringGridProd, form.StringGridFEq, form.StringGridImp,
                               form.StringGridDelta, form.StringGridMax}) {
      QVERIFY(grid->isVisible());
      QCOMPARE(grid->rowCount(), elements + 1);
      const QString clipping = Clipping(grid);
      QVERIFY2(clipping.isEmpty(), qPrintable(grid->item(0, 0)->text() + QStringLiteral(": ") + clipping));
    }
    const QList<QLabel*> labels{form.LabelAssocInf, form.LabelCommInf, form.LabelNeuInf, form.LabelIdInf,
                                form.LabelIsoProd,  form.LabelAssocProd, form.LabelNeuProd, form.LabelRefE,
                                form.LabelSubst,    form.LabelCon,     form.LabelMonoImp, form.LabelBound,
                                form.LabelFitness,  form.LabelColorful, form.LabelColProd, form.LabelGood,
                                form.LabelInv,      form.LabelSemi,    form.LabelSepar,   form.LabelResid,
                                form.LabelComm,     form.LabelLinear,  form.LabelLat,     form.LabelPre,
                                form.LabelSupProd,  form.LabelEqProd,  form.LabelDeltaProp};
    QVERIFY2(CutLabel(labels).isEmpty(), qPrintable(CutLabel(labels)));

    // Longer label texts (a member failing many cases) widen the area rather than cut.
    form.LabelSubst->setText(QStringLiteral("Non-Substitution: 123456/614656, Errors: 491200 and then some more"));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY2(CutLabel(labels).isEmpty(), qPrintable(CutLabel(labels)));
  }

  // The property panels keep their size and place while the user steps
  // through members whose counts differ.
  void thePanelsStayPutFromMemberToMember() {
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, QSize(1440, 900), 5, false);
    QWidget* axioms = form.LabelAssocInf->parentWidget();
    QWidget* optional = form.LabelGood->parentWidget();
    const QRect axioms_place = axioms->geometry();
    const QRect optional_place = optional->geometry();
    for (int member = 1; member < 30; ++member) {
      form.SpinEditMember->SetValue(member);
      QCoreApplication::processEvents();
      QCOMPARE(axioms->geometry(), axioms_place);
      QCOMPARE(optional->geometry(), optional_place);
    }
  }

  void aFiveElementDumpFitsTheLog() {
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, QSize(1440, 900), 5, false);
    form.CheckBoxDumpProp->setChecked(true);
    form.ButtonDumpClick();
    QCoreApplication::processEvents();
    int widest = 0;
    for (const QString& line : form.RichEditLog->Lines()) widest = std::max(widest, static_cast<int>(line.size()));
    QVERIFY(widest >= 60);  // the property lines close with 60 dashes
    QVERIFY(widest <= TEQForm::kLogColumns);
    QCOMPARE(form.RichEditLog->horizontalScrollBar()->maximum(), 0);
  }

  void wideningTheLogKeepsTheTablesInView() {
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, QSize(1440, 900), 28, false);
    auto* splitter = qobject_cast<QSplitter*>(form.centralWidget());
    QVERIFY(splitter != nullptr);
    QList<int> sizes = splitter->sizes();
    splitter->setSizes({sizes[0], 0, sizes[1] + sizes[2]});
    QCoreApplication::processEvents();
    QVERIFY(splitter->sizes()[1] > 0);
    for (QTableWidget* grid : {form.StringGridEditInf, form.StringGridProd, form.StringGridFEq, form.StringGridImp}) {
      QVERIFY2(Clipping(grid).isEmpty(), qPrintable(Clipping(grid)));
    }
  }
};

VELMORA_FORM_TEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
