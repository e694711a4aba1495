// "Export…": the shown algebra or the browsed population in a format of
// another tool, chosen in the dialog, which opens on the last choices.
#include "app/Colours.h"
#include "app/ExchangeFiles.h"
#include "app/LogPane.h"
#include "app/SpinEdit.h"
#include "app/VelmoraForm.h"

void TEQForm::ButtonExportClick() {
  ExportRequest request = last_export_;
  if (!AskExport || !AskExport(request)) return;
  last_export_ = request;
  std::vector<std::pair<int, const TEQAlgebra*>> algebras;
  // Held for the whole export: a step under way cannot free it.
  const PopulationPtr population = BrowsedPopulation;
  if (request.population) {
    if (population == nullptr) return;
    for (int i = 0; i < population->Count(); ++i) {
      if (const TEQAlgebra* member = population->Get(i)) algebras.emplace_back(i, member);
    }
  } else {
    if (!DisplayReady) return;
    const TEQAlgebra* shown = LiveShownAlgebra();
    if (shown == nullptr) return;
    algebras.emplace_back(SpinEditMember != nullptr ? SpinEditMember->Value() : 0, shown);
  }
  if (algebras.empty()) {
    RichEditLog->SetTextColor(kBlack);
    RichEditLog->AppendLine(QStringLiteral("Export: nothing to export, the population browsed is empty"));
    return;
  }
  FailedWrites failures;
  QStringList written;
  WriteExport(algebras, request, failures, &written);
  // Said where it is seen: the log names what was written.
  if (!written.isEmpty()) {
    const QString algebra_count = algebras.size() == 1 ? QStringLiteral("1 algebra")
                                                       : QStringLiteral("%1 algebras").arg(algebras.size());
    const QString files = written.size() == 1
                              ? written.first()
                              : QStringLiteral("%1 files, %2 … %3").arg(written.size()).arg(written.first(), written.last());
    RichEditLog->SetTextColor(kBlack);
    RichEditLog->AppendLine(QStringLiteral("Exported ") + algebra_count + QStringLiteral(" to ") + files);
  }
  if (!failures.empty() && ShowFailedWrites) ShowFailedWrites(QStringLiteral("Velmora"), failures);
}
