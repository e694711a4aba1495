// The statistics window: its series, the axis limits and the mouse handling.
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QValueAxis>
#include <QtTest>

#include "stats/FormStat.h"
#include "HeadlessQtMain.h"

class FormStatTest : public QObject {
  Q_OBJECT

 private:
  // The view position of a data point, through the Median series as the window maps it.
  static QPoint PositionOf(TFormStats& form, QPointF value) {
    QChart* chart = form.ChartStat->chart();
    const QPointF in_chart = chart->mapToPosition(value, form.Series2);
    return form.ChartStat->mapFromScene(chart->mapToScene(in_chart));
  }

  // Data units that one pixel covers on each axis, for comparing mapped values.
  static QPointF PixelSize(TFormStats& form) {
    const QRectF area = form.ChartStat->chart()->plotArea();
    return {(form.AxisBottom->max() - form.AxisBottom->min()) / area.width(),
            (form.AxisLeft->max() - form.AxisLeft->min()) / area.height()};
  }

  static void AddThreeGenerations(TFormStats& form) {
    form.AddPoints(1, 0.90, 0.50, 0.20);
    form.AddPoints(2, 0.95, 0.60, 0.30);
    form.AddPoints(3, 0.97, 0.70, 0.25);
  }

  // Pixels of the Best series' red inside the plot area, as the view paints them.
  static int RedPlotPixels(TFormStats& form) {
    const QImage image = form.ChartStat->grab().toImage();
    QChart* chart = form.ChartStat->chart();
    const QRect area =
        form.ChartStat->mapFromScene(chart->mapToScene(chart->plotArea())).boundingRect().adjusted(1, 1, -1, -1);
    int red = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        if (image.pixelColor(x, y) == QColor(255, 0, 0)) ++red;
      }
    }
    return red;
  }

  static void AddGenerations(TFormStats& form, int first, int last) {
    for (int g = first; g <= last; ++g) form.AddPoints(g, 0.9, 0.5 + 0.001 * g, 0.2 - 0.0005 * g);
  }

  static bool ShowAndLayOut(TFormStats& form) {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return false;
    QCoreApplication::processEvents();
    return form.ChartStat->chart()->plotArea().width() > 50;
  }

 private slots:
  void WindowAndChartAsDescribed() {
    TFormStats form;
    QCOMPARE(form.windowTitle(), QStringLiteral("FormStats"));
    QCOMPARE(form.pos(), QPoint(118, 355));
    QCOMPARE(form.size(), QSize(547, 200));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!form.isVisible());

    QChart* chart = form.ChartStat->chart();
    QCOMPARE(chart->title(), QStringLiteral("GA Statistics"));
    QVERIFY(chart->legend()->isVisible());
    QCOMPARE(chart->series().size(), 3);
    QCOMPARE(form.ChartStat->rubberBand(), QChartView::RubberBands(QChartView::RectangleRubberBand));

    QCOMPARE(form.Series1->name(), QStringLiteral("Best"));
    QCOMPARE(form.Series2->name(), QStringLiteral("Median"));
    QCOMPARE(form.Series3->name(), QStringLiteral("Worst"));
    QCOMPARE(form.Series1->color(), QColor(255, 0, 0));
    QCOMPARE(form.Series2->color(), QColor(0, 128, 0));
    QCOMPARE(form.Series3->color(), QColor(255, 255, 0));
    for (QLineSeries* series : {form.Series1, form.Series2, form.Series3}) {
      QVERIFY(!series->pointsVisible());
      QCOMPARE(series->count(), 0);
      QCOMPARE(series->attachedAxes().size(), 2);
    }
    QCOMPARE(form.AxisBottom->titleText(), QStringLiteral("Generation"));
    QCOMPARE(form.AxisLeft->titleText(), QStringLiteral("Fitness"));
    QCOMPARE(chart->axes(Qt::Horizontal).value(0), form.AxisBottom);
    QCOMPARE(chart->axes(Qt::Vertical).value(0), form.AxisLeft);
  }

  void PointsGoToAllThreeSeriesAndClearingEmptiesThem() {
    TFormStats form;
    AddThreeGenerations(form);
    QCOMPARE(form.Series1->points(), QList<QPointF>({{1, 0.90}, {2, 0.95}, {3, 0.97}}));
    QCOMPARE(form.Series2->points(), QList<QPointF>({{1, 0.50}, {2, 0.60}, {3, 0.70}}));
    QCOMPARE(form.Series3->points(), QList<QPointF>({{1, 0.20}, {2, 0.30}, {3, 0.25}}));

    form.ClearSeries();
    QCOMPARE(form.Series1->count(), 0);
    QCOMPARE(form.Series2->count(), 0);
    QCOMPARE(form.Series3->count(), 0);
    // After a reset the points start again at generation 1 and the axes follow them alone.
    form.AddPoints(1, 0.8, 0.7, 0.6);
    form.AddPoints(2, 0.9, 0.8, 0.65);
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisBottom->max(), 2.0);
    QCOMPARE(form.AxisLeft->min(), 0.6);
  }

  void AutomaticAxesFitTheDataBelowAFixedFitnessMaximum() {
    TFormStats form;
    AddThreeGenerations(form);
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisBottom->max(), 3.0);
    QCOMPARE(form.AxisLeft->min(), 0.20);
    QCOMPARE(form.AxisLeft->max(), 1.0);

    form.AddPoints(4, 1.0, 0.9, 0.1);
    QCOMPARE(form.AxisBottom->max(), 4.0);
    QCOMPARE(form.AxisLeft->min(), 0.1);
    QCOMPARE(form.AxisLeft->max(), 1.0);
  }

  void FitnessMaximumStaysAtOneWhateverTheData() {
    TFormStats form;
    form.AddPoints(1, 1.0, 1.0, 1.0);  // every member a winner
    QCOMPARE(form.AxisLeft->max(), 1.0);
    QVERIFY(form.AxisLeft->min() < 1.0);
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QVERIFY(form.AxisBottom->max() > 1.0);
    form.AddPoints(2, 1.5, 1.2, 0.4);  // out-of-range data does not lift the axis
    QCOMPARE(form.AxisLeft->max(), 1.0);
    QCOMPARE(form.AxisLeft->min(), 0.4);
  }

  void ShiftClickMakesTheClickedValuesTheLowerLeftCorner() {
    TFormStats form;
    AddThreeGenerations(form);
    QVERIFY(ShowAndLayOut(form));
    const QPointF pixel = PixelSize(form);
    const QPoint position = PositionOf(form, {2.0, 0.5});

    form.ChartStatMouseDown(position, true);
    QVERIFY2(qAbs(form.AxisBottom->min() - 2.0) <= pixel.x(), qPrintable(QString::number(form.AxisBottom->min())));
    QVERIFY2(qAbs(form.AxisLeft->min() - 0.5) <= pixel.y(), qPrintable(QString::number(form.AxisLeft->min())));
    QCOMPARE(form.AxisLeft->max(), 1.0);
    QCOMPARE(form.AxisBottom->max(), 3.0);

    // Later points keep the chosen minimums; the maximum still follows the data.
    const double fixed_left = form.AxisLeft->min();
    const double fixed_bottom = form.AxisBottom->min();
    form.AddPoints(4, 0.99, 0.8, 0.05);
    QCOMPARE(form.AxisLeft->min(), fixed_left);
    QCOMPARE(form.AxisBottom->min(), fixed_bottom);
    QCOMPARE(form.AxisBottom->max(), 4.0);

    form.ChartStatMouseDown(position, false);
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisLeft->min(), 0.05);
    QCOMPARE(form.AxisLeft->max(), 1.0);
  }

  void RealMousePressesReachTheHandler() {
    TFormStats form;
    AddThreeGenerations(form);
    QVERIFY(ShowAndLayOut(form));
    const QPointF pixel = PixelSize(form);
    const QPoint position = PositionOf(form, {2.5, 0.6});

    QTest::mouseClick(form.ChartStat->viewport(), Qt::LeftButton, Qt::ShiftModifier, position);
    QVERIFY2(qAbs(form.AxisBottom->min() - 2.5) <= pixel.x(), qPrintable(QString::number(form.AxisBottom->min())));
    QVERIFY2(qAbs(form.AxisLeft->min() - 0.6) <= pixel.y(), qPrintable(QString::number(form.AxisLeft->min())));
    QVERIFY(!form.ChartStat->chart()->isZoomed());  // a click without a drag zooms nothing

    QTest::mouseClick(form.ChartStat->viewport(), Qt::LeftButton, Qt::NoModifier, PositionOf(form, {2.7, 0.8}));
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisLeft->min(), 0.2);
  }

  // Every button behaves as the left one: no Shift restores the chart, Shift
  // sets the lower-left corner; the view's own zoom-out never runs on top.
  void EveryButtonRestoresOrSetsTheCorner_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
  }

  void EveryButtonRestoresOrSetsTheCorner() {
    QFETCH(Qt::MouseButton, button);
    TFormStats form;
    AddThreeGenerations(form);
    QVERIFY(ShowAndLayOut(form));
    QChart* chart = form.ChartStat->chart();
    const QRectF area = chart->plotArea();
    chart->zoomIn(QRectF(area.center(), area.size() / 4));
    QVERIFY(chart->isZoomed());

    QTest::mouseClick(form.ChartStat->viewport(), button, Qt::NoModifier, PositionOf(form, {2.5, 0.6}));
    QVERIFY(!chart->isZoomed());
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisBottom->max(), 3.0);
    QCOMPARE(form.AxisLeft->min(), 0.2);
    QCOMPARE(form.AxisLeft->max(), 1.0);

    const QPointF pixel = PixelSize(form);
    QTest::mouseClick(form.ChartStat->viewport(), button, Qt::ShiftModifier, PositionOf(form, {2.0, 0.5}));
    QVERIFY2(qAbs(form.AxisBottom->min() - 2.0) <= pixel.x(), qPrintable(QString::number(form.AxisBottom->min())));
    QVERIFY2(qAbs(form.AxisLeft->min() - 0.5) <= pixel.y(), qPrintable(QString::number(form.AxisLeft->min())));
    QCOMPARE(form.AxisBottom->max(), 3.0);
    QCOMPARE(form.AxisLeft->max(), 1.0);
  }

  void PlainClickUndoesAZoom() {
    TFormStats form;
    AddThreeGenerations(form);
    QVERIFY(ShowAndLayOut(form));
    QChart* chart = form.ChartStat->chart();
    const QRectF area = chart->plotArea();
    chart->zoomIn(QRectF(area.center(), area.size() / 4));
    QVERIFY(chart->isZoomed());
    const double zoomed_min = form.AxisBottom->min();
    QVERIFY(zoomed_min > 1.5);
    form.AddPoints(4, 0.99, 0.8, 0.1);  // the zoomed view stays while points arrive
    QCOMPARE(form.AxisBottom->min(), zoomed_min);

    form.ChartStatMouseDown(area.center(), false);
    QVERIFY(!chart->isZoomed());
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisBottom->max(), 4.0);
    QCOMPARE(form.AxisLeft->min(), 0.1);
    QCOMPARE(form.AxisLeft->max(), 1.0);
  }

  void ClosingHidesAndKeepsThePoints() {
    TFormStats form;
    QVERIFY(ShowAndLayOut(form));
    form.AddPoints(1, 0.9, 0.5, 0.2);
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    form.AddPoints(2, 0.9, 0.5, 0.2);  // points keep arriving while hidden
    QCOMPARE(form.Series2->count(), 2);
  }
  void HeldPointsAreStoredAtOnceAndDrawnWhenTheHoldEnds() {
    QWidget owner;  // shown, so the hidden chart is laid out as in the program
    auto* form = new TFormStats(&owner);
    form->setWindowFlag(Qt::Window, true);
    form->hide();
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    AddThreeGenerations(*form);
    form->HoldRedraws(true);
    AddGenerations(*form, 4, 200);
    // The series hold every point while the run goes on.
    QCOMPARE(form->Series1->count(), 200);
    QCOMPARE(form->Series2->count(), 200);
    QCOMPARE(form->Series3->count(), 200);
    QCOMPARE(form->Series3->at(199), QPointF(200, 0.2 - 0.0005 * 200));
    form->HoldRedraws(false);
    QCOMPARE(form->AxisBottom->min(), 1.0);
    QCOMPARE(form->AxisBottom->max(), 200.0);
    QCOMPARE(form->AxisBottom->tickInterval(), 50.0);
    QCOMPARE(form->AxisLeft->min(), 0.2 - 0.0005 * 200);
    QCOMPARE(form->AxisLeft->max(), 1.0);

    QVERIFY(ShowAndLayOut(*form));
    QVERIFY(RedPlotPixels(*form) > 100);  // the line of all 200 points, not of the first three
    // Without a hold every point is drawn as it comes.
    form->AddPoints(201, 0.9, 0.7, 0.05);
    QCOMPARE(form->AxisBottom->max(), 201.0);
    QCOMPARE(form->AxisLeft->min(), 0.05);
  }

  void ShowingAHeldWindowDrawsWhatItHolds() {
    TFormStats form;
    form.HoldRedraws(true);
    form.AddPoints(1, 0.9, 0.5, 0.2);  // hidden: held back
    AddGenerations(form, 2, 40);
    QVERIFY(ShowAndLayOut(form));
    QCOMPARE(form.AxisBottom->min(), 1.0);
    QCOMPARE(form.AxisBottom->max(), 40.0);
    QCOMPARE(form.AxisLeft->min(), 0.2 - 0.0005 * 40);
    QVERIFY(RedPlotPixels(form) > 100);

    // Clearing during a hold shows the empty chart at once.
    form.ClearSeries();
    QCOMPARE(form.Series1->count(), 0);
    QCOMPARE(form.AxisBottom->min(), 0.0);
    QCOMPARE(form.AxisBottom->max(), 1.0);
    QCOMPARE(form.AxisLeft->min(), 0.0);
    QCOMPARE(RedPlotPixels(form), 0);
    form.HoldRedraws(false);
  }

  void AZoomedChartDrawsTheHeldPointsToo() {
    TFormStats form;
    AddThreeGenerations(form);
    QVERIFY(ShowAndLayOut(form));
    QChart* chart = form.ChartStat->chart();
    const QRectF area = chart->plotArea();
    chart->zoomIn(QRectF(area.left(), area.center().y(), area.width(), area.height() / 2));  // below the Best line
    QCOMPARE(RedPlotPixels(form), 0);
    form.hide();
    form.HoldRedraws(true);
    form.AddPoints(1.5, 0.3, 0.3, 0.3);  // Best comes down through the zoomed view
    form.HoldRedraws(false);
    QVERIFY(ShowAndLayOut(form));
    QVERIFY(RedPlotPixels(form) > 10);
  }

  void AShiftClickDuringAHoldMapsThroughTheCurrentAxes() {
    TFormStats form;
    AddThreeGenerations(form);
    QVERIFY(ShowAndLayOut(form));
    form.HoldRedraws(true);
    AddGenerations(form, 4, 100);  // visible: drawn at most every 40 ms, so some may be held
    form.ChartStatMouseDown(PositionOf(form, {2.0, 0.5}), false);
    QCOMPARE(form.AxisBottom->max(), 100.0);
    const QPointF pixel = PixelSize(form);
    form.ChartStatMouseDown(PositionOf(form, {50.0, 0.5}), true);
    QVERIFY2(qAbs(form.AxisBottom->min() - 50.0) <= pixel.x(), qPrintable(QString::number(form.AxisBottom->min())));
    QCOMPARE(form.AxisBottom->max(), 100.0);
    form.HoldRedraws(false);
  }
};

VELMORA_HEADLESS_TEST_MAIN(FormStatTest)
#include "FormStatTest.moc"
