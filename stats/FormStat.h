#pragma once
// TFormStats: the always-on-top window that plots the best, median and worst
// fitness per generation.

#include <QElapsedTimer>
#include <QPointF>
#include <QWidget>
#include <functional>

#include "stats/ChartFigure.h"

class QChartView;
class QToolButton;
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

  // While on (a run adds a point every generation), the series still take
  // every point at once but the chart is redrawn from them only when the
  // window is shown, at most every 40 ms while it is visible, and when the
  // hold ends. Off: every point is drawn as it comes.
  void HoldRedraws(bool on);

  QChartView* ChartStat = nullptr;
  QLineSeries* Series1 = nullptr;  // "Best", red
  QLineSeries* Series2 = nullptr;  // "Median", green
  QLineSeries* Series3 = nullptr;  // "Worst", yellow
  QValueAxis* AxisBottom = nullptr;
  QValueAxis* AxisLeft = nullptr;

  // "Save…" in the chart's top-left corner: the chart as a PNG or SVG figure.
  QToolButton* ButtonSaveFigure = nullptr;
  void SaveFigure(FigureFormat format);
  // Hooks the tests replace: the save dialog (empty: cancelled) and the message box.
  std::function<QString(FigureFormat format)> AskFigureFileName;
  std::function<void(const QString& text)> ShowFigureError;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FitAxes();  // the automatic limits from the points, the fixed ones as set
  void ResetExtents();
  void Redraw();   // brings a chart held back up to date with its series

  bool automatic_bottom_min_ = true;
  bool automatic_left_min_ = true;
  double bottom_min_ = 0.0;  // while not automatic
  double left_min_ = 0.0;    // while not automatic
  // The extents of every point in the series, kept as points come so that
  // fitting the axes never scans them.
  double points_x_min_ = 0.0;
  double points_x_max_ = 0.0;
  double points_y_min_ = 0.0;
  bool holding_ = false;  // HoldRedraws is on
  bool held_ = false;     // the chart lags behind its series
  QElapsedTimer since_redraw_;
};
