#pragma once

// The printed page on any paint device: the printer's canvas and a PDF file of the page alike,
// so that both hold the same texts at the same places in the same font.

#include <QByteArray>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QString>

#include "chart/page_layout.h"
#include "chart/year_chart.h"
#include "printer/system_paper.h"

namespace kolvex {

// The size the chart is printed in; its face is DefaultFontFace.
inline constexpr int ChartFontPoints = 10;

// The font of the printed page: DefaultFontFace, ChartFontPoints, fixed pitch.
QFont PageFont();

// The font height in device pixels that gives `points` at `dotsPerInch`, rounded to the nearest.
constexpr int FontPixelHeight(int points, int dotsPerInch) noexcept {
  return (2 * points * dotsPerInch + 72) / 144;
}

// Readies `painter`, begun on its device, for texts in `font`: a size in points becomes so many
// pixels of the device's vertical resolution; black on an opaque white box.
void SetUpPageCanvas(QPainter &painter, const QFont &font);

// Draws `text` with its top-left corner at (x, y), on an opaque white box.
void DrawPageText(QPainter &painter, int x, int y, const QString &text);

// Draws the page of `chart`, the chart and the 27 legend lines under it, on `painter`, set up by
// SetUpPageCanvas, over a printable area of `width` by `height` device pixels.
void PaintPage(QPainter &painter, const YearChart &chart, int width, int height);

// The page of `chart` as a one-page PDF document on `paper`, drawn as the printer draws it, for a
// file that is printed later: its printable area is the paper less PdfMarginMillimetres on every
// side (a quarter inch, which home printers print), and its title names the year, and the person
// when a `name` is given.
inline constexpr double PdfMarginMillimetres = 6.35;
inline constexpr int PdfDotsPerInch = 1200;
QByteArray ChartPdf(const YearChart &chart, const QPageSize &paper, const QString &name = {});

} // namespace kolvex
