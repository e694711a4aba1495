#pragma once
// Help of the window: the About box and the manual.
#include <QString>

class QWidget;

// Version, build date, licence and where the documentation lives.
QString AboutText();
void ShowAbout(QWidget* parent);

// The program's manual (docs/manual.md), with its screenshots; empty when no copy
// is found (installed, or beside the sources the program was built from).
QString ManualPath();
// Shows the manual in a window of its own, or says where to find it.
void ShowManual(QWidget* parent);
