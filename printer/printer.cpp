#include "printer/printer.h"

#include "chart/page_layout.h"

namespace kolvex {

Printer &ProgramPrinter() {
  static Printer printer;
  return printer;
}

void PrintChart(Printer &printer, const YearChart &chart, std::stop_token stop) {
  printer.StopOn(std::move(stop));
  printer.Font() = PageFont();
  const int width = printer.PageWidth();
  const int height = printer.PageHeight();
  printer.BeginDoc();
  for (const PlacedText &placed : LayOutPage(chart, width, height)) {
    printer.TextOut(placed.x, placed.y, QString::fromUtf8(placed.text));
  }
  printer.EndDoc();
}

void PrintChart(const YearChart &chart) {
  PrintChart(ProgramPrinter(), chart);
}

} // namespace kolvex
