#include "stats/ChartFigure.h"

#include <QBuffer>
#include <QChartView>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <string>

#include "formats/ExportFile.h"

namespace {

constexpr int kPngScale = 2;  // print resolution from a screen-sized chart

}  // namespace

QString FigureExtension(FigureFormat format) {
  return format == FigureFormat::kPng ? QStringLiteral(".png") : QStringLiteral(".svg");
}

bool SaveChartFigure(QChartView* chart_view, const QString& path, FigureFormat format, QString& error) {
  QGraphicsScene* scene = chart_view->scene();
  const QRectF source = scene->sceneRect();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == FigureFormat::kPng) {
    QImage image(source.size().toSize() * kPngScale, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene->render(&painter, QRectF(QPointF(0, 0), image.size()), source);
    painter.end();
    image.save(&buffer, "PNG");
  } else {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(source.size().toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), source.size()));
    generator.setTitle(QStringLiteral("GA Statistics"));
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing);
    scene->render(&painter, QRectF(QPointF(0, 0), source.size()), source);
    painter.end();
  }
  std::string reason;
  if (bytes.isEmpty()) {
    error = QStringLiteral("Cannot write %1: the chart could not be drawn").arg(path);
    return false;
  }
  if (!WriteExportFile(path.toLocal8Bit().toStdString(), bytes.toStdString(), reason)) {
    error = QString::fromLocal8Bit(reason.c_str());
    return false;
  }
  return true;
}
