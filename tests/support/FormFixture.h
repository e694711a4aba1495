#pragma once
// A main window on a temporary directory for the window tests: its own
// settings file, quick-save directory and current directory; message boxes,
// dialogs and the sound replaced by recorders (no sound object is ever made).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "genetic/EQGenerations.h"
#include "model/Settings.h"
#include "app/VelmoraForm.h"

struct FormFixture {
  QTemporaryDir dir;
  std::unique_ptr<TEQForm> form;
  QStringList message_titles;
  QStringList message_texts;
  QStringList sounds;
  QStringList replace_questions;  // asked before a save replaced files; each answered yes

  QString Path(const QString& name) const { return dir.filePath(name); }
  QString IniPath() const { return Path(QStringLiteral("Velmora.ini")); }
  QString QuickDir() const { return Path(QStringLiteral("quick")); }

  // Writes the settings file: the lines given, joined by CR LF.
  void WriteIni(const QStringList& lines) const {
    QFile file(IniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write the settings file");
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
  }

  // The lines most tests start from: the quick-save directory inside the temporary directory.
  QStringList QuickDirLines() const {
    return {QStringLiteral("[Log]"), QStringLiteral("QuickDirPath=") + QuickDir()};
  }

  // A fresh window: the process-wide settings and GA state start from their
  // defaults, as they do when the program starts.
  TEQForm& Create(const QString& settings_file = QString(), TFormStats* stats = nullptr) {
    form.reset();
    Settings = SearchSettings{};
    GA = GAStatus{};
    TEQForm::Environment environment;
    environment.settings_file = settings_file.isEmpty() ? IniPath() : settings_file;
    environment.executable_directory = dir.path();
    environment.current_directory = dir.path();
    environment.show_message = [this](const QString& title, const QString& text) {
      message_titles << title;
      message_texts << text;
    };
    form = std::make_unique<TEQForm>(environment, stats);
    form->AskOpenFileName = [] { return QString(); };
    form->AskSaveFileName = [] { return QString(); };
    form->PlaySound = [this](const QString& wav) { sounds << wav; };
    form->AskReplace = [this](const QString& question) {
      replace_questions << question;
      return true;
    };
    return *form;
  }

  static QString ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("<missing>");
    return QString::fromLatin1(file.readAll());
  }
};

// The test's main: headless, a private runtime directory, and a home
// directory of its own so no default path reaches the user's files.
#define VELMORA_FORM_TEST_MAIN(TestClass)                                              \
  int main(int argc, char** argv) {                                                    \
    QTemporaryDir runtime_dir;                                                         \
    QFile::setPermissions(runtime_dir.path(),                                          \
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);     \
    qputenv("XDG_RUNTIME_DIR", runtime_dir.path().toLocal8Bit());                      \
    qputenv("HOME", runtime_dir.path().toLocal8Bit());                                 \
    qputenv("QT_QPA_PLATFORM", "offscreen");                                           \
    QApplication application(argc, argv);                                             \
    TestClass test;                                                                    \
    return QTest::qExec(&test, argc, argv);                                            \
  }
