#pragma once

// Printers that draw the page as a PDF document with Qt: the CUPS printer, which streams it to the
// print server, and the PDF file printer, which draws exactly what goes to a printer into a file so
// that the drawing can be checked without one.

#include <optional>

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "printer/printer.h"

namespace kolvex {

// The page is drawn in memory and handed over whole at EndDoc, so no temporary file can break
// it on the way.
class PdfPrinter : public Printer {
public:
  int PageWidth() override;
  int PageHeight() override;
  bool Printing() const noexcept override;
  void BeginDoc() override;
  void DrawPage(const YearChart &chart, int width, int height) override;
  void EndDoc() override;

  // The paper and its printable area as the last read found them, and the device pixels an inch.
  const QPageLayout &PageLayout() const noexcept { return layout_; }
  int Resolution() const noexcept { return resolution_; }

  // The painter of the open document, set up for the font, on which DrawPageText draws a text
  // as the printer's TextOut would.
  QPainter &Canvas() noexcept { return painter_; }

protected:
  PdfPrinter() = default;
  PdfPrinter(QPageLayout layout, int dotsPerInch);

  // Sets the paper and the resolution of the next document.
  void SetPage(QPageLayout layout, int dotsPerInch);

  // Finds the printer and its paper (SetPage) on an exchange of its own, or, unless `fresh`, on the
  // exchange already under way. Never called while a document is open. Throws EPrinter.
  virtual void Open(bool fresh) = 0;
  // Hands the whole document to the printer. Throws EPrinter.
  virtual void Deliver(const QByteArray &pdf) = 0;
  // Ends the exchange of a printout, whether its document was delivered or not.
  virtual void Close() noexcept = 0;

private:
  void EndDocument() noexcept;

  QPageLayout layout_;
  int resolution_ = 0;
  QBuffer document_;
  std::optional<QPdfWriter> writer_;
  QPainter painter_;
};

// Writes every document to the PDF file `path`: A4, all of it printable, at `dotsPerInch`.
class PdfFilePrinter final : public PdfPrinter {
public:
  PdfFilePrinter(const QString &path, int dotsPerInch);

protected:
  void Open(bool) override {}
  void Deliver(const QByteArray &pdf) override;
  void Close() noexcept override {}

private:
  QString path_;
};

} // namespace kolvex
