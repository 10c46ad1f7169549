#include "ui/grid/chart_grid_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionHeader>

#include "ui/look.h"

namespace kolvex {

using namespace grid_look;

namespace {

constexpr int ScrollBarWidth = 17;
constexpr int TextInset = 2; // from the cell's top-left corner

// A fixed cell with its line: `area` is the cell and the line right of and below it.
void PaintFixedCell(QPainter &painter, const QRect &area, const QString &text) {
  const QRect cell = area.adjusted(0, 0, -1, -1);
  painter.save();
  painter.fillRect(cell, FixedColor);
  DrawCellText(painter, cell, text, TextColor);
  // The raised edge, light above and left, shadow below and right, then the black grid lines.
  painter.setPen(EdgeLight);
  painter.drawLine(cell.topLeft(), cell.topRight());
  painter.drawLine(cell.topLeft(), cell.bottomLeft());
  painter.setPen(EdgeShadow);
  painter.drawLine(cell.bottomLeft(), cell.bottomRight());
  painter.drawLine(cell.topRight(), cell.bottomRight());
  painter.setPen(FixedLineColor);
  painter.drawLine(area.topRight(), area.bottomRight());
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  painter.restore();
}

} // namespace

void DrawCellText(QPainter &painter, const QRect &cell, const QString &text, const QColor &color) {
  painter.save();
  painter.setClipRect(cell, Qt::IntersectClip);
  painter.setFont(CellFont());
  painter.setPen(color);
  painter.drawText(cell.adjusted(TextInset, TextInset, 0, 0),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}

namespace {

int GridPixelMetric(QStyle::PixelMetric metric) {
  switch (metric) {
  case QStyle::PM_ScrollBarExtent:
    return ScrollBarWidth;
  case QStyle::PM_ScrollView_ScrollBarSpacing:
  case QStyle::PM_ScrollView_ScrollBarOverlap:
    return 0;
  default:
    return -1;
  }
}

} // namespace

int ChartGridStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                const QWidget *widget) const {
  const int grid = GridPixelMetric(metric);
  return grid >= 0 ? grid : QProxyStyle::pixelMetric(metric, option, widget);
}

int ChartGridStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                              QStyleHintReturn *returnData) const {
  switch (hint) {
  case SH_Table_GridLineColor:
    return static_cast<int>(CellLineColor.rgba());
  case SH_ScrollView_FrameOnlyAroundContents:
  case SH_ScrollBar_Transient:
    return 0;
  default:
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
}

void ChartGridStyle::drawControl(ControlElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const {
  switch (element) {
  case CE_Header: {
    const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
    PaintFixedCell(*painter, option->rect, header ? header->text : QString());
    break;
  }
  case CE_HeaderEmptyArea:
    painter->fillRect(option->rect, CellColor);
    break;
  default:
    QProxyStyle::drawControl(element, option, painter, widget);
  }
}

// Qt's Windows style is built into every Qt; without it the application's style draws.
ChartGridScrollBarStyle::ChartGridScrollBarStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

int ChartGridScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                         const QWidget *widget) const {
  const int grid = GridPixelMetric(metric);
  return grid >= 0 ? grid : QProxyStyle::pixelMetric(metric, option, widget);
}

int ChartGridScrollBarStyle::styleHint(StyleHint hint, const QStyleOption *option,
                                       const QWidget *widget, QStyleHintReturn *returnData) const {
  if (hint == SH_ScrollBar_Transient) {
    return 0;
  }
  return QApplication::style()->styleHint(hint, option, widget, returnData);
}

} // namespace kolvex
