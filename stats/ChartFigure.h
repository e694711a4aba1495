#pragma once
// The statistics chart as a figure for a paper or a slide: a PNG at twice
// the chart's size on screen, or an SVG drawing of it. The file is written
// whole or not at all (a temporary beside it, then a rename).

#include <QString>

class QChartView;

enum class FigureFormat { kPng, kSvg };

// The extension of a figure format: ".png" or ".svg".
QString FigureExtension(FigureFormat format);

// Draws the chart into the file; false with a message naming the file and
// the reason when it cannot be written.
bool SaveChartFigure(QChartView* chart_view, const QString& path, FigureFormat format, QString& error);
