#include "app/FileNames.h"

#include <unistd.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "model/FreshFile.h"

namespace {

constexpr char16_t kSeparator = u'/';

bool IsTrimmed(QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; }

}  // namespace

QString StripExtension(const QString& name) {
  const qsizetype last_separator = name.lastIndexOf(kSeparator);
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot < 0 || dot < last_separator) return name;
  return name.left(dot);
}

QString TimeStamp(const QDateTime& time) {
  // Explicit fields rather than a locale-dependent format string.
  const QDate date = time.date();
  const QTime clock = time.time();
  auto two = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
  return two(date.year() % 100) + two(date.month()) + two(date.day()) + u'-' + two(clock.hour()) +
         two(clock.minute()) + two(clock.second()) + QStringLiteral("%1").arg(clock.msec(), 3, 10, QLatin1Char('0'));
}

QString WithTrailingSeparator(const QString& directory) {
  if (directory.isEmpty() || directory.endsWith(kSeparator)) return directory;
  return directory + kSeparator;
}

bool CreateDirectory(const QString& directory, QString* error) {
  auto fail = [&](const QString& reason) {
    if (error) *error = reason;
    return false;
  };
  const QString generic = QStringLiteral("Unable to create directory");
  if (directory.isEmpty()) return fail(generic);
  if (QFileInfo(directory).isDir()) return true;
  if (QDir().mkpath(directory)) return true;
  // Name what stands in the way when it is something other than a directory.
  QString path = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
  while (!path.isEmpty() && !QFileInfo::exists(path)) {
    const qsizetype slash = path.lastIndexOf(kSeparator);
    path = slash > 0 ? path.left(slash) : QString();
  }
  if (!path.isEmpty() && !QFileInfo(path).isDir()) return fail(generic + QStringLiteral(": ") + path + QStringLiteral(" is not a directory"));
  return fail(generic);
}

QuickDir PrepareQuickDir(const QString& edit_text) {
  qsizetype begin = 0;
  qsizetype end = edit_text.size();
  while (begin < end && IsTrimmed(edit_text.at(begin))) ++begin;
  while (end > begin && IsTrimmed(edit_text.at(end - 1))) --end;
  QuickDir result;
  result.directory = WithTrailingSeparator(edit_text.mid(begin, end - begin));
  CreateDirectory(result.directory, &result.error);
  return result;
}

bool HoldsQuickSaves(const QString& directory) {
  const QDir folder(directory);
  const QStringList entries = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  if (entries.isEmpty()) return true;
  for (const QString& name : entries) {
    if (name == QStringLiteral("stats.txt") || name.endsWith(QStringLiteral(".eqa")) ||
        name.endsWith(QStringLiteral(".eqp"))) {
      return true;
    }
  }
  return false;
}

bool OpenFreshFile(QFile& file, const QString& path, QString* reason) {
  std::string why;
  const int fd = OpenFreshFile(ToFilePath(path), &why);
  if (fd >= 0 && file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) return true;
  if (fd >= 0) {
    close(fd);
    why = file.errorString().toStdString();
  }
  if (reason != nullptr) *reason = FromFilePath(why);
  return false;
}

std::string ToFilePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromFilePath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
