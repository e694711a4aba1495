// "Export…": the shown algebra or the browsed population in a format of
// another tool, chosen in the dialog.
#include "ExchangeFiles.h"
#include "SpinEdit.h"
#include "VelmoraForm.h"

void TEQForm::ButtonExportClick() {
  ExportRequest request;
  if (!AskExport || !AskExport(request)) return;
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
  if (algebras.empty()) return;
  FailedWrites failures;
  WriteExport(algebras, request, failures);
  if (!failures.empty() && ShowFailedWrites) ShowFailedWrites(QStringLiteral("Velmora"), failures);
}
