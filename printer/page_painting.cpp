#include "printer/page_painting.h"

#include <QBuffer>
#include <QPdfWriter>

#include "chart/page_layout.h"

namespace kolvex {

QFont PageFont() {
  // Qt fonts carry no character set: the texts are Unicode, and fontconfig supplies a face with
  // the Cyrillic letters where the one asked for has none.
  QFont font(QString::fromUtf8(DefaultFontFace));
  font.setPointSize(ChartFontPoints);
  font.setFixedPitch(true);
  return font;
}

void SetUpPageCanvas(QPainter &painter, const QFont &font) {
  QFont sized = font;
  if (font.pointSize() > 0) {
    sized.setPixelSize(FontPixelHeight(font.pointSize(), painter.device()->logicalDpiY()));
  }
  painter.setFont(sized);
  painter.setPen(Qt::black);
  painter.setBackground(Qt::white);
  painter.setBackgroundMode(Qt::OpaqueMode);
}

void DrawPageText(QPainter &painter, int x, int y, const QString &text) {
  // QPainter places text by its baseline; in opaque mode it fills the box from the ascent down.
  painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

void PaintPage(QPainter &painter, const YearChart &chart, int width, int height) {
  for (const PlacedText &placed : LayOutPage(chart, width, height)) {
    DrawPageText(painter, placed.x, placed.y, QString::fromUtf8(placed.text));
  }
}

QByteArray ChartPdf(const YearChart &chart, const QPageSize &paper, const QString &name) {
  QByteArray document;
  QBuffer buffer(&document);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Kolvex"));
    const QString title = QStringLiteral("Биоритмы на %1 год").arg(chart.Year());
    writer.setTitle(name.isEmpty() ? title : title + QStringLiteral(": ") + name);
    writer.setResolution(PdfDotsPerInch);
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait,
                                     QMarginsF(PdfMarginMillimetres, PdfMarginMillimetres,
                                               PdfMarginMillimetres, PdfMarginMillimetres),
                                     QPageLayout::Millimeter));
    QPainter painter(&writer);
    SetUpPageCanvas(painter, PageFont());
    PaintPage(painter, chart, writer.width(), writer.height());
  }
  return document;
}

} // namespace kolvex
