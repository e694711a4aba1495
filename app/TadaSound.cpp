#include "app/TadaSound.h"

#include <QCoreApplication>
#include <QDir>
#include <QSoundEffect>
#include <QUrl>

QString FindTadaFile(const QString& directory) {
  if (directory.isEmpty()) return {};
  const QDir dir(directory);
  // Sorted by name so the choice among "Tada.wav" and "tada.wav" is stable.
  const QStringList names = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
  for (const QString& name : names) {
    if (name.compare(QStringLiteral("tada.wav"), Qt::CaseInsensitive) == 0) return dir.filePath(name);
  }
  return {};
}

void PlayWaveFile(const QString& path) {
  // One effect for the whole program, parented to the application so it
  // outlives the call and goes with the program.
  static QSoundEffect* effect = nullptr;
  static bool pending = false;
  if (effect == nullptr) {
    effect = new QSoundEffect(QCoreApplication::instance());
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [] {
      if (effect->status() == QSoundEffect::Ready && pending) {
        pending = false;
        effect->play();
      }
    });
  }
  const QUrl source = QUrl::fromLocalFile(path);
  if (effect->source() == source && effect->status() == QSoundEffect::Ready) {
    effect->play();
    return;
  }
  // Loading is asynchronous: play once the file is ready; a file that fails
  // to load stays silent.
  pending = true;
  effect->setSource(source);
}
