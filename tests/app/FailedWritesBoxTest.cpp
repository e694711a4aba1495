// The box that lists the files a save could not write fits a 1280 x 800
// screen however many files failed, and still offers every one of them.
#include <QAbstractButton>
#include <QMessageBox>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "app/FailedWritesBox.h"
#include "FormFixture.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;

FailedWrites ManyFailures(int count) {
  FailedWrites failures;
  for (int i = 0; i < count; ++i) {
    failures.push_back({QStringLiteral("/srv/results/unwritable/run%1.eqa").arg(i, 4, 10, QLatin1Char('0')),
                        QStringLiteral("Permission denied")});
  }
  return failures;
}

bool Fits(const QWidget& box) { return box.width() <= kScreenWidth && box.height() <= kScreenHeight; }

QAbstractButton* DetailsButton(QMessageBox& box) {
  for (QAbstractButton* button : box.buttons()) {
    if (box.buttonRole(button) == QMessageBox::ActionRole) return button;
  }
  return nullptr;
}

}  // namespace

class FailedWritesBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void theSummaryNamesTheFirstFewAndCountsTheRest() {
    QCOMPARE(FailedWritesSummary(ManyFailures(1)),
             QStringLiteral("1 file was not written:\n/srv/results/unwritable/run0000.eqa: Permission denied"));
    const QString summary = FailedWritesSummary(ManyFailures(180));
    QStringList lines = summary.split(u'\n');
    QCOMPARE(lines.size(), 2 + kFailuresInSummary);
    QCOMPARE(lines.first(), QStringLiteral("180 files were not written:"));
    QCOMPARE(lines[3], QStringLiteral("/srv/results/unwritable/run0002.eqa: Permission denied"));
    QCOMPARE(lines.last(), QStringLiteral("… and 177 more: see the details."));
  }

  void aLongListFitsTheScreenFoldedAndUnfolded() {
    const FailedWrites failures = ManyFailures(180);
    const std::unique_ptr<QMessageBox> box = MakeFailedWritesBox(nullptr, QStringLiteral("Velmora"), failures);
    QCOMPARE(box->detailedText(), FailedWritesMessage(failures));
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QVERIFY2(Fits(*box), qPrintable(QStringLiteral("%1 x %2").arg(box->width()).arg(box->height())));

    QAbstractButton* details = DetailsButton(*box);
    QVERIFY(details != nullptr);
    details->click();
    QCoreApplication::processEvents();
    auto* list = box->findChild<QTextEdit*>();
    QVERIFY(list != nullptr && list->isVisible());
    QVERIFY2(Fits(*box), qPrintable(QStringLiteral("%1 x %2").arg(box->width()).arg(box->height())));
    QCOMPARE(list->toPlainText().count(u'\n'), 180);
  }

  void aFewFailuresNeedNoDetails() {
    const std::unique_ptr<QMessageBox> box = MakeFailedWritesBox(nullptr, QStringLiteral("Velmora"), ManyFailures(3));
    QVERIFY(box->detailedText().isEmpty());
    QCOMPARE(box->text().count(u'\n'), 3);
  }

  // Through the window: saving a population of 180 members as EQA files
  // below a plain file fails for each of them, and the box that says so fits.
  void theWindowsBoxForAWholePopulationFits() {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Settings = SearchSettings{};
    GA = GAStatus{};
    TEQForm::Environment environment;  // no replacement: the window's own message box
    environment.settings_file = dir.filePath(QStringLiteral("Velmora.ini"));
    environment.executable_directory = dir.path();
    environment.current_directory = dir.path();
    TEQForm form(environment);
    form.AskSaveFileName = [&] { return blocker + QStringLiteral("/run"); };
    QCOMPARE(form.BrowsedPopulation->Count(), 180);

    QSize seen;
    int rows_offered = -1;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen = box->size();
      rows_offered = static_cast<int>(box->detailedText().count(u'\n'));
      box->accept();
    });
    form.ButtonSaveDirClick();
    QVERIFY(seen.isValid());
    QVERIFY2(seen.width() <= kScreenWidth && seen.height() <= kScreenHeight,
             qPrintable(QStringLiteral("%1 x %2").arg(seen.width()).arg(seen.height())));
    QCOMPARE(rows_offered, 180);
  }
};

VELMORA_FORM_TEST_MAIN(FailedWritesBoxTest)
#include "FailedWritesBoxTest.moc"
