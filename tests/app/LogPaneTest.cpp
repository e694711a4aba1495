// The log pane: coloured lines, clearing, and the report file.
#include <QFile>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Colours.h"
#include "HeadlessQtMain.h"
#include "app/LogPane.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

}  // namespace

class LogPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void ViewIsAFixedPitchReadOnlyPaneWithoutWrap() {
    LogPane log;
    QVERIFY(log.isReadOnly());
    QCOMPARE(log.font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QCOMPARE(log.lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(log.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(log.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(log.Lines(), QStringList());
  }

  void EachLineKeepsTheColourCurrentWhenItWasAppended() {
    LogPane log;
    log.AppendLine(QStringLiteral("plain"));  // black until a colour is set
    log.SetTextColor(kGreen);
    log.AppendLine(QStringLiteral("0000: 1"));
    log.SetTextColor(kRed);
    log.AppendLine(QStringLiteral("0001: 0.5"));
    log.AppendLine(QString());
    log.SetTextColor(kBlack);
    log.AppendLine(QStringLiteral("end"));
    QCOMPARE(log.Lines(), QStringList({"plain", "0000: 1", "0001: 0.5", "", "end"}));
    QCOMPARE(log.LineColor(0), kBlack);
    QCOMPARE(log.LineColor(1), kGreen);
    QCOMPARE(log.LineColor(2), kRed);
    QCOMPARE(log.LineColor(3), kRed);  // an empty line has its colour too
    QCOMPARE(log.LineColor(4), kBlack);
    QVERIFY(!log.LineColor(5).isValid());
    QVERIFY(!log.LineColor(-1).isValid());
  }

  void TextWithLineBreaksBecomesOneLinePerLine() {
    LogPane log;
    log.SetTextColor(kRed);
    // A table dump: CR LF line ends, a line of one blank between the blocks,
    // trailing blanks kept, and no empty line for the final break.
    log.AppendLine(QStringLiteral("  ^ 0 1      \r\n  -|----     \r\n \r\n  0|0 0 \r\n"));
    log.SetTextColor(kGreen);
    log.AppendLine(QStringLiteral("a\nb"));
    QCOMPARE(log.Lines(), QStringList({"  ^ 0 1      ", "  -|----     ", " ", "  0|0 0 ", "a", "b"}));
    for (int line = 0; line < 4; ++line) QCOMPARE(log.LineColor(line), kRed);
    QCOMPARE(log.LineColor(4), kGreen);
    QCOMPARE(log.LineColor(5), kGreen);
  }

  void ClearingEmptiesTheLog() {
    LogPane log;
    log.AppendLine(QStringLiteral("one\r\ntwo"));
    log.ClearLog();
    QCOMPARE(log.Lines(), QStringList());
    QVERIFY(!log.LineColor(0).isValid());
    log.AppendLine(QString());
    QCOMPARE(log.Lines(), QStringList({""}));  // one empty line is not an empty log
    log.ClearLog();
    log.SetTextColor(kGreen);
    log.AppendLine(QStringLiteral("first"));
    QCOMPARE(log.Lines(), QStringList({"first"}));
    QCOMPARE(log.LineColor(0), kGreen);
  }

  void SuspendingRedrawKeepsAppending() {
    LogPane log;
    log.SetRedrawSuspended(true);
    QVERIFY(!log.updatesEnabled());
    log.AppendLine(QStringLiteral("x"));
    log.SetRedrawSuspended(false);
    QVERIFY(log.updatesEnabled());
    QCOMPARE(log.Lines(), QStringList({"x"}));
  }

  void TheLogFollowsItsLastLineAlsoAfterASuspendedRedraw() {
    LogPane log;
    log.resize(300, 120);
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    QScrollBar* bar = log.verticalScrollBar();
    log.AppendLine(QStringLiteral("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\nq\nr\ns\nt"));
    QCOMPARE(log.Lines().size(), 20);  // readers see the lines at once
    QCoreApplication::processEvents();  // the view follows at the next event pass
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // Resuming without new lines leaves the view where the user put it.
    bar->setValue(0);
    log.SetRedrawSuspended(true);
    log.SetRedrawSuspended(false);
    QCOMPARE(bar->value(), 0);

    bar->setValue(0);
    log.SetRedrawSuspended(true);
    for (int i = 0; i < 30; ++i) log.AppendLine(QString::number(i));
    log.SetRedrawSuspended(false);
    QCOMPARE(bar->value(), bar->maximum());
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(log.Lines().size(), 50);
    QCOMPARE(log.Lines().last(), QStringLiteral("29"));
  }

  void ReportHoldsTheLinesSeparatedByCrLf() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LogPane log;
    log.SetTextColor(kGreen);
    log.AppendLine(QStringLiteral("0000: 1\r\n  ^ 0 1 \r\n \r\n"));
    log.SetTextColor(kRed);
    log.AppendLine(QStringLiteral("Non-Goodness: 3/4, Errors: 1"));
    const QString path = dir.filePath(QStringLiteral("report.txt"));
    QString error = QStringLiteral("untouched");
    QVERIFY(log.SaveReport(path, &error));
    QCOMPARE(error, QStringLiteral("untouched"));
    QCOMPARE(ReadAll(path), QByteArray("0000: 1\r\n  ^ 0 1 \r\n \r\nNon-Goodness: 3/4, Errors: 1"));

    LogPane empty;
    QVERIFY(empty.SaveReport(path, nullptr));
    QCOMPARE(ReadAll(path), QByteArray());
  }

  void ReportThatCannotBeCreatedGivesTheReason() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    LogPane log;
    log.AppendLine(QStringLiteral("line"));
    QString error;
    QVERIFY(!log.SaveReport(blocker + QStringLiteral("/report.txt"), &error));
    QVERIFY2(!error.isEmpty(), "a failed report must say why");
    QVERIFY(!QFile::exists(blocker + QStringLiteral("/report.txt")));
  }
};

VELMORA_HEADLESS_TEST_MAIN(LogPaneTest)
#include "LogPaneTest.moc"
