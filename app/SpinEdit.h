#pragma once
// SpinEdit: the window's integer spin edit. Assigning a value clamps it to
// the range; Changed fires only when the shown value actually changes, also
// when the program changes it. Typed text is committed when editing finishes
// (Enter, focus out) or an arrow or the wheel steps the value, never per
// keystroke; text that is not a number then reads as the minimum.

#include <QSpinBox>

class QLineEdit;

class SpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  SpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

  int Value() const { return value(); }
  void SetValue(int value) { setValue(value); }
  void SetRange(int minimum, int maximum) { setRange(minimum, maximum); }

  // Any text may be typed, and every edit by the user fires Changed at once
  // (the member spin edit: its text is read where it is used).
  void SetPermissive(bool permissive);
  bool Permissive() const { return permissive_; }

  // The shown text read as a decimal integer; fallback when it is not one.
  int TextAsInteger(int fallback) const;

  QLineEdit* Editor() const { return lineEdit(); }

 signals:
  void Changed();

 protected:
  QValidator::State validate(QString& input, int& position) const override;
  int valueFromText(const QString& text) const override;
  void fixup(QString& input) const override;

 private:
  bool permissive_ = false;
};
