// Placeholder: replaced by the file buttons, the dump and the winner report.
#include "VelmoraForm.h"

void TEQForm::ButtonOpenClick() {}
void TEQForm::ButtonSaveAClick() {}
void TEQForm::ButtonSavePopClick() {}
void TEQForm::ButtonSaveLogClick() {}
void TEQForm::ButtonSaveDirClick() {}
void TEQForm::ButtonQSavePopClick() {}
void TEQForm::ButtonQuickEClick() {}
void TEQForm::ButtonDumpClick() {}
bool TEQForm::ReportNewWinners() { return true; }
