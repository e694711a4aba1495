#include "app/AlgebraFiles.h"

#include <string>
#include <string_view>

#include "model/AtomicFile.h"
#include "app/Colours.h"
#include "app/FileNames.h"
#include "app/LogPane.h"
#include "app/NumberText.h"
#include "model/Formatting.h"
#include "model/Settings.h"

namespace {

const QByteArray kLineBreak("\r\n");

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Every file goes through a temporary beside it and is renamed into place
// only when complete: a failed write leaves the previous file, or no file.
// A file the user chose may replace one worth keeping, so it is synced to
// disk first; the autosave's files carry the run's time stamp in their names
// and spare the sync (one per file would slow a run down).
bool WriteBytes(const QString& path, const QByteArray& bytes, FileSync sync, LinkPolicy links,
                FailedWrites& failures) {
  std::string reason;
  if (WriteFileAtomically(ToFilePath(path), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                          &reason, sync, links)) {
    return true;
  }
  failures.push_back({path, QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size()))});
  return false;
}

QByteArray DumpBytes(const TEQAlgebra& algebra) {
  const std::string dump = algebra.DumpTables();
  return QByteArray(dump.data(), static_cast<qsizetype>(dump.size())) + kLineBreak;
}

}  // namespace

QString FailedWritesMessage(const FailedWrites& failures) {
  QString text = QStringLiteral("These files were not written:");
  for (const FailedWrite& failure : failures) text += u'\n' + failure.path + QStringLiteral(": ") + failure.reason;
  return text;
}

bool SavePopulationFile(const QString& path, const TEQPopulation* population, FailedWrites& failures,
                        LinkPolicy links) {
  if (population == nullptr) return true;
  QByteArray bytes;
  bool any_member = false;
  for (int i = 0; i < population->Count(); ++i) {
    const TEQAlgebra* member = population->Get(i);
    if (member == nullptr) continue;
    bytes += DumpBytes(*member);
    any_member = true;
  }
  if (!any_member) return true;
  return WriteBytes(path, bytes, FileSync::kToDisk, links, failures);
}

bool WriteAlgebraFile(TEQAlgebra& algebra, const QString& path, FailedWrites& failures, LinkPolicy links) {
  algebra.FileName = ToFilePath(path);
  std::string reason;
  if (algebra.WriteEQA(&reason, links == LinkPolicy::kFollow)) return true;
  failures.push_back({path, QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size()))});
  return false;
}

bool SaveAlgebraFiles(const QString& base, TEQAlgebra* algebra, FailedWrites& failures) {
  if (algebra == nullptr) return true;
  const bool tables = WriteBytes(base + QStringLiteral(".eqp"), DumpBytes(*algebra), FileSync::kNone, LinkPolicy::kReplace, failures);
  const bool eqa = WriteAlgebraFile(*algebra, base + QStringLiteral(".eqa"), failures);
  return tables && eqa;
}

QString FitnessText(double fitness) { return GeneralNumber(fitness); }

void AppendMemberReport(LogPane& log, int index, const TEQAlgebra& member, const QString& note) {
  log.SetTextColor(member.Fitness == 1.0 ? kGreen : kRed);
  const QString heading =
      QString::fromStdString(FormatIndex(index)) + QStringLiteral(": ") + FitnessText(member.Fitness) + note;
  const std::string dump = member.DumpTables();
  if (dump.empty()) {
    log.AppendLine(heading);
    log.AppendLine(QString());  // an empty dump still takes its (empty) line
    return;
  }
  // One append for both: the log lays itself out once.
  log.AppendLine(heading + u'\n' + Latin1(dump));
}

void DumpPropertyLines(LogPane& log, const TEQAlgebra& algebra) {
  for (int k = 0; k < kPropertyCount; ++k) {
    const std::string_view name = algebra.PropertyNames[static_cast<size_t>(k)];
    if (!Settings.MaximumEnabled && (name == "Lattice" || name == "Prelinear")) continue;
    const PropertyResult& result = algebra.PropertyResults[static_cast<size_t>(k)];
    const QString counts = QString::number(result.Passed) + u'/' + QString::number(result.Total);
    if (result.Total > result.Passed) {
      log.SetTextColor(kRed);
      log.AppendLine(QStringLiteral("Non-") + Latin1(name) + QStringLiteral(": ") + counts +
                     QStringLiteral(", Errors: ") + QString::number(result.Total - result.Passed));
    } else {
      log.SetTextColor(kGreen);
      log.AppendLine(Latin1(name) + QStringLiteral(": ") + counts + QStringLiteral(" OK"));
    }
  }
  log.AppendLine(QString(60, u'-'));
}
