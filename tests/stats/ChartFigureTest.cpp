// The chart saved as a figure from its Save… menu: a PNG at twice its size,
// an SVG that parses, and a file that cannot be written named with its reason.
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest>

#include "stats/FormStat.h"
#include "HeadlessQtMain.h"

class ChartFigureTest : public QObject {
  Q_OBJECT

 private slots:
  void savesPngAndSvgAndNamesAFailure() {
    QTemporaryDir dir;
    TFormStats form;
    for (int g = 1; g <= 30; ++g) form.AddPoints(g, 0.8 + g / 200.0, 0.5 + g / 100.0, 0.2 + g / 80.0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QString answer = dir.filePath(QStringLiteral("chart"));  // the extension is put on
    QStringList errors;
    form.AskFigureFileName = [&](FigureFormat) { return answer; };
    form.ShowFigureError = [&](const QString& text) { errors << text; };
    const QList<QAction*> actions = form.ButtonSaveFigure->menu()->actions();
    QCOMPARE(actions.size(), 2);
    actions[0]->trigger();  // "Save as PNG…"
    actions[1]->trigger();  // "Save as SVG…"
    QVERIFY(errors.isEmpty());
    const QImage png(dir.filePath(QStringLiteral("chart.png")));
    QCOMPARE(png.size(), form.ChartStat->scene()->sceneRect().size().toSize() * 2);
    QFile svg(dir.filePath(QStringLiteral("chart.svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&svg);
    QVERIFY(reader.readNextStartElement() && reader.name() == QStringLiteral("svg"));
    while (!reader.atEnd()) reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary left

    answer = dir.filePath(QStringLiteral("missing/chart.svg"));
    form.SaveFigure(FigureFormat::kSvg);
    QCOMPARE(errors, QStringList{QStringLiteral("Cannot write ") + answer + QStringLiteral(": No such file or directory")});
  }
};

VELMORA_HEADLESS_TEST_MAIN(ChartFigureTest)
#include "ChartFigureTest.moc"
