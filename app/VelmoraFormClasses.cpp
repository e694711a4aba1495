// The isomorphism classes of the winners: the note in each winner's log
// entry, the winners panel of the status bar and the "One per class" box.
#include "Formatting.h"
#include "VelmoraForm.h"

QString TEQForm::WinnersPanelText() {
  const PopulationPtr winners = Generations ? Generations->FWinners() : nullptr;
  winner_classes_.CatchUp(winners);
  const int classes = winner_classes_.ClassCount();
  return QStringLiteral("EQAlgebras: %1 (%2 %3)")
      .arg(winners ? winners->Count() : 0)
      .arg(classes)
      .arg(classes == 1 ? QStringLiteral("class") : QStringLiteral("classes"));
}

QString TEQForm::WinnerClassNote(int index) {
  winner_classes_.CatchUp(Generations ? Generations->FWinners() : nullptr);
  const WinnerClassBook::Entry* entry = winner_classes_.At(index);
  if (entry == nullptr || entry->id.empty()) return {};
  const QString id = QString::fromStdString(entry->id);
  if (entry->first_of_class == index) return QStringLiteral(", class ") + id + QStringLiteral(", new class");
  return QStringLiteral(", class ") + id + QStringLiteral(", class of winner ") +
         QString::fromStdString(FormatIndex(entry->first_of_class));
}
