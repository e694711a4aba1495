// The controls that carry the search settings, their handlers and the INI file.
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app/Colours.h"
#include "app/LogPane.h"
#include "model/RegularFile.h"
#include "model/Settings.h"
#include "model/SettingsCheck.h"
#include "app/SpinEdit.h"
#include "app/VelmoraForm.h"

SpinEdit* TEQForm::SpinOf(Control control) const {
  switch (control) {
    case Control::ElementsNumber: return SpinEditElm;
    case Control::OptionalWeight: return SpinEditOpt;
    case Control::Colorfulness: return SpinEditColor;
    case Control::ColorfulnessProd: return SpinEditColProd;
    case Control::PopulationLimit: return SpinEditMembNo;
    case Control::StepsLimit: return SpinEditGenLim;
    case Control::MutationRate: return SpinEditMut;
    case Control::CrossoverRate: return SpinEditCross;
    case Control::WinnersLimit: return SpinEditWinLim;
    case Control::ChildRatio: return SpinEditChild;
    case Control::Threads: return SpinEditThreads;
    default: return nullptr;
  }
}

QCheckBox* TEQForm::BoxOf(Control control) const {
  switch (control) {
    case Control::RemoveEqual: return CheckBoxRem;
    case Control::DumpProperties: return CheckBoxDumpProp;
    case Control::Delta: return CheckBoxDeltaProp;
    case Control::Max: return CheckBoxMax;
    case Control::Goodness: return CheckBoxGood;
    case Control::Involutive: return CheckBoxInv;
    case Control::Semiseparated: return CheckBoxSemi;
    case Control::Separated: return CheckBoxSepar;
    case Control::Residuated: return CheckBoxResid;
    case Control::Commutative: return CheckBoxCom;
    case Control::NonLattice: return CheckBoxLatNon;
    case Control::NonResiduated: return CheckBoxResNon;
    case Control::NonCommutative: return CheckBoxComNon;
    case Control::NonGoodness: return CheckBoxgoodnon;
    case Control::NonInvolutive: return CheckBoxinvnon;
    case Control::NonSeparated: return CheckBoxSeparNon;
    case Control::NonPrelinear: return CheckBoxPreLinNon;
    case Control::NonSemiSeparated: return CheckBoxSemiNon;
    case Control::NonLinear: return CheckBoxNonLin;
    case Control::Linear: return CheckBoxLinear;
    case Control::Lattice: return CheckBoxLat;
    case Control::Prelinear: return CheckBoxPre;
    case Control::SupProdDistributivity: return CheckBoxSupProd;
    case Control::EqualityOverEqProd: return CheckBoxEqProd;
    case Control::AutoLoadWinners: return CheckBoxWinAuto;
    case Control::LogDerived: return CheckBoxDer;
    case Control::LogProperties: return CheckBoxDumpProp;
    case Control::Quicksave: return CheckBoxQuickDir;
    case Control::Autosave: return CheckBoxAutoSave;
    case Control::TadaSound: return CheckBoxTada;
    case Control::OnePerClass: return CheckBoxOnePerClass;
    default: return nullptr;
  }
}

// --- The INI file ---------------------------------------------------------------

// The lines of the file that the reading ignores (a misspelt key, a value that
// is not a number), told in the log as the command-line tool tells them.
void TEQForm::LogSettingsWarnings(const std::string& path) {
  std::string text, reason;
  if (ReadRegularFile(path, IniFile::kMaxFileBytes, text, reason) != ReadStatus::kRead) return;
  for (const SettingsWarning& warning : CheckSettingsText(text, path)) {
    RichEditLog->AppendLine(QString::fromStdString(warning.message));
  }
}

void TEQForm::LoadSettings() {
  const QString path = environment_.settings_file;
  if (!QFileInfo::exists(path)) return;  // the controls keep their defaults
  std::string error;
  if (!ini_.Load(path.toStdString(), &error)) {
    if (!ini_failure_reported_) {
      ini_failure_reported_ = true;
      ShowMessage(QStringLiteral("Velmora"),
                  QStringLiteral("The settings could not be read; the defaults are used.\n") +
                      QString::fromStdString(error));
    }
    return;
  }
  LogSettingsWarnings(path.toStdString());
  // Each value goes into its control, so the control's handler runs when the
  // value changes; the order of the keys decides the outcome of the pairs.
  for (const SettingsKey& key : kReadOrder) {
    switch (key.kind) {
      case ValueKind::Text: {
        // A blank path would leave the autosave nowhere to go: it counts as missing.
        const QString text = QString::fromStdString(ReadTextKey(ini_, key));
        EditQuickDir->setText(text.trimmed().isEmpty() ? QString::fromStdString(DefaultQuickDirText()) : text);
        break;
      }
      case ValueKind::Integer:
        if (SpinEdit* spin = SpinOf(key.control)) spin->SetValue(ReadIntegerKey(ini_, key));
        break;
      case ValueKind::Boolean:
        if (QCheckBox* box = BoxOf(key.control)) box->setChecked(ReadIntegerKey(ini_, key) != 0);
        break;
    }
  }
  LoadFindSettings();
}

void TEQForm::SaveSettings() {
  FormValues values = DefaultFormValues();
  for (int i = 0; i < kControlCount; ++i) {
    const auto control = static_cast<Control>(i);
    if (const SpinEdit* spin = SpinOf(control)) values.Set(control, spin->Value());
    if (const QCheckBox* box = BoxOf(control)) values.Set(control, box->isChecked() ? 1 : 0);
  }
  values.quick_dir_path = EditQuickDir->text().toStdString();
  SaveFormValues(values, ini_);
  SaveFindSettings();
  std::string error;
  if (!ini_.Save(environment_.settings_file.toStdString(), &error)) {
    ShowMessage(QStringLiteral("Velmora"),
                QStringLiteral("The settings could not be saved.\n") + QString::fromStdString(error));
  }
}

void TEQForm::ApplySettings() {
  Settings.ElementCount = SpinEditElm->Value();
  ClampColourfulness();
  SpinEditStepsChange();
  CheckBoxDeltaPropClick();
  CheckBoxMaxClick();
  SpinEditMutChange();
  SpinEditCrossChange();
  SpinEditColorChange();
  CheckBoxGoodClick();
  CheckBoxInvClick();
  SpinEditOptChange();
  CheckBoxSemiClick();
  CheckBoxSeparClick();
  CheckBoxResidClick();
  CheckBoxComClick();
  CheckBoxLinearClick();
  CheckBoxLatClick();
  CheckBoxPreClick();
  CheckBoxDerClick();
  CheckBoxSupProdClick();
  CheckBoxEqProdClick();
  Settings.PopulationLimit = SpinEditMembNo->Value();
  if (Generations) Generations->FPopulationLimit = Settings.PopulationLimit;
  SpinEditThreadsChange();
}

// --- Numeric controls -------------------------------------------------------------

void TEQForm::ClampColourfulness() {
  // Lowering the bound may clamp a control, whose handler then re-reads both.
  Settings.ColorfulnessFEq = std::min(Settings.ColorfulnessFEq, Settings.ElementCount);
  SpinEditColor->setMaximum(Settings.ElementCount);
  SpinEditColor->SetValue(Settings.ColorfulnessFEq);
  Settings.ColorfulnessProd = std::min(Settings.ColorfulnessProd, Settings.ElementCount);
  SpinEditColProd->setMaximum(Settings.ElementCount);
  SpinEditColProd->SetValue(Settings.ColorfulnessProd);
}

void TEQForm::SpinEditElmChange() {
  Settings.ElementCount = SpinEditElm->Value();
  if (Generations) Generations->FElementCount = Settings.ElementCount;
  ClampColourfulness();
  GA.GAReady = false;  // the next step starts a new population; the shown one stays browsable
  ShowAlgebra();
}

void TEQForm::SpinEditMembNoChange() {
  if (Generations) Generations->FPopulationLimit = SpinEditMembNo->Value();
  Settings.PopulationLimit = SpinEditMembNo->Value();
}

void TEQForm::SpinEditGenLimChange() { SpinEditSteps->SetValue(SpinEditGenLim->Value()); }

void TEQForm::SpinEditStepsChange() {
  SpinEditGenLim->SetValue(SpinEditSteps->Value());
  // The limit's floor of 10 may leave it unchanged (no chain back), so the
  // step count follows it here: the pair always shows one value.
  if (SpinEditSteps->Value() != SpinEditGenLim->Value()) SpinEditSteps->SetValue(SpinEditGenLim->Value());
}

void TEQForm::SpinEditWinLimChange() {}  // the run loop reads the control itself

void TEQForm::SpinEditMutChange() { Settings.MutationRate = PercentToFraction(SpinEditMut->Value()); }
void TEQForm::SpinEditCrossChange() { Settings.CrossoverRate = PercentToFraction(SpinEditCross->Value()); }
void TEQForm::SpinEditChildChange() { Settings.ChildRatio = PercentToFraction(SpinEditChild->Value()); }
void TEQForm::SpinEditOptChange() { Settings.OptionalWeight = PercentToFraction(SpinEditOpt->Value()); }

// Taken up by the next batch of evaluations; the results stay the same.
void TEQForm::SpinEditThreadsChange() { Settings.Threads = SpinEditThreads->Value(); }

void TEQForm::SpinEditColorChange() {
  Settings.ColorfulnessFEq = SpinEditColor->Value();
  Settings.ColorfulnessProd = SpinEditColProd->Value();
}

// --- Switches -----------------------------------------------------------------------

void TEQForm::CheckBoxDeltaPropClick() {
  Settings.DeltaEnabled = CheckBoxDeltaProp->isChecked();
  Settings.MaximumEnabled = CheckBoxMax->isChecked();
  Settings.UpdateGeneCount();
  GA.GAReady = false;
}

void TEQForm::CheckBoxMaxClick() { CheckBoxDeltaPropClick(); }

void TEQForm::CheckBoxRemClick() { Settings.RemoveEqualMembers = CheckBoxRem->isChecked(); }
void TEQForm::CheckBoxDerClick() { Settings.ShowDerived = CheckBoxDer->isChecked(); }
void TEQForm::CheckBoxSupProdClick() { Settings.WantSupProdDistributivity = CheckBoxSupProd->isChecked(); }
void TEQForm::CheckBoxEqProdClick() { Settings.WantEqualityOverEqProd = CheckBoxEqProd->isChecked(); }

void TEQForm::PairClicked(QCheckBox* box, bool& setting, QCheckBox* partner, bool& partner_setting) {
  setting = box->isChecked();
  if (setting && partner_setting) {
    partner_setting = false;
    partner->setChecked(false);
  }
}

void TEQForm::CheckBoxGoodClick() {
  PairClicked(CheckBoxGood, Settings.WantGoodness, CheckBoxgoodnon, Settings.WantNonGoodness);
}
void TEQForm::CheckBoxgoodnonClick() {
  PairClicked(CheckBoxgoodnon, Settings.WantNonGoodness, CheckBoxGood, Settings.WantGoodness);
}
void TEQForm::CheckBoxInvClick() {
  PairClicked(CheckBoxInv, Settings.WantInvolutive, CheckBoxinvnon, Settings.WantNonInvolutive);
}
void TEQForm::CheckBoxinvnonClick() {
  PairClicked(CheckBoxinvnon, Settings.WantNonInvolutive, CheckBoxInv, Settings.WantInvolutive);
}
void TEQForm::CheckBoxSemiClick() {
  PairClicked(CheckBoxSemi, Settings.WantSemiSeparated, CheckBoxSemiNon, Settings.WantNonSemiSeparated);
}
void TEQForm::CheckBoxSemiNonClick() {
  PairClicked(CheckBoxSemiNon, Settings.WantNonSemiSeparated, CheckBoxSemi, Settings.WantSemiSeparated);
}
void TEQForm::CheckBoxSeparClick() {
  PairClicked(CheckBoxSepar, Settings.WantSeparated, CheckBoxSeparNon, Settings.WantNonSeparated);
}
void TEQForm::CheckBoxSeparNonClick() {
  PairClicked(CheckBoxSeparNon, Settings.WantNonSeparated, CheckBoxSepar, Settings.WantSeparated);
}
void TEQForm::CheckBoxResidClick() {
  PairClicked(CheckBoxResid, Settings.WantResiduated, CheckBoxResNon, Settings.WantNonResiduated);
}
void TEQForm::CheckBoxResNonClick() {
  PairClicked(CheckBoxResNon, Settings.WantNonResiduated, CheckBoxResid, Settings.WantResiduated);
}
void TEQForm::CheckBoxComClick() {
  PairClicked(CheckBoxCom, Settings.WantCommutative, CheckBoxComNon, Settings.WantNonCommutative);
}
void TEQForm::CheckBoxComNonClick() {
  PairClicked(CheckBoxComNon, Settings.WantNonCommutative, CheckBoxCom, Settings.WantCommutative);
}
void TEQForm::CheckBoxLinearClick() {
  PairClicked(CheckBoxLinear, Settings.WantLinear, CheckBoxNonLin, Settings.WantNonLinear);
}
void TEQForm::CheckBoxNonLinClick() {
  PairClicked(CheckBoxNonLin, Settings.WantNonLinear, CheckBoxLinear, Settings.WantLinear);
}
void TEQForm::CheckBoxLatClick() {
  PairClicked(CheckBoxLat, Settings.WantLattice, CheckBoxLatNon, Settings.WantNonLattice);
}
void TEQForm::CheckBoxLatNonClick() {
  PairClicked(CheckBoxLatNon, Settings.WantNonLattice, CheckBoxLat, Settings.WantLattice);
}
void TEQForm::CheckBoxPreClick() {
  PairClicked(CheckBoxPre, Settings.WantPrelinear, CheckBoxPreLinNon, Settings.WantNonPrelinear);
}
void TEQForm::CheckBoxPreLinNonClick() {
  PairClicked(CheckBoxPreLinNon, Settings.WantNonPrelinear, CheckBoxPre, Settings.WantPrelinear);
}

// --- The quick-save directory -----------------------------------------------------

void TEQForm::EditQuickDirChange() {
  // The setting follows every keystroke; the directory is made only when
  // editing finishes or something is written, never for intermediate texts.
  QString directory = EditQuickDir->text().trimmed();
  if (!directory.isEmpty() && !directory.endsWith(QDir::separator())) directory += QDir::separator();
  Settings.QuickDir = directory.toStdString();
}

void TEQForm::EditQuickDirEditingFinished() {
  const QString directory = QString::fromStdString(Settings.QuickDir);
  if (directory == quick_dir_created_) return;  // focus moving in and out again
  quick_dir_created_ = directory;
  if (directory.isEmpty() || !QDir().mkpath(directory)) ReportQuickDirFailure(directory);
}

void TEQForm::ReportQuickDirFailure(const QString& directory) {
  RichEditLog->SetTextColor(kRed);
  RichEditLog->AppendLine(QStringLiteral("Unable to create directory ") +
                          (directory.isEmpty() ? QStringLiteral("(no quick-save directory given)") : directory));
  RichEditLog->SetTextColor(kBlack);
}
