#pragma once

// The chart grid's look: its colours, the text of a cell, and the style that gives the grid its
// measures and paints its fixed row and column.

#include <QColor>
#include <QProxyStyle>

class QPainter;
class QRect;
class QString;

namespace kolvex {

namespace grid_look {
inline const QColor FixedColor{128, 128, 128};
inline const QColor FixedLineColor{0, 0, 0};
inline const QColor CellColor{0, 0, 0};
inline const QColor CellLineColor{192, 192, 192};
inline const QColor TextColor{0, 255, 0};
inline const QColor EdgeLight{255, 255, 255};
inline const QColor EdgeShadow{128, 128, 128};
} // namespace grid_look

// `text` in the cell font and `color`, 2 pixels right of and below the cell's top-left corner,
// clipped to the cell.
void DrawCellText(QPainter &painter, const QRect &cell, const QString &text, const QColor &color);

// The grid's measures (17-pixel scroll bars right against the cells, silver grid lines) and its
// fixed cells (gray with a raised edge and black lines), over the application's style.
class ChartGridStyle final : public QProxyStyle {
public:
  int pixelMetric(PixelMetric metric, const QStyleOption *option,
                  const QWidget *widget) const override;
  int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                QStyleHintReturn *returnData) const override;
  void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                   const QWidget *widget) const override;
};

// The grid's scroll bars: a raised thumb on a checkered track, the way the grid's edges and fixed
// cells are drawn, so that the thumb reads as the thumb over any desktop's style (Fusion draws it
// nearly white on a white track, and a user takes the gray rest of the track for the thumb). The
// measures are the grid's and the behaviour (clicks, steps, hints) the application style's.
class ChartGridScrollBarStyle final : public QProxyStyle {
public:
  ChartGridScrollBarStyle();
  int pixelMetric(PixelMetric metric, const QStyleOption *option,
                  const QWidget *widget) const override;
  int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                QStyleHintReturn *returnData) const override;
};

} // namespace kolvex
