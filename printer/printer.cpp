#include "printer/printer.h"

#include <QDir>
#include <QLibrary>
#include <QPrinterInfo>
#include <QScopeGuard>

#include <cups/cups.h>

#include "chart/page_layout.h"

namespace kolvex {
namespace {

constexpr const char *NoDefaultPrinter = "There is no default printer currently selected";
constexpr const char *PrinterNotValid = "Printer selected is not valid";
constexpr const char *PrintingInProgress = "Printing in progress";
constexpr const char *NotAcceptingJobs = "Printer selected is not accepting jobs";

// Makes the page the area the printer can print on, rather than Qt's default margins inside it.
void UsePrintableArea(QPrinter &printer) {
  printer.setFullPage(false);
  const QPageLayout layout = printer.pageLayout();
  printer.setPageMargins(layout.minimumMargins(), layout.units());
}

// A function of libcups. Qt's print support has loaded the library by the time a printer is open;
// it is looked up rather than linked, so that starting the program does not pay for loading it.
template <typename Function> Function *CupsFunction(const char *name) {
  return reinterpret_cast<Function *>(QLibrary::resolve(QStringLiteral("cups"), 2, name));
}

// Hands the document in `path` to the CUPS queue `printer`, on paper of `pageSize`. Qt would hand
// it over itself, but it takes no notice when CUPS refuses the job, and the page would be lost
// while the program went on as if it had printed.
void SubmitToCups(const QString &printer, const QString &path, const QPageSize &pageSize) {
  auto *printFile = CupsFunction<decltype(cupsPrintFile)>("cupsPrintFile");
  auto *lastError = CupsFunction<decltype(cupsLastError)>("cupsLastError");
  if (printFile == nullptr || lastError == nullptr) {
    throw EPrinter(PrinterNotValid);
  }
  QByteArray optionName("media");
  QByteArray media = pageSize.key().toUtf8();
  cups_option_t option{optionName.data(), media.data()};
  // The document's name is empty.
  if (printFile(printer.toLocal8Bit().constData(), QFile::encodeName(path).constData(), "", 1,
                &option) == 0) {
    // A stopped queue still takes jobs and prints them once it is started again.
    throw EPrinter(lastError() == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS ? NotAcceptingJobs
                                                                      : PrinterNotValid);
  }
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
  if (!pdfPath_) {
    // Qt writes the page to a file of ours as PDF, and EndDoc hands that to CUPS.
    document_.emplace(QDir::temp().filePath(QStringLiteral("kolvex-XXXXXX.job")));
    if (!document_->open()) {
      document_.reset();
      throw EPrinter(PrinterNotValid);
    }
    printer.setOutputFileName(document_->fileName());
  }
  if (!painter_.begin(&printer)) {
    document_.reset();
    throw EPrinter(PrinterNotValid);
  }
  SetUpPageCanvas(painter_, font_);
}

void Printer::TextOut(int x, int y, const QString &text) {
  DrawPageText(painter_, x, y, text);
}

void Printer::EndDoc() {
  const auto removeDocument = qScopeGuard([this] { document_.reset(); });
  if (!painter_.end()) {
    throw EPrinter(PrinterNotValid);
  }
  if (document_) {
    SubmitToCups(name_, document_->fileName(), printer_->pageLayout().pageSize());
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
