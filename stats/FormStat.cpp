#include "FormStat.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kFitnessMaximum = 1.0;

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
  FitAxes();
}

void TFormStats::AddPoints(double generation, double best, double median, double worst) {
  Series1->append(generation, best);
  Series2->append(generation, median);
  Series3->append(generation, worst);
  FitAxes();
}

void TFormStats::ClearSeries() {
  Series1->clear();
  Series2->clear();
  Series3->clear();
  FitAxes();
}

void TFormStats::ChartStatMouseDown(const QPointF& position, bool shift) {
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
  double x_min = std::numeric_limits<double>::infinity();
  double x_max = -x_min;
  double y_min = x_min;
  for (const QLineSeries* series : {Series1, Series2, Series3}) {
    for (const QPointF& point : series->points()) {
      x_min = std::min(x_min, point.x());
      x_max = std::max(x_max, point.x());
      y_min = std::min(y_min, point.y());
    }
  }
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
  AxisBottom->setRange(x_min, x_max);
  AxisBottom->setTickInterval(GenerationStep(x_max - x_min));
  AxisLeft->setRange(y_min, kFitnessMaximum);
}

bool TFormStats::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ChartStat->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      ChartStatMouseDown(mouse->position(), mouse->modifiers().testFlag(Qt::ShiftModifier));
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      ChartStatDblClick();
    }
  }
  return QWidget::eventFilter(watched, event);  // the view still zooms by rubber band
}
