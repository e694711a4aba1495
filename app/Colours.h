#pragma once
#include <QColor>

// The colours of the property labels and the log.
inline const QColor kGreen(0, 128, 0);
inline const QColor kRed(255, 0, 0);
inline const QColor kBlack(0, 0, 0);
