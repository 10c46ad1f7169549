#pragma once

// Printing the year chart and its legend on one page of the default printer.

#include <memory>
#include <stdexcept>
#include <stop_token>

#include <QFont>

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

// A printer with its canvas: the font that texts are drawn in, and the document being printed.
// Page units are the device pixels of the printable area, origin at its top-left.
//
// The system's printer (NewSystemPrinter) is found at the first read of the page size and kept
// for the run, even if the system's default changes meanwhile: on Linux the default CUPS
// destination (printer_cups.cpp), on Windows the default printer of the system's profile
// (printer_windows.cpp). PdfFilePrinter (printer_pdf.h) draws the same page into a file.
//
// Any thread may print, one at a time; every exchange with the print server can be ended from
// another thread through the stop token of StopOn.
class Printer {
public:
  Printer(const Printer &) = delete;
  Printer &operator=(const Printer &) = delete;
  virtual ~Printer();

  // The canvas font, held in points; usable before any printer is found.
  QFont &Font() noexcept { return font_; }

  // The printable area in device pixels. The first read finds the printer. Throws EPrinter
  // "There is no default printer currently selected" when there is no default printer (the next
  // read looks again), "Printer selected is not valid" when the one found has gone or its server
  // cannot be reached (the next read tries the same one again), and "Printer selected is not
  // responding" when the exchange was stopped.
  virtual int PageWidth() = 0;
  virtual int PageHeight() = 0;

  // True between BeginDoc and EndDoc.
  virtual bool Printing() const noexcept = 0;

  // Starts a document with an empty name, and its first page; the font's height is set for the
  // printer's vertical resolution. Throws EPrinter "Printing in progress" while a document is
  // open, leaving that one untouched.
  virtual void BeginDoc() = 0;

  // Draws the page of `chart` on the open document, over a printable area of `width` by `height`
  // device pixels.
  virtual void DrawPage(const YearChart &chart, int width, int height) = 0;

  // Ends the page and the document and hands it to the printer whole; the printer stays found.
  // Throws EPrinter "Printer selected is not accepting jobs" when the printer's queue refuses new
  // jobs, "Printer selected is not valid" when the printer cannot take the document, and "Printer
  // selected is not responding" when the exchange was stopped; a job that the printer had begun to
  // take is cancelled then.
  virtual void EndDoc() = 0;

  // From now on, an exchange with the print server under way or to come ends, failing, as soon as
  // `stop` is asked to stop.
  void StopOn(std::stop_token stop) { stop_ = std::move(stop); }

protected:
  Printer();

  const std::stop_token &Stop() const noexcept { return stop_; }

private:
  QFont font_;
  std::stop_token stop_;
};

// A printer on the system's default printer, not looked up yet.
std::unique_ptr<Printer> NewSystemPrinter();

// The printer of the program, the system's: created on first use, it lives until the program ends.
Printer &ProgramPrinter();

// Prints the chart and the 27 legend lines on one page of `printer`, every exchange with the
// print server ending once `stop` is asked to stop. Throws EPrinter.
void PrintChart(Printer &printer, const YearChart &chart, std::stop_token stop = {});

} // namespace kolvex
