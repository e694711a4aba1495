// The file buttons, the dump of the browsed population and the winner report.
//
// Every handler here can run while a generation step is in progress (the run
// loop pumps window messages), so each one holds its own reference to the
// population it works on and skips empty slots.
#include <QFileInfo>

#include "app/AlgebraFiles.h"
#include "app/Colours.h"
#include "app/ExchangeFiles.h"
#include "app/FileFilters.h"
#include "app/FileNames.h"
#include "model/Formatting.h"
#include "app/LogPane.h"
#include "app/SpinEdit.h"
#include "app/TadaSound.h"
#include "app/VelmoraForm.h"

namespace {

const QString kMessageTitle = QStringLiteral("Velmora");
const QString kOpenReads = QStringLiteral(
    "Open reads EQA files (.eqa), a model finder's output with interpretation(...) terms (.ladr, .out) and "
    "UACalc files (.ua); the other exports (.tex, .json, .in, .eqp) are written only.");

QString Index(int i) { return QString::fromStdString(FormatIndex(i)); }

QString AlgebraDescription(int i) { return QStringLiteral("Algebra_") + Index(i); }

bool HasMembers(const TEQPopulation* population) {
  if (population == nullptr) return false;
  for (int i = 0; i < population->Count(); ++i) {
    if (population->Get(i) != nullptr) return true;
  }
  return false;
}

// LabelCP names what the log shows: EQ-algebras (the winners, or what Find
// found: every one of fitness 1) or another population.
void ShowPopulationHeading(TEQForm& form) {
  const bool winners = form.Generations != nullptr && form.BrowsedPopulation != nullptr &&
                       form.BrowsedPopulation == form.Generations->FWinners();
  const bool found = form.BrowsedPopulation != nullptr && form.BrowsedPopulation == form.FoundPopulation;
  form.LabelCP->setText(winners || found ? QStringLiteral("EQ-Algebras") : QStringLiteral("Current Population"));
}

// One message for all the files a save could not write.
void ReportFailedWrites(TEQForm& form, const FailedWrites& failures) {
  if (failures.empty() || !form.ShowFailedWrites) return;
  form.ShowFailedWrites(kMessageTitle, failures);
}

}  // namespace

void TEQForm::ButtonOpenClick() {
  if (opening_) return;  // a file is still being read (its reading handles events)
  const QString path = ChooseOpenFile();
  // Anything that exists goes to the reader, which refuses what is no regular file.
  if (path.isEmpty() || !QFileInfo::exists(path)) return;
  ImportFormat format;
  if (LiveShownAlgebra() != nullptr && IsExchangeFile(path, format)) {
    // A model finder's or UACalc's file: its first fitting model, in place.
    // The reading handles the window's events, which may replace the shown
    // member: the model goes to the one shown when the reading ends.
    opening_ = true;
    TEQAlgebra opened;
    QString message;
    const bool read = OpenExchangeFile(path, format, opened, message);
    opening_ = false;
    if (read && LiveShownAlgebra() != nullptr) {
      TakeOpenedAlgebra(opened, *ShownAlgebra);
      DisplayReady = true;
    }
    if (!message.isEmpty() && ShowMessage) ShowMessage(kMessageTitle, message);
  } else if (LiveShownAlgebra() != nullptr) {
    // The reader leaves the algebra as it was on any fault; its file name is
    // put back too, so a failed open changes nothing.
    const std::string previous_file = ShownAlgebra->FileName;
    ShownAlgebra->FileName = ToFilePath(path);
    std::string error;
    if (ShownAlgebra->ReadEQA(&error)) {
      DisplayReady = true;
    } else {
      ShownAlgebra->FileName = previous_file;
      QString message = QString::fromLocal8Bit(error.data(), static_cast<qsizetype>(error.size()));
      // A file of another kind (an export, a report) is told what Open reads.
      if (QFileInfo(path).isFile() && QFileInfo(path).suffix().compare(QStringLiteral("eqa"), Qt::CaseInsensitive) != 0) {
        message += u'\n' + kOpenReads;
      }
      if (ShowMessage) ShowMessage(kMessageTitle, message);
    }
  }
  ShowAlgebra();
}

void TEQForm::ButtonSaveAClick() {
  const QString name = ChooseSaveFile(kEqaFilter);
  if (name.isEmpty()) return;
  const QString base = StripExtension(name);
  if (!DisplayReady || LiveShownAlgebra() == nullptr) return;
  if (!ConfirmReplace({base + QStringLiteral(".eqa")}) || LiveShownAlgebra() == nullptr) return;
  FailedWrites failures;
  WriteAlgebraFile(*ShownAlgebra, base + QStringLiteral(".eqa"), failures, LinkPolicy::kFollow);
  ReportFailedWrites(*this, failures);
}

void TEQForm::ButtonSavePopClick() {
  const QString name = ChooseSaveFile(kPopulationFilter);
  if (name.isEmpty()) return;
  const QString base = StripExtension(name);
  if (!DisplayReady) return;
  const PopulationPtr population = BrowsedPopulation;
  if (!HasMembers(population.get()) || !ConfirmReplace({base + QStringLiteral(".eqp")})) return;
  FailedWrites failures;
  SavePopulationFile(base + QStringLiteral(".eqp"), population.get(), failures, LinkPolicy::kFollow);
  ReportFailedWrites(*this, failures);
}

void TEQForm::ButtonSaveLogClick() {
  const QString name = ChooseSaveFile(kReportFilter);
  if (name.isEmpty()) return;
  const QString path = StripExtension(name) + QStringLiteral(".txt");
  if (!ConfirmReplace({path})) return;
  QString reason;
  FailedWrites failures;
  if (!RichEditLog->SaveReport(path, &reason)) failures.push_back({path, reason});
  ReportFailedWrites(*this, failures);
}

void TEQForm::ButtonSaveDirClick() {
  const QString name = ChooseSaveFile(kEqaFilter);
  if (name.isEmpty()) return;
  const QString base = StripExtension(name);
  const PopulationPtr population = BrowsedPopulation;
  if (population == nullptr) return;
  QStringList targets;
  for (int i = 0; i < population->Count(); ++i) {
    if (population->Get(i) != nullptr) targets << base + Index(i) + QStringLiteral(".eqa");
  }
  if (!ConfirmReplace(targets)) return;
  FailedWrites failures;
  for (int i = 0; i < population->Count(); ++i) {
    TEQAlgebra* member = population->Get(i);
    if (member == nullptr) continue;
    member->Description = AlgebraDescription(i).toStdString();
    WriteAlgebraFile(*member, base + Index(i) + QStringLiteral(".eqa"), failures);
  }
  ReportFailedWrites(*this, failures);
}

void TEQForm::ButtonQSavePopClick() {
  if (!CheckBoxQuickDir->isChecked()) return;
  const PopulationPtr population = BrowsedPopulation;
  // The directory is made only when there is something to write into it.
  if (!HasMembers(population.get())) return;
  const QuickDir dir = PrepareQuickDir(EditQuickDir->text());
  const QString path = dir.directory + TimeStamp(QDateTime::currentDateTime()) + QStringLiteral(".eqp");
  FailedWrites failures;
  if (dir.Ok()) {
    SavePopulationFile(path, population.get(), failures);
  } else {
    failures.push_back({path, dir.error});
  }
  ReportFailedWrites(*this, failures);
}

void TEQForm::ButtonQuickEClick() {
  if (!CheckBoxQuickDir->isChecked()) return;
  const PopulationPtr population = BrowsedPopulation;
  if (!HasMembers(population.get())) return;
  const QuickDir dir = PrepareQuickDir(EditQuickDir->text());
  FailedWrites failures;
  for (int i = 0; i < population->Count(); ++i) {
    TEQAlgebra* member = population->Get(i);
    if (member == nullptr) continue;
    // Each member takes the time of its own write.
    const QString path =
        dir.directory + TimeStamp(QDateTime::currentDateTime()) + u'_' + Index(i) + QStringLiteral(".eqa");
    if (!dir.Ok()) {
      failures.push_back({path, dir.error});
      continue;
    }
    member->Description = AlgebraDescription(i).toStdString();
    WriteAlgebraFile(*member, path, failures);
  }
  ReportFailedWrites(*this, failures);
}

void TEQForm::ButtonDumpClick() {
  const PopulationPtr population = BrowsedPopulation;
  if (population == nullptr) return;
  RichEditLog->ClearLog();
  RichEditLog->SetRedrawSuspended(true);
  ShowPopulationHeading(*this);
  for (int i = 0; i < population->Count(); ++i) {
    TEQAlgebra* member = population->Get(i);
    if (member == nullptr) continue;
    // The fitness logged is the stored one, before showing refreshes it.
    AppendMemberReport(*RichEditLog, i, *member);
    SpinEditMember->SetValue(i);
    SelectMember();
    // Showing runs window code; read the slot again rather than trust the old pointer.
    member = population->Get(i);
    if (member != nullptr && CheckBoxDumpProp->isChecked()) DumpPropertyLines(*RichEditLog, *member);
    RichEditLog->SetTextColor(kBlack);
  }
  RichEditLog->SetRedrawSuspended(false);
  SpinEditMember->SetValue(0);
  SelectMember();
}

bool TEQForm::ReportNewWinners() {
  if (Generations == nullptr) return true;
  const PopulationPtr winners = Generations->FWinners();
  if (winners == nullptr) return true;
  ShowPopulationHeading(*this);
  if (ReportedWinners == 0) {
    RichEditLog->ClearLog();
    const QString tada = FindTadaFile(environment_.current_directory);
    if (!tada.isEmpty() && CheckBoxTada->isChecked() && PlaySound) PlaySound(tada);
  }
  const QString quick_dir = WithTrailingSeparator(QString::fromStdString(Settings.QuickDir));
  const QString stamp = TimeStamp(RunStartTime);
  bool dir_tried = false;
  bool dir_ok = false;
  QString dir_error;
  FailedWrites failures;
  for (int i = ReportedWinners; i < winners->Count(); ++i) {
    TEQAlgebra* member = winners->Get(i);
    if (member == nullptr) continue;
    AppendMemberReport(*RichEditLog, i, *member, WinnerClassNote(i));
    RichEditLog->SetTextColor(kBlack);
    if (!CheckBoxAutoSave->isChecked()) continue;
    // The directory is made when the first file goes into it.
    if (!dir_tried) {
      dir_ok = CreateDirectory(quick_dir, &dir_error);
      dir_tried = true;
    }
    const QString base = quick_dir + QStringLiteral("autosave_") + stamp + u'_' + Index(i);
    if (dir_ok) {
      SaveAlgebraFiles(base, member, failures);
    } else {
      // Never fall back to the current directory.
      failures.push_back({base + QStringLiteral(".eqp"), dir_error});
      failures.push_back({base + QStringLiteral(".eqa"), dir_error});
    }
  }
  ReportedWinners = winners->Count();
  // During a run the log is where the user looks; a message box would hold
  // the run up. The winners stay in memory to be saved elsewhere.
  RichEditLog->SetTextColor(kRed);
  for (const FailedWrite& failure : failures) {
    RichEditLog->AppendLine(QStringLiteral("Autosave failed: ") + failure.path + QStringLiteral(": ") + failure.reason);
  }
  RichEditLog->SetTextColor(kBlack);
  return failures.empty();
}
