// kolvex-chart-pdf [--name NAME] FILE DAY MONTH YEAR FORECAST: the PDF page of kolvex-chart --pdf,
// which runs this program in its own place once the command line has passed its checks. It is the
// one part of the command that needs Qt, kept apart so that the text modes start without loading
// it.

#include <array>
#include <iostream>
#include <optional>
#include <string_view>

#include <QGuiApplication>

#include "chart/input_reader.h"
#include "chart/year_chart.h"
#include "cli/exit_status.h"
#include "cli/pdf_start.h"
#include "printer/output_file.h"
#include "printer/page_painting.h"

namespace {

// Qt's warnings and notes are about its own setting up (a runtime folder of its own where
// XDG_RUNTIME_DIR is unset, a switch to UTF-8 where the locale is not), never a failure of the
// command, which says itself when the page could not be written; only Qt's errors pass.
void PassQtErrors(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::cerr << qFormatLogMessage(type, context, message).toStdString() << '\n';
  }
}

} // namespace

int main(int argc, char **argv) {
  // The person's name, for the document's title, comes before the file.
  const int at = argc == 8 && std::string_view(argv[1]) == "--name" ? 3 : 1;
  if (argc != at + 5) {
    std::cerr << "usage: kolvex-chart --pdf FILE DAY MONTH YEAR FORECAST\n";
    return kolvex::ExitUsage;
  }
  std::optional<kolvex::BirthInput> input;
  try {
    input = kolvex::ParseAndCheck(argv[at + 1], argv[at + 2], argv[at + 3], argv[at + 4]);
  } catch (const kolvex::EConvertError &) {
  }
  if (!input) {
    std::cerr << "usage: kolvex-chart --pdf FILE DAY MONTH YEAR FORECAST\n";
    return kolvex::ExitUsage;
  }

  qInstallMessageHandler(PassQtErrors);
  qputenv("QT_QPA_PLATFORM", kolvex::PdfQtPlatform());
  int qtArgc = 1;
  std::array<char *, 2> qtArgv{argv[0], nullptr};
  const QGuiApplication application(qtArgc, qtArgv.data());

  const QString file = kolvex::Argument(argc, argv, at);
  const QString name = at > 1 ? kolvex::Argument(argc, argv, 2) : QString();
  const kolvex::YearChart chart = kolvex::YearChart::Compute(*input);
  const QString error =
      kolvex::WriteOutput(file, kolvex::ChartPdf(chart, kolvex::SystemPaperSize(), name));
  if (!error.isEmpty()) {
    std::cerr << "kolvex-chart: cannot write " << argv[at] << ": " << error.toStdString() << '\n';
    return kolvex::ExitIoError;
  }
  return 0;
}
