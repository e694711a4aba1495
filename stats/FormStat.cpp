// Placeholder: replaced by the full statistics window.
#include "FormStat.h"

TFormStats::TFormStats(QWidget* parent) : QWidget(parent) {}
void TFormStats::AddPoints(double, double, double, double) {}
void TFormStats::ClearSeries() {}
void TFormStats::ChartStatMouseDown(const QPointF&, bool) {}
