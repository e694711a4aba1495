#include "app/NumberText.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The dot of a C-formatted number becomes the locale's decimal separator.
// QString::number is used throughout: it ignores the C library's locale,
// which the application sets from the environment.
QString Localised(QString text) {
  const QString point = QLocale().decimalPoint();
  if (point != QStringLiteral(".")) text.replace(u'.', point);
  return text;
}

}  // namespace

QString GeneralNumber(double value) {
  return Localised(QString::number(value, 'g', 15));
}

QString FixedNumber(double value, int decimals, int significant) {
  // Rounding to the significant digits first, through a text, gives the two
  // roundings exactly as described rather than at the mercy of binary fractions.
  const double rounded = QString::number(value, 'e', significant - 1).toDouble();
  return Localised(QString::number(rounded, 'f', decimals));
}

QString TimeSeparator() {
  const QString format = QLocale().timeFormat(QLocale::ShortFormat);
  const qsizetype hour = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
  if (hour < 0) return QStringLiteral(":");
  qsizetype i = hour;
  while (i < format.size() && (format.at(i) == u'h' || format.at(i) == u'H')) ++i;
  qsizetype end = i;
  while (end < format.size() && format.at(end) != u'm') ++end;
  const QString separator = format.mid(i, end - i);
  return separator.isEmpty() ? QStringLiteral(":") : separator;
}
