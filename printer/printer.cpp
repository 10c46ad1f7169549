#include "printer/printer.h"

namespace kolvex {

Printer::Printer() : font_(QString::fromUtf8(DefaultFontFace)) {}

Printer::~Printer() = default;

Printer &ProgramPrinter() {
  static const std::unique_ptr<Printer> printer = NewSystemPrinter();
  return *printer;
}

void PrintChart(Printer &printer, const YearChart &chart, std::stop_token stop) {
  printer.StopOn(std::move(stop));
  printer.Font() = PageFont();
  const int width = printer.PageWidth();
  const int height = printer.PageHeight();
  printer.BeginDoc();
  printer.DrawPage(chart, width, height);
  printer.EndDoc();
}

} // namespace kolvex
