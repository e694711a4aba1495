#pragma once
// A main window in a temporary directory whose dialogs, message boxes and
// sound are replaced by recorders, plus small algebras read from EQA text.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <utility>
#include <vector>

#include "model/EQAlgebra.h"
#include "genetic/EQPopulation.h"
#include "model/IniFile.h"
#include "app/VelmoraForm.h"

namespace files_fixture {

// The chain 0 < a < 1 with infimum and product the minimum, a ~ 1 = a,
// 0 ~ a = 0 ~ 1 = 0, as its EQA file (lines ending in CR LF).
inline QByteArray ChainText(const QByteArray& description = "Algebra_0000", char a_times_a = 'a') {
  QByteArray text = description + "\r\n3\r\n0 a 1\r\n3\r\n0 a 0\r\n0 1 0\r\na 1 a\r\n9\r\n0 0 0\r\n0 a 0\r\n"
                                  "0 1 0\r\na 0 0\r\na a ";
  text += a_times_a;
  text += "\r\na 1 a\r\n1 0 0\r\n1 a a\r\n1 1 1\r\n3\r\n0 a 0\r\n0 1 0\r\na 1 a\r\n";
  return text;
}

// The EQA text less its first line (the description).
inline QByteArray WithoutFirstLine(const QByteArray& text) { return text.mid(text.indexOf("\r\n") + 2); }

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing " + path.toUtf8() + ">";
  return file.readAll();
}

inline QByteArray Dump(const TEQAlgebra& algebra) {
  const std::string dump = algebra.DumpTables();
  return QByteArray(dump.data(), static_cast<qsizetype>(dump.size()));
}

struct Fixture {
  QTemporaryDir dir;
  std::unique_ptr<TEQForm> form;
  std::vector<std::pair<QString, QString>> messages;  // title, text
  QStringList replace_questions;  // asked before a save replaced files; each answered yes
  QStringList sounds;
  QString open_answer;  // what the open dialog answers ("" = cancel)
  QString save_answer;  // what the save dialog answers ("" = cancel)

  Fixture() {
    // The quick-save directory and the INI file live in the temporary
    // directory, so start-up writes nothing elsewhere.
    IniFile ini;
    ini.Set("Log", "QuickDirPath", QFile::encodeName(Path("quick")).toStdString());
    ini.Set("GA properties", "Population limit", "10");
    ini.Save(QFile::encodeName(Path("Velmora.ini")).toStdString());
    form = std::make_unique<TEQForm>(TEQForm::Environment{Path("Velmora.ini"), dir.path(), dir.path(), {}});
    form->ShowMessage = [this](const QString& title, const QString& text) { messages.emplace_back(title, text); };
    form->AskReplace = [this](const QString& question) {
      replace_questions << question;
      return true;
    };
    // The files not written arrive as one text, the whole list.
    form->ShowFailedWrites = [this](const QString& title, const FailedWrites& failures) {
      messages.emplace_back(title, FailedWritesMessage(failures));
    };
    form->PlaySound = [this](const QString& wav) { sounds.append(wav); };
    form->AskOpenFileName = [this] { return open_answer; };
    form->AskSaveFileName = [this] { return save_answer; };
  }

  QString Path(const QString& name) const { return dir.filePath(name); }

  // An algebra read from EQA text through a file (nullptr when it does not read).
  std::unique_ptr<TEQAlgebra> Algebra(const QByteArray& text, double fitness) const {
    const QString path = Path(QStringLiteral("source.tmp"));
    if (!WriteFile(path, text)) return nullptr;
    auto algebra = std::make_unique<TEQAlgebra>();
    algebra->FileName = QFile::encodeName(path).toStdString();
    if (!algebra->ReadEQA()) return nullptr;
    QFile::remove(path);
    algebra->FileName.clear();
    algebra->Fitness = fitness;
    return algebra;
  }

  // The files of a directory, sorted by name.
  QStringList Files(const QString& directory) const {
    return QDir(directory).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  }
};

}  // namespace files_fixture
