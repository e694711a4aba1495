#pragma once
// A Qt Test main that never needs a display or a sound device: the offscreen
// platform, and a private runtime directory of mode 0700 (Qt warns about, and
// some plugins refuse, anything else).

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#define VELMORA_HEADLESS_TEST_MAIN(TestClass)                                        \
  int main(int argc, char** argv) {                                                  \
    qputenv("QT_QPA_PLATFORM", "offscreen");                                         \
    QTemporaryDir runtime_dir(QDir::tempPath() + QStringLiteral("/velmora-xdg-XXXXXX")); \
    if (runtime_dir.isValid()) {                                                     \
      QFile::setPermissions(runtime_dir.path(), QFileDevice::ReadOwner |             \
                                                    QFileDevice::WriteOwner |        \
                                                    QFileDevice::ExeOwner);          \
      qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_dir.path()));             \
    }                                                                                \
    QApplication app(argc, argv);                                                    \
    app.setAttribute(Qt::AA_Use96Dpi, true);                                         \
    TestClass test;                                                                  \
    return QTest::qExec(&test, argc, argv);                                          \
  }
