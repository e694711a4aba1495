// Names of the files the window writes, the quick-save directory and the
// look-up of the sound file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "app/FileNames.h"
#include "HeadlessQtMain.h"
#include "app/TadaSound.h"

namespace {

bool Touch(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly);
}

}  // namespace

class FileNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void StripExtensionLooksOnlyAtTheLastComponent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("extension") << "pop.txt" << "pop";
    QTest::newRow("no extension") << "pop" << "pop";
    QTest::newRow("dotted directory") << "/x/a.b/pop" << "/x/a.b/pop";
    QTest::newRow("dotted directory and extension") << "/x/a.b/pop.txt" << "/x/a.b/pop";
    QTest::newRow("only the last dot") << "/out/a.tar.gz" << "/out/a.tar";
    QTest::newRow("trailing dot") << "/out/pop." << "/out/pop";
    QTest::newRow("name that is an extension") << "/out/.eqa" << "/out/";
    QTest::newRow("empty") << "" << "";
  }
  void StripExtensionLooksOnlyAtTheLastComponent() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(StripExtension(name), expected);
  }

  void TimeStampHasSixteenZeroPaddedCharacters_data() {
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("expected");
    QTest::newRow("small fields") << QDateTime(QDate(2024, 3, 7), QTime(9, 5, 4, 7)) << "240307-090504007";
    QTest::newRow("large fields") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999)) << "991231-235959999";
    QTest::newRow("midnight of a new century") << QDateTime(QDate(2100, 1, 1), QTime(0, 0)) << "000101-000000000";
  }
  void TimeStampHasSixteenZeroPaddedCharacters() {
    QFETCH(QDateTime, time);
    QFETCH(QString, expected);
    QCOMPARE(TimeStamp(time), expected);
    QCOMPARE(TimeStamp(time).size(), 16);
  }

  void QuickDirIsTrimmedGivenASeparatorAndCreated() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString target = temp.filePath(QStringLiteral("deep/EQ"));
    QVERIFY(!QFileInfo::exists(target));

    const QuickDir blanks = PrepareQuickDir(QStringLiteral("   ") + target + QStringLiteral("  "));
    QCOMPARE(blanks.directory, target + u'/');
    QVERIFY(blanks.Ok());
    QVERIFY(QFileInfo(target).isDir());

    const QuickDir controls = PrepareQuickDir(QStringLiteral("\t\x01") + target + QStringLiteral("/\r\n"));
    QCOMPARE(controls.directory, target + u'/');  // no second separator
    QVERIFY(controls.Ok());
  }

  void QuickDirFailuresSayWhy() {
    QuickDir empty = PrepareQuickDir(QString());
    QCOMPARE(empty.directory, QString());
    QCOMPARE(empty.error, QStringLiteral("Unable to create directory"));
    QVERIFY(!empty.Ok());
    QuickDir blank = PrepareQuickDir(QStringLiteral(" \t "));
    QCOMPARE(blank.directory, QString());
    QCOMPARE(blank.error, QStringLiteral("Unable to create directory"));

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString blocker = temp.filePath(QStringLiteral("file"));
    QVERIFY(Touch(blocker));
    const QuickDir below_file = PrepareQuickDir(blocker + QStringLiteral("/sub"));
    QCOMPARE(below_file.directory, blocker + QStringLiteral("/sub/"));
    QCOMPARE(below_file.error, QStringLiteral("Unable to create directory: ") + blocker + QStringLiteral(" is not a directory"));

    QString error;
    QVERIFY(!CreateDirectory(blocker, &error));
    QCOMPARE(error, QStringLiteral("Unable to create directory: ") + blocker + QStringLiteral(" is not a directory"));
    QVERIFY(CreateDirectory(temp.path(), &error));  // an existing directory is fine
  }

  void TadaFileIsFoundWhateverTheCaseOfItsName() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    QCOMPARE(FindTadaFile(temp.path()), QString());
    QVERIFY(Touch(temp.filePath(QStringLiteral("tada.wav.bak"))));
    QVERIFY(QDir(temp.path()).mkdir(QStringLiteral("tada.wav")));  // a directory is no sound
    QCOMPARE(FindTadaFile(temp.path()), QString());

    QTemporaryDir other;
    QVERIFY(other.isValid());
    QVERIFY(Touch(other.filePath(QStringLiteral("TaDa.WAV"))));
    QCOMPARE(FindTadaFile(other.path()), other.filePath(QStringLiteral("TaDa.WAV")));
    QCOMPARE(FindTadaFile(QString()), QString());
  }
};

VELMORA_HEADLESS_TEST_MAIN(FileNamesTest)
#include "FileNamesTest.moc"
