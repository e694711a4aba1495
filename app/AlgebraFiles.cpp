#include "AlgebraFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "Colours.h"
#include "FileNames.h"
#include "LogPane.h"
#include "NumberText.h"
#include "Formatting.h"
#include "Settings.h"

namespace {

const QByteArray kLineBreak("\r\n");

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The algebra writer reports only success, so ask the file system why. A
// probe that unexpectedly succeeds leaves no empty file behind.
QString ReasonForFailedWrite(const QString& path) {
  const bool existed = QFileInfo::exists(path);
  QFile probe(path);
  if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) return probe.errorString();
  probe.close();
  if (!existed) QFile::remove(path);
  return QStringLiteral("the file could not be written");
}

bool WriteBytes(const QString& path, const QByteArray& bytes, FailedWrites& failures) {
  // Written aside and renamed at the end: a failed write keeps the old file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    failures.push_back({path, file.errorString()});
    return false;
  }
  return true;
}

// The autosave files carry the run's time stamp in their names, so there is
// no old file to keep safe: a plain write spares the sync to disk that a
// replace-safely write makes for every file. A file this write created is
// not left half-written.
bool WriteNewBytes(const QString& path, const QByteArray& bytes, FailedWrites& failures) {
  const QFileInfo info(path);
  if (info.isDir()) {
    // Worded as for the files the user saves explicitly.
    failures.push_back({path, QStringLiteral("Filename refers to a directory")});
    return false;
  }
  const bool existed = info.exists();
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush()) {
    return true;
  }
  failures.push_back({path, file.errorString()});
  if (file.isOpen() && !existed) file.remove();
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

bool SavePopulationFile(const QString& path, const TEQPopulation* population, FailedWrites& failures) {
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
  return WriteBytes(path, bytes, failures);
}

bool WriteAlgebraFile(TEQAlgebra& algebra, const QString& path, FailedWrites& failures) {
  algebra.FileName = ToFilePath(path);
  if (algebra.WriteEQA()) return true;
  failures.push_back({path, ReasonForFailedWrite(path)});
  return false;
}

bool SaveAlgebraFiles(const QString& base, TEQAlgebra* algebra, FailedWrites& failures) {
  if (algebra == nullptr) return true;
  const bool tables = WriteNewBytes(base + QStringLiteral(".eqp"), DumpBytes(*algebra), failures);
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
