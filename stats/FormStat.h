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
  // Mouse press on the chart at a position in chart-view coordinates. Shift:
  // the clicked data values become both axes' minimums; otherwise the
  // automatic minimums come back and any zoom is undone.
  void ChartStatMouseDown(const QPointF& position, bool shift);
  void ChartStatDblClick() {}  // a double click does nothing

  QChartView* ChartStat = nullptr;
  QLineSeries* Series1 = nullptr;  // "Best", red
  QLineSeries* Series2 = nullptr;  // "Median", green
  QLineSeries* Series3 = nullptr;  // "Worst", yellow
  QValueAxis* AxisBottom = nullptr;
  QValueAxis* AxisLeft = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitAxes();  // the automatic limits from the points, the fixed ones as set

  bool automatic_bottom_min_ = true;
  bool automatic_left_min_ = true;
  double bottom_min_ = 0.0;  // while not automatic
  double left_min_ = 0.0;    // while not automatic
};
