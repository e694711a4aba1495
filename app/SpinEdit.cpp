#include "app/SpinEdit.h"

#include <QLineEdit>
#include <algorithm>

SpinEdit::SpinEdit(int minimum, int maximum, int value, QWidget* parent) : QSpinBox(parent) {
  setRange(minimum, maximum);
  setValue(value);
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  setAccelerated(true);
  connect(this, &QSpinBox::valueChanged, this, &SpinEdit::Changed);
}

void SpinEdit::SetPermissive(bool permissive) {
  if (permissive == permissive_) return;
  permissive_ = permissive;
  // The text is read where it is used, so each edit counts at once, and the
  // commit counts even when the committed value equals the previous one.
  if (permissive_) {
    connect(lineEdit(), &QLineEdit::textEdited, this, &SpinEdit::Changed);
    connect(this, &QAbstractSpinBox::editingFinished, this, &SpinEdit::Changed);
  } else {
    disconnect(lineEdit(), &QLineEdit::textEdited, this, &SpinEdit::Changed);
    disconnect(this, &QAbstractSpinBox::editingFinished, this, &SpinEdit::Changed);
  }
}

int SpinEdit::TextAsInteger(int fallback) const {
  bool ok = false;
  const int value = text().trimmed().toInt(&ok, 10);
  return ok ? value : fallback;
}

QValidator::State SpinEdit::validate(QString& input, int& /*position*/) const {
  if (permissive_) return QValidator::Acceptable;
  // Digits and one leading sign only; an out-of-range number stays as typed
  // until it is committed and clamped.
  for (qsizetype i = 0; i < input.size(); ++i) {
    const QChar c = input.at(i);
    const bool sign = i == 0 && (c == u'-' || c == u'+');
    if (!c.isDigit() && !sign && !c.isSpace()) return QValidator::Invalid;
  }
  return QValidator::Acceptable;
}

int SpinEdit::valueFromText(const QString& text) const {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok, 10);
  if (!ok) return minimum();
  return static_cast<int>(std::clamp<qlonglong>(value, minimum(), maximum()));
}

void SpinEdit::fixup(QString& input) const {
  bool ok = false;
  input.trimmed().toLongLong(&ok, 10);
  if (!ok) input = QString::number(minimum());
}
