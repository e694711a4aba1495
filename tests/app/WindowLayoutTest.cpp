// The window can be read at every size: every operation table whole, every
// property label uncut, and a 5-element dump whole in the log, on the common
// laptop screens.
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <QtTest>

#include "app/Colours.h"
#include "FormFixture.h"
#include "app/LogPane.h"
#include "app/QtMessagePump.h"
#include "app/ReadableColours.h"
#include "app/SpinEdit.h"
#include "app/StatusPanel.h"

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

// The bottom of a widget lies within what its scroll area shows unscrolled.
bool AboveTheFold(QWidget* widget) {
  QScrollArea* area = AreaOf(widget);
  return area != nullptr && widget->mapTo(area->viewport(), QPoint(0, widget->height())).y() <= area->viewport()->height();
}

// The strongest contrast of any pixel of a text line against the background.
double LineContrast(LogPane& log, int line, const QImage& image) {
  const QRect cursor = log.cursorRect(QTextCursor(log.document()->findBlockByNumber(line)));
  const QRect rect = QRect(0, cursor.top(), image.width(), cursor.height()) & image.rect();
  const QColor base = log.palette().color(QPalette::Base);
  double best = 1.0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) best = std::max(best, ContrastRatio(image.pixelColor(x, y), base));
  }
  return best;
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

  // With the Find panel in the status bar at 1280 wide, every panel shows
  // its whole text or elides it visibly, the whole text in its tooltip.
  void statusPanelsKeepTheirNumbersOrElideVisibly() {
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, QSize(1280, 800), 5, false);
    form.Timer1->stop();
    for (QLabel* panel : form.StatusPanels) panel->setText(panel->text() + QStringLiteral(" 1,234,567 (8,910 classes)"));
    form.LabelFindStatus->setText(QStringLiteral("Find: 40,960/40,960 parts, 1,627,206 classes, 34.0 s"));
    form.LabelFindStatus->show();
    QCoreApplication::processEvents();
    QList<QLabel*> panels(form.StatusPanels.begin(), form.StatusPanels.end());
    panels << form.LabelFindStatus;
    int elided = 0;
    for (QLabel* panel : panels) {
      if (panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width()) continue;
      ++elided;
      auto* status = qobject_cast<StatusPanel*>(panel);
      QVERIFY2(status != nullptr && status->ShownText().endsWith(u'…'), qPrintable(panel->text()));
      QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), panel->mapToGlobal(QPoint(2, 2)));
      QCoreApplication::sendEvent(panel, &help);
      QVERIFY2(QToolTip::text().startsWith(panel->text()), qPrintable(QToolTip::text()));
      QToolTip::hideText();
    }
    QVERIFY(elided > 0);  // the bar is too narrow for all of them at this width
  }

  void everySettingIsInViewAt1280x800() {
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, QSize(1280, 800), 5, false);
    QVERIFY(AboveTheFold(form.SpinEditThreads));
    QVERIFY(AboveTheFold(form.CheckBoxOnePerClass));
    // "(0 = unlimited)" stands in the row of "Stop after", not of the box below it.
    const QList<QLabel*> labels = form.findChildren<QLabel*>();
    QLabel* unlimited = *std::find_if(labels.begin(), labels.end(), [](QLabel* label) { return label->text() == "(0 = unlimited)"; });
    const int row_centre = form.SpinEditWinLim->mapTo(&form, form.SpinEditWinLim->rect().center()).y();
    const QRect place(unlimited->mapTo(&form, QPoint(0, 0)), unlimited->size());
    QVERIFY2(place.top() <= row_centre && row_centre <= place.bottom(), qPrintable(QString::number(row_centre)));
  }

  // Under a dark theme the log's green, red and black lines and the property
  // labels keep a contrast of at least 4.5:1 against their background.
  void theColoursReadOnADarkTheme() {
    QPalette dark;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) dark.setColor(role, QColor(30, 30, 30));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) dark.setColor(role, Qt::white);
    LogPane log;
    log.setPalette(dark);
    log.resize(400, 200);
    for (const QColor& colour : {kGreen, kRed, kBlack}) {
      log.SetTextColor(colour);
      log.AppendLine(QStringLiteral("0003: 1 ^ 0 a b 1 Non-Goodness: 3/5, Errors: 2"));
    }
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    const QImage image = log.viewport()->grab().toImage();
    for (int line = 0; line < 3; ++line) {
      QVERIFY2(LineContrast(log, line, image) >= kLeastContrast, qPrintable(QString::number(LineContrast(log, line, image))));
    }
    QCOMPARE(log.LineColor(0), kGreen);  // the colour asked for, as the reports and tests read it

    const QPalette light = QApplication::palette();
    QApplication::setPalette(dark);
    FormFixture fixture;
    TEQForm& form = ShowOn(fixture, QSize(1280, 800), 4, false);
    for (QLabel* label : {form.LabelGood, form.LabelAssocInf, form.LabelFitness, form.LabelPopInd}) {
      const double contrast = ContrastRatio(label->palette().color(QPalette::WindowText), label->palette().color(QPalette::Window));
      QVERIFY2(contrast >= kLeastContrast, qPrintable(label->text() + QStringLiteral(": ") + QString::number(contrast)));
    }
    QApplication::setPalette(light);
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
