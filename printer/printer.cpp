#include "printer/printer.h"

#include <QPrinterInfo>

#include "chart/page_layout.h"

namespace kolvex {
namespace {

constexpr const char *NoDefaultPrinter = "There is no default printer currently selected";
constexpr const char *PrinterNotValid = "Printer selected is not valid";
constexpr const char *PrintingInProgress = "Printing in progress";

// The face every canvas starts with, and the size the chart is printed in.
constexpr const char *DefaultFontFace = "MS Sans Serif";
constexpr int ChartFontPoints = 10;

// Makes the page the area the printer can print on, rather than Qt's default margins inside it.
void UsePrintableArea(QPrinter &printer) {
  printer.setFullPage(false);
  const QPageLayout layout = printer.pageLayout();
  printer.setPageMargins(layout.minimumMargins(), layout.units());
}

} // namespace

Printer::Printer() : font_(QString::fromLatin1(DefaultFontFace)) {}

Printer::Printer(const QString &path, int dotsPerInch)
    : font_(QString::fromLatin1(DefaultFontFace)), pdfPath_(path), pdfDotsPerInch_(dotsPerInch) {}

QPrinter &Printer::Open() {
  if (pdfPath_) {
    if (!printer_) {
      printer_.emplace(QPrinter::HighResolution);
      printer_->setOutputFormat(QPrinter::PdfFormat);
      printer_->setOutputFileName(*pdfPath_);
      printer_->setResolution(pdfDotsPerInch_);
      printer_->setPageSize(QPageSize(QPageSize::A4));
      UsePrintableArea(*printer_);
    }
    return *printer_;
  }
  // A document on its way to the printer keeps the printer it was started on.
  if (Printing()) {
    return *printer_;
  }

  if (name_.isEmpty()) {
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty() || !QPrinterInfo::availablePrinterNames().contains(name)) {
      throw EPrinter(NoDefaultPrinter);
    }
    name_ = name;
  }
  // A queue deleted from CUPS would swallow the job without a word: say so instead.
  const QPrinterInfo info = QPrinterInfo::printerInfo(name_);
  if (info.isNull()) {
    printer_.reset();
    throw EPrinter(PrinterNotValid);
  }
  if (!printer_) {
    // Qt hands CUPS the page as PDF: the device pixels are Qt's (1200 an inch in this mode), not
    // the resolution of the printer's driver.
    printer_.emplace(info, QPrinter::HighResolution);
    if (!printer_->isValid() || printer_->outputFormat() != QPrinter::NativeFormat ||
        printer_->printerName() != name_) {
      printer_.reset();
      throw EPrinter(PrinterNotValid);
    }
    UsePrintableArea(*printer_);
  }
  return *printer_;
}

int Printer::PageWidth() {
  return Open().width();
}

int Printer::PageHeight() {
  return Open().height();
}

void Printer::BeginDoc() {
  if (Printing()) {
    throw EPrinter(PrintingInProgress);
  }
  QPrinter &printer = Open();
  printer.setDocName(QStringLiteral(""));
  if (!painter_.begin(&printer)) {
    throw EPrinter(PrinterNotValid);
  }
  // The font keeps its size in points; on the printer that is so many device pixels.
  QFont font = font_;
  if (font_.pointSize() > 0) {
    font.setPixelSize(FontPixelHeight(font_.pointSize(), printer.logicalDpiY()));
  }
  painter_.setFont(font);
  painter_.setPen(Qt::black);
  painter_.setBackground(Qt::white);
  painter_.setBackgroundMode(Qt::OpaqueMode);
}

void Printer::TextOut(int x, int y, const QString &text) {
  // QPainter places text by its baseline; in opaque mode it fills the box from the ascent down.
  painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), text);
}

void Printer::EndDoc() {
  if (!painter_.end()) {
    throw EPrinter(PrinterNotValid);
  }
}

Printer &ProgramPrinter() {
  static Printer printer;
  return printer;
}

void PrintChart(Printer &printer, const YearChart &chart) {
  QFont &font = printer.Font();
  font.setPointSize(ChartFontPoints);
  // Qt fonts carry no character set: the texts are Unicode, and fontconfig supplies a face with
  // the Cyrillic letters where the one asked for has none.
  font.setFixedPitch(true);

  const int width = printer.PageWidth();
  const int height = printer.PageHeight();
  printer.BeginDoc();
  for (const PlacedText &placed : LayOutPage(chart, width, height)) {
    printer.TextOut(placed.x, placed.y, QString::fromStdString(placed.text));
  }
  printer.EndDoc();
}

void PrintChart(const YearChart &chart) {
  PrintChart(ProgramPrinter(), chart);
}

} // namespace kolvex
