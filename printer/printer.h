#pragma once

// Printing the year chart and its legend on one page of the default printer.

#include <optional>
#include <stdexcept>

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <QTemporaryFile>

#include "chart/year_chart.h"
#include "printer/page_painting.h"

namespace kolvex {

// A printer failure; the message says what went wrong.
class EPrinter : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A printer with its canvas: the font that texts are drawn in, and the painter of the document
// being printed. Page units are the device pixels of the printable area, origin at its top-left.
//
// The program prints on the default CUPS destination (lpstat -d, or the user's own lpoptions -d).
// It is looked up at the first read of the page size; once found it serves every later printout,
// even if the default destination changes meanwhile.
class Printer {
public:
  // The default destination, not looked up yet.
  Printer();
  // Writes every document to the PDF file `path` instead: A4 at `dotsPerInch`. It draws exactly
  // what goes to a printer, so the drawing can be checked without one.
  Printer(const QString &path, int dotsPerInch);

  Printer(const Printer &) = delete;
  Printer &operator=(const Printer &) = delete;

  // The canvas font, held in points; usable before any printer is found.
  QFont &Font() noexcept { return font_; }

  // The printable area in device pixels. The first read finds and opens the printer; throws
  // EPrinter "There is no default printer currently selected" when there is no default
  // destination (the next read looks again), and "Printer selected is not valid" when the one
  // found cannot be opened or has gone from CUPS (the next read tries the same one again).
  int PageWidth();
  int PageHeight();

  // The device behind the canvas, opened as PageWidth opens it; for reports on the page.
  const QPrinter &Device() { return Open(); }

  // True between BeginDoc and EndDoc.
  bool Printing() const noexcept { return painter_.isActive(); }

  // Starts a document with an empty name, and its first page; the font's height is set for the
  // printer's vertical resolution. Throws EPrinter "Printing in progress" while a document is
  // open, leaving that one untouched.
  void BeginDoc();

  // Draws `text` in the font with its top-left corner at (x, y), on an opaque white box.
  void TextOut(int x, int y, const QString &text);

  // Ends the page and the document and hands it to the printer; the printer stays open. Throws
  // EPrinter "Printer selected is not accepting jobs" when its CUPS queue refuses new jobs, and
  // "Printer selected is not valid" when CUPS cannot take the document (the printer or CUPS
  // itself has gone). A stopped queue takes the document and prints it once it is started again.
  void EndDoc();

private:
  QPrinter &Open();

  QFont font_;
  std::optional<QString> pdfPath_;
  int pdfDotsPerInch_ = 0;
  QString name_; // the printer found, empty until then
  std::optional<QPrinter> printer_;
  std::optional<QTemporaryFile> document_; // the document being printed, on its way to CUPS
  QPainter painter_;
};

// The printer of the program: created on first use, it lives until the program ends.
Printer &ProgramPrinter();

// Prints the chart and the 27 legend lines on one page of `printer`. Throws EPrinter.
void PrintChart(Printer &printer, const YearChart &chart);

// Prints the chart and the 27 legend lines on one page of the default printer. Throws EPrinter.
void PrintChart(const YearChart &chart);

} // namespace kolvex
