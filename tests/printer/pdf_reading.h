#pragma once

// Reading printed pages back: poppler's tools on a PDF file, and the words of a page sorted to
// the texts that were meant to be drawn there.

#include <vector>

#include <QImage>
#include <QPointF>
#include <QString>
#include <QStringList>

#include "chart/page_layout.h"

namespace kolvex::testing {

// A word as pdftotext -bbox reports it, in points from the top-left corner of the paper.
struct PdfWord {
  double xMin = 0;
  double yMin = 0;
  double xMax = 0;
  double yMax = 0;
  QString text;
};

int PdfPageCount(const QString &path);
std::vector<PdfWord> PdfWords(const QString &path);
// The first page rendered at `dotsPerInch`, in shades of grey.
QImage PdfPageImage(const QString &path, int dotsPerInch);

// Where the device pixels of a printout lie on the paper.
struct PageGeometry {
  int dotsPerInch = 0;
  QPointF origin; // top-left corner of the printable area, in points

  QPointF ToPoints(int x, int y) const {
    return origin + QPointF(x * 72.0 / dotsPerInch, y * 72.0 / dotsPerInch);
  }
};

struct TextOnPage {
  PlacedText placed;
  QPointF topLeft;            // in points
  std::vector<PdfWord> words; // the words read there, left to right
};

struct PageReading {
  std::vector<TextOnPage> texts; // in drawing order
  std::vector<PdfWord> stray;    // words where no text was drawn
  double fontOffset = 0;         // how far the word boxes start below the texts' tops, in points
};

// Sorts the words of a page to the texts drawn on it. The word boxes begin at a constant offset
// from the texts' top edges, set by the font (taken from the topmost word: the first row is never
// empty). A word belongs to the text on its line (within half a point) that starts at or left of
// it, and must end before the next text on the line starts; other words are stray.
PageReading ReadPage(const std::vector<PdfWord> &words, const std::vector<PlacedText> &placed,
                     const PageGeometry &geometry);

} // namespace kolvex::testing
