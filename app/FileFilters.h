#pragma once
// The type filters of the window's file dialogs; each ends in "All files".
#include <QString>

inline const QString kOpenFilter = QStringLiteral(
    "Algebras Velmora opens (*.eqa *.ladr *.out *.ua);;EQA files (*.eqa);;"
    "Model finder output (*.ladr *.out *.txt);;UACalc files (*.ua *.xml);;All files (*)");
inline const QString kEqaFilter = QStringLiteral("EQA files (*.eqa);;All files (*)");
inline const QString kPopulationFilter = QStringLiteral("Population files (*.eqp);;All files (*)");
inline const QString kReportFilter = QStringLiteral("Reports (*.txt);;All files (*)");
