// The system's printer on Linux: the default CUPS destination (lpstat -d, or the user's own
// lpoptions -d), looked up at the first read of the page size. The page is drawn as PDF in memory
// and streamed to CUPS.

#include <memory>

#include "printer/cups_connection.h"
#include "printer/printer_pdf.h"

namespace kolvex {
namespace {

// The device pixels an inch of the page that goes to CUPS; the page is PDF, so they only set how
// finely texts are placed.
constexpr int CupsDotsPerInch = 1200;

// A read of the width asks CUPS about the printer on a new connection, which the read of the
// height and the document that follow use too: one connection a printout. A stopped queue takes
// the document and prints it once it is started again.
class CupsPrinter final : public PdfPrinter {
protected:
  void Open(bool fresh) override;
  void Deliver(const QByteArray &pdf) override { cups_->Submit(name_, media_, pdf); }
  void Close() noexcept override { cups_.reset(); }

private:
  QByteArray name_;                      // the destination found, empty until then
  QByteArray media_;                     // its paper, as CUPS names it
  std::unique_ptr<CupsConnection> cups_; // the exchange of the printout under way
};

void CupsPrinter::Open(bool fresh) {
  if (!fresh && cups_ != nullptr) {
    return;
  }
  cups_.reset();
  auto cups = std::make_unique<CupsConnection>(Stop());
  if (!cups->Connected()) {
    throw EPrinter(Stop().stop_requested() ? PrinterNotResponding
                   : name_.isEmpty()       ? NoDefaultPrinter
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
  SetPage(std::move(paper.layout), CupsDotsPerInch);
  cups_ = std::move(cups);
}

} // namespace

std::unique_ptr<Printer> NewSystemPrinter() {
  return std::make_unique<CupsPrinter>();
}

} // namespace kolvex
