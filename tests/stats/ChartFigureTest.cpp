// The chart saved as a figure: a PNG at twice its size, an SVG that parses,
// and a file that cannot be written named with its reason.
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest>

#include "FormStat.h"
#include "HeadlessQtMain.h"

class ChartFigureTest : public QObject {
  Q_OBJECT

 private:
  static void Fill(TFormStats& form) {
    for (int g = 1; g <= 30; ++g) form.AddPoints(g, 0.8 + g / 200.0, 0.5 + g / 100.0, 0.2 + g / 80.0);
  }

 private slots:
  void savesPngAndSvgFromTheMenu() {
    QTemporaryDir dir;
    TFormStats form;
    Fill(form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList asked, errors;
    form.AskFigureFileName = [&](FigureFormat format) {
      const QString name = format == FigureFormat::kPng ? QStringLiteral("chart") : QStringLiteral("chart.svg");
      asked << name;
      return dir.filePath(name);
    };
    form.ShowFigureError = [&](const QString& text) { errors << text; };
    const QList<QAction*> actions = form.ButtonSaveFigure->menu()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("Save as PNG\u2026"));
    actions[0]->trigger();
    actions[1]->trigger();
    QCOMPARE(asked, (QStringList{QStringLiteral("chart"), QStringLiteral("chart.svg")}));
    QVERIFY(errors.isEmpty());

    // The extension is put on; twice the chart's size.
    const QImage png(dir.filePath(QStringLiteral("chart.png")));
    QVERIFY(!png.isNull());
    const QSize scene = form.ChartStat->scene()->sceneRect().size().toSize();
    QCOMPARE(png.size(), scene * 2);
    // The red "Best" line is in the picture.
    int red = 0;
    for (int y = 0; y < png.height(); ++y)
      for (int x = 0; x < png.width(); ++x) {
        const QColor c = png.pixelColor(x, y);
        red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
      }
    QVERIFY2(red > 50, qPrintable(QString::number(red)));

    QFile svg(dir.filePath(QStringLiteral("chart.svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&svg);
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.name().toString(), QStringLiteral("svg"));
    while (!reader.atEnd()) reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 2);  // no temporary left
  }

  void unwritableFileIsNamedWithItsReason() {
    QTemporaryDir dir;
    TFormStats form;
    Fill(form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString path = dir.filePath(QStringLiteral("missing/chart.svg"));
    QStringList errors;
    form.AskFigureFileName = [&](FigureFormat) { return path; };
    form.ShowFigureError = [&](const QString& text) { errors << text; };
    form.SaveFigure(FigureFormat::kSvg);
    QCOMPARE(errors, QStringList{QStringLiteral("Cannot write ") + path + QStringLiteral(": No such file or directory")});
    // A cancelled dialog writes nothing and says nothing.
    form.AskFigureFileName = [](FigureFormat) { return QString(); };
    form.SaveFigure(FigureFormat::kPng);
    QCOMPARE(errors.size(), 1);
  }
};

VELMORA_HEADLESS_TEST_MAIN(ChartFigureTest)
#include "ChartFigureTest.moc"
