// The "Lattice" tab beside the log: the shown algebra's Hasse diagram, and
// its highlighted element shown in the tables.
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/LatticeView.h"
#include "app/LogPane.h"
#include "model/Settings.h"
#include "app/TableHighlight.h"
#include "app/VelmoraForm.h"

QWidget* TEQForm::BuildLogTabs() {
  TabsLog = new QTabWidget;
  TabsLog->setDocumentMode(true);  // no frame: the log keeps the width it is given
  TabsLog->addTab(RichEditLog, QStringLiteral("Log"));
  LatticeViewTab = new LatticeView;
  TabsLog->addTab(LatticeViewTab, QStringLiteral("Lattice"));
  TabsLog->setTabToolTip(0, QStringLiteral("The log of winners and dumps"));
  TabsLog->setTabToolTip(1, QStringLiteral("The Hasse diagram of the shown algebra's order"));
  // The tab bar's scroll arrows (shown only when the tabs do not fit).
  for (QToolButton* arrow : TabsLog->tabBar()->findChildren<QToolButton*>()) {
    arrow->setToolTip(QStringLiteral("Show the other tabs"));
  }
  connect(LatticeViewTab, &LatticeView::ElementHighlighted, this, &TEQForm::LatticeElementHighlighted);
  return TabsLog;
}

void TEQForm::ShowLattice() {
  if (LatticeViewTab != nullptr && ShownAlgebra != nullptr) LatticeViewTab->ShowAlgebra(*ShownAlgebra, Settings.DeltaEnabled);
}

void TEQForm::LatticeElementHighlighted(int position) {
  for (QTableWidget* grid : {StringGridEditInf, StringGridProd, StringGridFEq, StringGridImp, StringGridMax}) {
    HighlightGridElement(grid, position + 1, true);
  }
  HighlightGridElement(StringGridDelta, position + 1, false);
}
