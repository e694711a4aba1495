// The isomorphism classes of the winners: the note in each winner's log
// entry, the winners panel of the status bar and the "One per class" box.
#include "model/Formatting.h"
#include "app/VelmoraForm.h"

QString TEQForm::WinnersPanelText() {
  const PopulationPtr winners = Generations ? Generations->FWinners() : nullptr;
  const int classes = winners ? winners->ClassCount() : 0;
  return QStringLiteral("EQAlgebras: %1 (%2 %3)")
      .arg(winners ? winners->Count() : 0)
      .arg(classes)
      .arg(classes == 1 ? QStringLiteral("class") : QStringLiteral("classes"));
}

QString TEQForm::WinnerClassNote(int index) {
  const PopulationPtr winners = Generations ? Generations->FWinners() : nullptr;
  const WinnerClass* winner_class = winners ? winners->ClassOfWinner(index) : nullptr;
  if (winner_class == nullptr || winner_class->Id.empty()) return {};
  const QString id = QString::fromStdString(winner_class->Id);
  if (winner_class->FirstWinner == index) return QStringLiteral(", class ") + id + QStringLiteral(", new class");
  return QStringLiteral(", class ") + id + QStringLiteral(", class of winner ") +
         QString::fromStdString(FormatIndex(winner_class->FirstWinner));
}

void TEQForm::CheckBoxOnePerClassClick() { Settings.OnePerClass = CheckBoxOnePerClass->isChecked(); }
