#pragma once

// A printer's paper as CUPS describes it in its answer to Get-Printer-Attributes.

#include <QByteArray>
#include <QPageLayout>

#include <cups/ipp.h>

namespace kolvex {

// A printer's default paper: its name in CUPS and the page with the printable area.
struct PrinterPaper {
  QByteArray media;
  QPageLayout layout;
};

// The default paper in `attributes`, which hold media-default and media-col-default as far as the
// printer has them: the page and its margins from media-col-default, else the page of
// media-default without margins, else A4 without margins. libcups must be loaded.
PrinterPaper PaperOfPrinter(ipp_t *attributes);

} // namespace kolvex
