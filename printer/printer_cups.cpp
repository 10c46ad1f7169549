#include "printer/printer.h"

#include <QScopeGuard>

#include "printer/cups_connection.h"
#include "printer/output_file.h"

namespace kolvex {
namespace {

// The device pixels an inch of the page that goes to CUPS; the page is PDF, so they only set how
// finely texts are placed.
constexpr int CupsDotsPerInch = 1200;

// What the PDF file seam prints on: A4, all of it printable.
QPageLayout WholeA4() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

// A PDF document that was written to its end.
bool WholePdf(const QByteArray &document) {
  return document.startsWith("%PDF-") && document.trimmed().endsWith("%%EOF");
}

} // namespace

Printer::Printer() : font_(QString::fromUtf8(DefaultFontFace)) {}

Printer::Printer(const QString &path, int dotsPerInch)
    : font_(QString::fromUtf8(DefaultFontFace)), pdfPath_(path), layout_(WholeA4()),
      resolution_(dotsPerInch) {}

Printer::~Printer() = default;

void Printer::Open() {
  // A document on its way to the printer keeps the printer it was started on.
  if (Printing() || pdfPath_) {
    return;
  }
  cups_.reset();
  auto cups = std::make_unique<CupsConnection>(stop_);
  if (!cups->Connected()) {
    throw EPrinter(stop_.stop_requested() ? PrinterNotResponding
                   : name_.isEmpty()      ? NoDefaultPrinter
                                          : PrinterNotValid);
  }
  if (name_.isEmpty()) {
    name_ = cups->DefaultDestination();
    if (name_.isEmpty()) {
      throw EPrinter(NoDefaultPrinter);
    }
  }
  PrinterPaper paper = cups->Paper(name_);
  media_ = std::move(paper.media);
  layout_ = std::move(paper.layout);
  resolution_ = CupsDotsPerInch;
  cups_ = std::move(cups);
}

void Printer::OpenUnlessOpen() {
  if (cups_ == nullptr) {
    Open();
  }
}

int Printer::PageWidth() {
  Open();
  return layout_.paintRectPixels(resolution_).width();
}

int Printer::PageHeight() {
  OpenUnlessOpen();
  return layout_.paintRectPixels(resolution_).height();
}

void Printer::BeginDoc() {
  if (Printing()) {
    throw EPrinter(PrintingInProgress);
  }
  OpenUnlessOpen();
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
  SetUpPageCanvas(painter_, font_);
}

void Printer::EndDoc() {
  const auto endDocument = qScopeGuard([this] { EndDocument(); });
  if (!painter_.end() || !WholePdf(document_.data())) {
    throw EPrinter(PrinterNotValid);
  }
  if (pdfPath_) {
    if (!WriteOutput(*pdfPath_, document_.data()).isEmpty()) {
      throw EPrinter(PrinterNotValid);
    }
    return;
  }
  cups_->Submit(name_, media_, document_.data());
}

void Printer::EndDocument() {
  writer_.reset();
  document_.close();
  document_.setData(QByteArray());
  cups_.reset();
}

bool Printer::Printing() const noexcept {
  return painter_.isActive();
}

void Printer::DrawPage(const YearChart &chart, int width, int height) {
  PaintPage(painter_, chart, width, height);
}

} // namespace kolvex
