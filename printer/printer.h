#pragma once

// Printing the year chart and its legend on one page of the default printer.

#include <memory>
#include <optional>
#include <stdexcept>
#include <stop_token>

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "chart/year_chart.h"
#include "printer/page_painting.h"

namespace kolvex {

// A printer failure; the message says what went wrong.
class EPrinter : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char *NoDefaultPrinter = "There is no default printer currently selected";
inline constexpr const char *PrinterNotValid = "Printer selected is not valid";
inline constexpr const char *PrintingInProgress = "Printing in progress";
inline constexpr const char *PrinterNotAcceptingJobs = "Printer selected is not accepting jobs";
inline constexpr const char *PrinterNotResponding = "Printer selected is not responding";

class CupsConnection;

// A printer with its canvas: the font that texts are drawn in, and the painter of the document
// being printed. Page units are the device pixels of the printable area, origin at its top-left.
//
// On Linux the program prints on the default CUPS destination (lpstat -d, or the user's own
// lpoptions -d). It is looked up at the first read of the page size; once found it serves every
// later printout, even if the default destination changes meanwhile. The page is drawn as PDF in
// memory and streamed to CUPS, so no temporary file can break it on the way.
//
// On Windows it prints on the default printer of the system's profile (the "device" entry of its
// "windows" section, up to the first comma), found among the installed printers by its exact name
// at the first read of the page size and kept for the run; each text is drawn by the printer's
// device context itself, in the font asked for with the Cyrillic character set.
//
// Any thread may print, one at a time; every exchange with CUPS can be ended from another thread
// through the stop token of StopOn (on Windows, the printout ends at the next text).
class Printer {
public:
  // The default destination, not looked up yet.
  Printer();
#ifndef _WIN32
  // Writes every document to the PDF file `path` instead: A4 at `dotsPerInch`. It draws exactly
  // what goes to a printer, so the drawing can be checked without one.
  Printer(const QString &path, int dotsPerInch);
#endif

  Printer(const Printer &) = delete;
  Printer &operator=(const Printer &) = delete;
  ~Printer();

  // The canvas font, held in points; usable before any printer is found.
  QFont &Font() noexcept {
    return font_;
  }

  // The printable area in device pixels. A read of the width asks CUPS about the printer on a new
  // connection, which the read of the height and the document that follow use too: one
  // connection a printout. The first read finds the printer. Throws EPrinter "There is no default
  // printer currently selected" when there is no default destination (the next read looks again),
  // "Printer selected is not valid" when the one found has gone from CUPS or CUPS cannot be reached
  // (the next read tries the same one again), and "Printer selected is not responding" when the
  // exchange was stopped.
  int PageWidth();
  int PageHeight();

#ifndef _WIN32
  // The paper and its printable area as the last read found them, and the device pixels an inch.
  const QPageLayout &PageLayout() const noexcept {
    return layout_;
  }
  int Resolution() const noexcept {
    return resolution_;
  }
#endif

  // True between BeginDoc and EndDoc.
  bool Printing() const noexcept;

  // Starts a document with an empty name, and its first page; the font's height is set for the
  // printer's vertical resolution. Throws EPrinter "Printing in progress" while a document is
  // open, leaving that one untouched.
  void BeginDoc();

  // Draws the page of `chart` on the open document, over a printable area of `width` by `height`
  // device pixels. On Windows a stop asked for ends it at the next text, with EPrinter "Printer
  // selected is not responding".
  void DrawPage(const YearChart &chart, int width, int height);

#ifndef _WIN32
  // The painter of the open document, set up for the font, on which DrawPageText draws a text
  // as the printer's TextOut would.
  QPainter &Canvas() noexcept {
    return painter_;
  }
#endif

  // Ends the page and the document and hands it to the printer whole; the printer stays found.
  // Throws EPrinter "Printer selected is not accepting jobs" when its CUPS queue refuses new
  // jobs, "Printer selected is not valid" when CUPS cannot take the document, and "Printer
  // selected is not responding" when the exchange was stopped; a job that CUPS had begun to take
  // is cancelled then. A stopped queue takes the document and prints it once it is started again.
  void EndDoc();

  // From now on, an exchange with CUPS under way or to come ends, failing, as soon as `stop` is
  // asked to stop.
  void StopOn(std::stop_token stop) {
    stop_ = std::move(stop);
  }

private:
#ifdef _WIN32
  // Finds the default printer the first time, and opens its device context.
  void Open();
  // Ends a document that cannot be finished, and lets the device context go.
  void Abandon() noexcept;
  void ThrowIfStopped();

  QFont font_;
  std::stop_token stop_;
  QByteArray name_;    // the printer found, in the system's code page; empty until then
  void *dc_ = nullptr; // its device context while one is open
  void *gdiFont_ = nullptr;
  void *previousFont_ = nullptr;
  bool printing_ = false;
#else
  // Asks CUPS for the printer and its paper on a new connection, finding the default destination
  // the first time.
  void Open();
  // The same, unless the connection of this printout is open already.
  void OpenUnlessOpen();
  void EndDocument();

  QFont font_;
  std::optional<QString> pdfPath_;
  std::stop_token stop_;
  QByteArray name_;  // the destination found, empty until then
  QByteArray media_; // its paper, as CUPS names it
  QPageLayout layout_;
  int resolution_ = 0;
  std::unique_ptr<CupsConnection> cups_; // the exchange of the printout under way
  QBuffer document_;
  std::optional<QPdfWriter> writer_;
  QPainter painter_;
#endif
};

// The printer of the program: created on first use, it lives until the program ends.
Printer &ProgramPrinter();

// Prints the chart and the 27 legend lines on one page of `printer`, every exchange with CUPS
// ending once `stop` is asked to stop. Throws EPrinter.
void PrintChart(Printer &printer, const YearChart &chart, std::stop_token stop = {});

} // namespace kolvex
