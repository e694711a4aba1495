// The autosave writer: both files of a winner, each complete under its name
// or absent, and every file it could not write listed with its reason.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "app/AlgebraFiles.h"
#include "HeadlessQtMain.h"
#include "model/Settings.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

// The three-element chain of the test data.
TEQAlgebra Chain() {
  TEQAlgebra algebra;
  algebra.FileName = VELMORA_TEST_DATA "/chain3.eqa";
  if (!algebra.ReadEQA()) qFatal("cannot read chain3.eqa");
  return algebra;
}

QByteArray DumpLine(const TEQAlgebra& algebra) {
  const std::string dump = algebra.DumpTables();
  return QByteArray(dump.data(), static_cast<qsizetype>(dump.size())) + "\r\n";
}

}  // namespace

class AlgebraFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { Settings = SearchSettings{}; }

  void BothFilesAreWrittenAndAnOldFileIsReplacedWhole() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.filePath(QStringLiteral("autosave_240506-070809010_0000"));
    {
      QFile old(base + QStringLiteral(".eqp"));  // longer than the dump: no tail may survive
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write(QByteArray(4096, 'x'));
    }
    TEQAlgebra algebra = Chain();
    FailedWrites failures;
    QVERIFY(SaveAlgebraFiles(base, &algebra, failures));
    QVERIFY(failures.empty());
    QCOMPARE(ReadAll(base + QStringLiteral(".eqp")), DumpLine(algebra));
    QCOMPARE(ReadAll(base + QStringLiteral(".eqa")), ReadAll(QStringLiteral(VELMORA_TEST_DATA "/chain3.eqa")));
    QCOMPARE(QString::fromStdString(algebra.FileName), base + QStringLiteral(".eqa"));
  }

  void ATablesFileTakenByADirectoryIsReportedAndTheEqaStillWritten() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.filePath(QStringLiteral("winner"));
    QVERIFY(QDir().mkdir(base + QStringLiteral(".eqp")));
    TEQAlgebra algebra = Chain();
    FailedWrites failures;
    QVERIFY(!SaveAlgebraFiles(base, &algebra, failures));
    QCOMPARE(failures.size(), size_t{1});
    QCOMPARE(failures[0].path, base + QStringLiteral(".eqp"));
    QCOMPARE(failures[0].reason, QStringLiteral("Is a directory"));
    QVERIFY(QFileInfo(base + QStringLiteral(".eqp")).isDir());
    // No temporary (a hidden file) stays beside them.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             QStringList({QStringLiteral("winner.eqa"), QStringLiteral("winner.eqp")}));
    QCOMPARE(ReadAll(base + QStringLiteral(".eqa")), ReadAll(QStringLiteral(VELMORA_TEST_DATA "/chain3.eqa")));
  }

  void AMissingDirectoryFailsBothFilesAndCreatesNothing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.filePath(QStringLiteral("gone/winner"));
    TEQAlgebra algebra = Chain();
    FailedWrites failures;
    QVERIFY(!SaveAlgebraFiles(base, &algebra, failures));
    QCOMPARE(failures.size(), size_t{2});
    QCOMPARE(failures[0].path, base + QStringLiteral(".eqp"));
    QCOMPARE(failures[0].reason, QStringLiteral("No such file or directory"));
    QCOMPARE(failures[1].path, base + QStringLiteral(".eqa"));
    QCOMPARE(failures[1].reason, QStringLiteral("No such file or directory"));
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
  }

  // The autosave's names are the program's: a link planted under one is
  // replaced and the file it names kept; a file chosen in a dialog is the
  // user's, and a link there is followed.
  void AutosavesReplaceAPlantedLinkAndDialogSavesFollowOne() {
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QFile precious(victim);
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.write("precious");
    precious.close();
    const QString base = dir.filePath(QStringLiteral("autosave_240506-070809010_0000"));
    QVERIFY(QFile::link(victim, base + QStringLiteral(".eqp")));
    QVERIFY(QFile::link(victim, base + QStringLiteral(".eqa")));
    TEQAlgebra algebra = Chain();
    FailedWrites failures;
    QVERIFY(SaveAlgebraFiles(base, &algebra, failures));
    QCOMPARE(ReadAll(victim), QByteArray("precious"));
    QVERIFY(!QFileInfo(base + QStringLiteral(".eqp")).isSymLink());
    QCOMPARE(ReadAll(base + QStringLiteral(".eqa")), ReadAll(QStringLiteral(VELMORA_TEST_DATA "/chain3.eqa")));

    const QString chosen = dir.filePath(QStringLiteral("chosen.eqa"));
    QVERIFY(QFile::link(victim, chosen));
    QVERIFY(WriteAlgebraFile(algebra, chosen, failures, LinkPolicy::kFollow));
    QVERIFY(QFileInfo(chosen).isSymLink());
    QCOMPARE(ReadAll(victim), ReadAll(QStringLiteral(VELMORA_TEST_DATA "/chain3.eqa")));
  }

  void NoAlgebraWritesNothing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FailedWrites failures;
    QVERIFY(SaveAlgebraFiles(dir.filePath(QStringLiteral("none")), nullptr, failures));
    QVERIFY(failures.empty());
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
  }
};

VELMORA_HEADLESS_TEST_MAIN(AlgebraFilesTest)
#include "AlgebraFilesTest.moc"
