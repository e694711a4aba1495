#pragma once
// Colours that stay readable on light and dark themes. The window's colours
// (green, red and black text) are those it has always shown on a light
// background; on a dark one each is lightened until its contrast with the
// background is at least kLeastContrast, so that green still reads as green.

#include <QColor>

inline constexpr double kLeastContrast = 4.5;

// The relative luminance of a colour (0 black … 1 white), as the contrast
// ratio of readable text is defined.
double RelativeLuminance(const QColor& colour);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(const QColor& a, const QColor& b);
bool IsDarkBackground(const QColor& background);

// The colour the window draws for wanted on the background: wanted itself on
// a light background, the least lightened version of it with the least
// contrast on a dark one.
QColor ReadableOn(const QColor& wanted, const QColor& background);
