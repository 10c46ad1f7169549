#include "printer/printer_pdf.h"

#include <QScopeGuard>

#include "printer/output_file.h"

namespace kolvex {
namespace {

// A PDF document that was written to its end.
bool WholePdf(const QByteArray &document) {
  return document.startsWith("%PDF-") && document.trimmed().endsWith("%%EOF");
}

} // namespace

PdfPrinter::PdfPrinter(QPageLayout layout, int dotsPerInch)
    : layout_(std::move(layout)), resolution_(dotsPerInch) {}

void PdfPrinter::SetPage(QPageLayout layout, int dotsPerInch) {
  layout_ = std::move(layout);
  resolution_ = dotsPerInch;
}

// A document on its way to the printer keeps the printer it was started on.
int PdfPrinter::PageWidth() {
  if (!Printing()) {
    Open(true);
  }
  return layout_.paintRectPixels(resolution_).width();
}

int PdfPrinter::PageHeight() {
  if (!Printing()) {
    Open(false);
  }
  return layout_.paintRectPixels(resolution_).height();
}

bool PdfPrinter::Printing() const noexcept {
  return painter_.isActive();
}

void PdfPrinter::BeginDoc() {
  if (Printing()) {
    throw EPrinter(PrintingInProgress);
  }
  Open(false);
  document_.setData(QByteArray());
  if (!document_.open(QIODevice::WriteOnly)) {
    throw EPrinter(PrinterNotValid);
  }
  writer_.emplace(&document_);
  writer_->setResolution(resolution_);
  writer_->setPageLayout(layout_);
  writer_->setTitle(QString()); // the document's name is empty
  if (!painter_.begin(&*writer_)) {
    EndDocument();
    throw EPrinter(PrinterNotValid);
  }
  SetUpPageCanvas(painter_, Font());
}

void PdfPrinter::DrawPage(const YearChart &chart, int width, int height) {
  PaintPage(painter_, chart, width, height);
}

void PdfPrinter::EndDoc() {
  const auto endDocument = qScopeGuard([this] { EndDocument(); });
  if (!painter_.end() || !WholePdf(document_.data())) {
    throw EPrinter(PrinterNotValid);
  }
  Deliver(document_.data());
}

void PdfPrinter::EndDocument() noexcept {
  writer_.reset();
  document_.close();
  document_.setData(QByteArray());
  Close();
}

PdfFilePrinter::PdfFilePrinter(const QString &path, int dotsPerInch)
    : PdfPrinter(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                 dotsPerInch),
      path_(path) {}

void PdfFilePrinter::Deliver(const QByteArray &pdf) {
  if (!WriteOutput(path_, pdf).isEmpty()) {
    throw EPrinter(PrinterNotValid);
  }
}

} // namespace kolvex
