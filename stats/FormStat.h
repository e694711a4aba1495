#pragma once
// TFormStats: the always-on-top window that plots the best, median and worst
// fitness per generation.

#include <QPointF>
#include <QWidget>

class QChartView;
class QLineSeries;
class QValueAxis;

class TFormStats : public QWidget {
  Q_OBJECT

 public:
  explicit TFormStats(QWidget* parent = nullptr);

  // One point per series at x = generation.
  void AddPoints(double generation, double best, double median, double worst);
  void ClearSeries();
  // Mouse press on the chart at a position in chart-view coordinates.
  void ChartStatMouseDown(const QPointF& position, bool shift);

  QChartView* ChartStat = nullptr;
  QLineSeries* Series1 = nullptr;  // "Best", red
  QLineSeries* Series2 = nullptr;  // "Median", green
  QLineSeries* Series3 = nullptr;  // "Worst", yellow
  QValueAxis* AxisBottom = nullptr;
  QValueAxis* AxisLeft = nullptr;
};
