#include "stats/FormStat.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kFitnessMaximum = 1.0;
// A visible chart held back by a run is redrawn at most this often: each
// redraw goes over every point, and nobody sees more than 25 frames a second.
constexpr qint64 kHeldRedrawMilliseconds = 40;

// A whole-number step of 1, 2 or 5 times a power of ten giving about five
// generation ticks.
double GenerationStep(double span) {
  const double rough = std::max(span / 5.0, 1.0);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= rough) return factor * power;
  }
  return 10.0 * power;
}

QLineSeries* MakeSeries(const QString& title, const QColor& color, QChart* chart) {
  auto* series = new QLineSeries(chart);
  series->setName(title);
  series->setColor(color);
  series->setPointsVisible(false);
  chart->addSeries(series);
  return series;
}

// Qt fits the new range to the chart at once, even a hidden one: skip that
// when nothing changed.
void SetRange(QValueAxis* axis, double min, double max) {
  if (axis->min() != min || axis->max() != max) axis->setRange(min, max);
}

}  // namespace

TFormStats::TFormStats(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("FormStats"));
  move(118, 355);
  resize(547, 200);

  auto* chart = new QChart();
  chart->setTitle(QStringLiteral("GA Statistics"));
  chart->setBackgroundBrush(Qt::white);
  chart->setBackgroundRoundness(0);
  // The window is small: tight margins and the legend beside the plot leave
  // room for the axis labels.
  chart->setMargins(QMargins(4, 0, 4, 0));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  QFont small = chart->titleFont();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  chart->setTitleFont(small);
  chart->legend()->setVisible(true);
  chart->legend()->setAlignment(Qt::AlignRight);
  chart->legend()->setFont(small);
  Series1 = MakeSeries(QStringLiteral("Best"), QColor(255, 0, 0), chart);
  Series2 = MakeSeries(QStringLiteral("Median"), QColor(0, 128, 0), chart);
  Series3 = MakeSeries(QStringLiteral("Worst"), QColor(255, 255, 0), chart);

  AxisBottom = new QValueAxis(chart);
  AxisBottom->setTitleText(QStringLiteral("Generation"));
  AxisBottom->setLabelFormat(QStringLiteral("%g"));
  AxisBottom->setTickType(QValueAxis::TicksDynamic);
  AxisBottom->setTickAnchor(0.0);  // ticks on multiples of the step
  AxisLeft = new QValueAxis(chart);
  AxisLeft->setTitleText(QStringLiteral("Fitness"));
  AxisLeft->setLabelFormat(QStringLiteral("%.2f"));
  for (QValueAxis* axis : {AxisBottom, AxisLeft}) {
    axis->setTitleFont(small);
    axis->setLabelsFont(small);
  }
  chart->addAxis(AxisBottom, Qt::AlignBottom);
  chart->addAxis(AxisLeft, Qt::AlignLeft);
  for (QLineSeries* series : {Series1, Series2, Series3}) {
    series->attachAxis(AxisBottom);
    series->attachAxis(AxisLeft);
  }

  ChartStat = new QChartView(chart, this);  // the view owns the chart
  ChartStat->setRubberBand(QChartView::RectangleRubberBand);
  ChartStat->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ChartStat);

  // Over the chart's empty top-left corner, so the chart keeps the whole window.
  ButtonSaveFigure = new QToolButton(ChartStat);
  ButtonSaveFigure->setText(QStringLiteral("Save\u2026"));
  ButtonSaveFigure->setToolTip(QStringLiteral("Save the chart as a figure (PNG or SVG)"));
  ButtonSaveFigure->setAutoRaise(true);
  ButtonSaveFigure->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(ButtonSaveFigure);
  connect(menu->addAction(QStringLiteral("Save as PNG\u2026")), &QAction::triggered, this,
          [this] { SaveFigure(FigureFormat::kPng); });
  connect(menu->addAction(QStringLiteral("Save as SVG\u2026")), &QAction::triggered, this,
          [this] { SaveFigure(FigureFormat::kSvg); });
  ButtonSaveFigure->setMenu(menu);
  ButtonSaveFigure->move(2, 2);
  AskFigureFileName = [this](FigureFormat format) {
    const QString filter = format == FigureFormat::kPng ? QStringLiteral("PNG images (*.png)")
                                                        : QStringLiteral("SVG drawings (*.svg)");
    return QFileDialog::getSaveFileName(this, QStringLiteral("Save chart"), QString(), filter);
  };
  ShowFigureError = [this](const QString& text) { QMessageBox::warning(this, QStringLiteral("Velmora"), text); };
  ResetExtents();
  FitAxes();
}

void TFormStats::SaveFigure(FigureFormat format) {
  QString path = AskFigureFileName ? AskFigureFileName(format) : QString();
  if (path.isEmpty()) return;
  if (!path.endsWith(FigureExtension(format), Qt::CaseInsensitive)) path += FigureExtension(format);
  if (held_) Redraw();  // the figure shows every point
  QString error;
  if (!SaveChartFigure(ChartStat, path, format, error) && ShowFigureError) ShowFigureError(error);
}

void TFormStats::AddPoints(double generation, double best, double median, double worst) {
  points_x_min_ = std::min(points_x_min_, generation);
  points_x_max_ = std::max(points_x_max_, generation);
  for (double fitness : {best, median, worst}) points_y_min_ = std::min(points_y_min_, fitness);
  const bool draw = !holding_ || (isVisible() && (!since_redraw_.isValid() ||
                                                  since_redraw_.elapsed() >= kHeldRedrawMilliseconds));
  if (!draw && !held_) {
    // The chart follows a series through its signals, each point costing a
    // pass over all of them: while held, the series only store the points.
    held_ = true;
    for (QLineSeries* series : {Series1, Series2, Series3}) series->blockSignals(true);
  }
  Series1->append(generation, best);
  Series2->append(generation, median);
  Series3->append(generation, worst);
  if (draw) Redraw();
}

void TFormStats::ClearSeries() {
  Series1->clear();
  Series2->clear();
  Series3->clear();
  ResetExtents();
  Redraw();
}

void TFormStats::HoldRedraws(bool on) {
  holding_ = on;
  if (!on && held_) Redraw();
}

void TFormStats::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (held_) Redraw();
}

void TFormStats::ResetExtents() {
  points_x_min_ = std::numeric_limits<double>::infinity();
  points_x_max_ = -points_x_min_;
  points_y_min_ = points_x_min_;
}

void TFormStats::Redraw() {
  if (held_) {
    held_ = false;
    for (QLineSeries* series : {Series1, Series2, Series3}) {
      series->blockSignals(false);
      series->replace(series->points());  // the chart takes the whole list in one pass
    }
  }
  FitAxes();
  since_redraw_.start();
}

void TFormStats::ChartStatMouseDown(const QPointF& position, bool shift) {
  if (held_) Redraw();  // the click maps through the axes as they are drawn
  QChart* chart = ChartStat->chart();
  if (shift) {
    const QPointF in_chart = chart->mapFromScene(ChartStat->mapToScene(position.toPoint()));
    const QPointF value = chart->mapToValue(in_chart, Series2);
    automatic_bottom_min_ = false;
    automatic_left_min_ = false;
    bottom_min_ = value.x();
    left_min_ = value.y();
  } else {
    automatic_bottom_min_ = true;
    automatic_left_min_ = true;
    chart->zoomReset();
  }
  FitAxes();
}

void TFormStats::FitAxes() {
  // A zoomed chart keeps the user's view until the zoom is undone.
  if (ChartStat != nullptr && ChartStat->chart()->isZoomed()) return;
  double x_min = points_x_min_;
  double x_max = points_x_max_;
  double y_min = points_y_min_;
  const bool empty = x_max < x_min;
  if (empty) {
    x_min = 0.0;
    x_max = 1.0;
    y_min = 0.0;
  }
  if (!automatic_bottom_min_) x_min = bottom_min_;
  if (!automatic_left_min_) y_min = left_min_;
  // Degenerate ranges (one generation, every fitness 1) still need some width.
  if (x_max <= x_min) x_max = x_min + 1.0;
  if (y_min >= kFitnessMaximum) y_min = kFitnessMaximum - 1.0;
  // A wider step goes in before the range: the other way round, a range that
  // grew by many generations (a chart held back during a run) would be laid
  // out once with a label at every old step.
  const double step = GenerationStep(x_max - x_min);
  const bool wider_step = step > AxisBottom->tickInterval();
  if (wider_step) AxisBottom->setTickInterval(step);
  SetRange(AxisBottom, x_min, x_max);
  if (!wider_step && AxisBottom->tickInterval() != step) AxisBottom->setTickInterval(step);
  SetRange(AxisLeft, y_min, kFitnessMaximum);
}

bool TFormStats::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ChartStat->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      ChartStatMouseDown(mouse->position(), mouse->modifiers().testFlag(Qt::ShiftModifier));
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      ChartStatDblClick();
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
      // The view zooms out on a right-button release; the press has already
      // restored the chart (or set its corner), and that must stand.
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);  // the view still zooms by rubber band
}
