// Drives the program's printer from a script on standard input, one command a line, so that each
// test gets a fresh program with its own printer object:
//   page   answers "<width> <height> <dots per inch> <left> <top>": the printable area in device
//          pixels, and its top-left corner on the paper in points
//   print  prints the chart of the birth input given as arguments (day month year forecast) and
//          answers "printed", or the printer's message
// Every answer is one line.

#include <cstdio>
#include <iostream>
#include <string>

#include <QGuiApplication>

#include "chart/input_reader.h"
#include "printer/printer_pdf.h"

int main(int argc, char *argv[]) {
  if (argc != 5) {
    std::cerr << "usage: print_chart_helper DAY MONTH YEAR FORECAST\n";
    return 2;
  }
  const kolvex::BirthInput input{kolvex::StrToInt(argv[1]), kolvex::StrToInt(argv[2]),
                                 kolvex::StrToInt(argv[3]), kolvex::StrToInt(argv[4])};
  const kolvex::YearChart chart = kolvex::YearChart::Compute(input);

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication application(argc, argv);

  std::string command;
  while (std::getline(std::cin, command)) {
    try {
      if (command == "page") {
        // The CUPS printer draws the page as PDF, whose paper it tells.
        auto &printer = dynamic_cast<kolvex::PdfPrinter &>(kolvex::ProgramPrinter());
        const int width = printer.PageWidth();
        const int height = printer.PageHeight();
        const QRectF area = printer.PageLayout().paintRect(QPageLayout::Point);
        std::cout << width << ' ' << height << ' ' << printer.Resolution() << ' ' << area.left()
                  << ' ' << area.top() << std::endl;
      } else if (command == "print") {
        kolvex::PrintChart(kolvex::ProgramPrinter(), chart);
        std::cout << "printed" << std::endl;
      } else {
        std::cout << "unknown command " << command << std::endl;
      }
    } catch (const kolvex::EPrinter &error) {
      std::cout << error.what() << std::endl;
    }
  }
  return 0;
}
