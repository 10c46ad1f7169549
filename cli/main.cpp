// kolvex-chart: the year chart and the description of one day, for terminals and scripts. It starts
// without Qt: --pdf alone needs it, and hands its work to the PDF helper (pdf_main.cpp).

#include <array>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/forecast.h"
#include "chart/icalendar.h"
#include "chart/input_reader.h"
#include "chart/legend.h"
#include "chart/messages.h"
#include "chart/version.h"
#include "chart/year_chart.h"
#include "chart/year_json.h"
#include "cli/exit_status.h"
#include "cli/platform.h"

namespace {

using kolvex::ExitInvalidData;
using kolvex::ExitIoError;
using kolvex::ExitNotAnInteger;
using kolvex::ExitSoftware;
using kolvex::ExitUsage;

constexpr std::string_view Usage = "usage: kolvex-chart DAY MONTH YEAR FORECAST [COL ROW]\n"
                                   "       kolvex-chart --pdf FILE DAY MONTH YEAR FORECAST\n"
                                   "       kolvex-chart --ics DAY MONTH YEAR FORECAST\n"
                                   "       kolvex-chart --json DAY MONTH YEAR FORECAST\n"
                                   "       kolvex-chart --help | --version\n";

constexpr std::string_view Help =
    "NAME\n"
    "    kolvex-chart - a biorhythm year chart for terminals and scripts\n"
    "\n"
    "SYNOPSIS\n"
    "    kolvex-chart DAY MONTH YEAR FORECAST\n"
    "    kolvex-chart DAY MONTH YEAR FORECAST COL ROW\n"
    "    kolvex-chart --pdf FILE DAY MONTH YEAR FORECAST\n"
    "    kolvex-chart --ics DAY MONTH YEAR FORECAST\n"
    "    kolvex-chart --json DAY MONTH YEAR FORECAST\n"
    "    kolvex-chart --help | --version\n"
    "\n"
    "DESCRIPTION\n"
    "    With four arguments, prints the year chart of FORECAST for a person born\n"
    "    on DAY MONTH YEAR: 32 lines of 13 cells joined by tabs. Row 0 holds the\n"
    "    month abbreviations, column 0 the day numbers, and each day of the year\n"
    "    its code for the physical (23-day), emotional (28-day) and intellectual\n"
    "    (33-day) cycles, each as \"+\" (first half), \"-\" (second half) or \"*\"\n"
    "    (a critical day). Days that do not exist are empty; so are, when FORECAST\n"
    "    is YEAR, the days before the birth date, which itself is \"***\".\n"
    "\n"
    "    With six arguments, describes the cell in column COL (0 to 12, or -1 for\n"
    "    none) and row ROW (0 to 31, or -1 for none): the saying for its code,\n"
    "    then its date with the weekday (empty for a header or no cell).\n"
    "\n"
    "    With --pdf, writes the page that Kolvex prints, the chart with the 27\n"
    "    sayings under it, as a one-page PDF into FILE, inside margins of 6.35 mm\n"
    "    (a quarter inch). A regular FILE, or one that does not exist yet, is\n"
    "    written whole or, when it cannot be, not at all, and an existing one is\n"
    "    replaced; a FIFO or a device is written in place and stays what it is;\n"
    "    \"-\" is standard output. The paper is that of the locale named by\n"
    "    LC_ALL or LC_PAPER (not C or POSIX), else the first word of\n"
    "    /etc/papersize (or of the file PAPERCONF names), else A4.\n"
    "\n"
    "    With --ics, prints the critical days of the chart (the days whose code\n"
    "    holds a \"*\") as an iCalendar calendar of all-day events, which calendar\n"
    "    programs import; importing it again updates the same events.\n"
    "\n"
    "    With --json, prints the year as one JSON object for scripts, in UTF-8:\n"
    "    {\"birth\": \"1974-09-17\", \"year\": 1999, \"days\": [...]}, one entry\n"
    "    for each day with its date, code, saying and the height of each cycle in\n"
    "    percent, round(100 sin(2 pi t / L)) on day t of a cycle of L days:\n"
    "    {\"date\": \"1999-01-01\", \"code\": \"---\", \"saying\": \"--- ...\",\n"
    "    \"physical\": -100, \"emotional\": -78, \"intellectual\": -81}. When\n"
    "    FORECAST is YEAR, the days before the birth date, which have no code,\n"
    "    are left out.\n"
    "\n"
    "    Numbers are read as the Kolvex window reads them: leading spaces, then an\n"
    "    optional sign and decimal digits, or \"$\" and hexadecimal digits, and\n"
    "    nothing after the last digit. They are read in the order YEAR, MONTH,\n"
    "    DAY, FORECAST, then COL and ROW. MONTH is 1 for January to 12. A birth\n"
    "    year from 1 to 2099 and a forecast year from the birth year to 2099 are\n"
    "    accepted. The options --pdf FILE, --ics and --json stand before the\n"
    "    numbers; --help and --version stand alone. Anything else is a number:\n"
    "    \"-5\" too.\n"
    "\n"
    "EXIT STATUS\n"
    "    0   the output or FILE was written\n"
    "    1   the numbers are out of range (\"Неверные данные\")\n"
    "    2   an argument is not an integer\n"
    "    64  the command line is wrong; a line says what, then the usage\n"
    "    74  the output or FILE could not be written; the message says why\n"
    "\n"
    "EXAMPLES\n"
    "    kolvex-chart 17 9 1974 1999\n"
    "    kolvex-chart 17 9 1974 1999 9 17\n"
    "    kolvex-chart --pdf chart.pdf 17 9 1974 1999\n"
    "    kolvex-chart --pdf - 17 9 1974 1999 | lp\n"
    "    kolvex-chart --ics 17 9 1974 1999 > critical-days.ics\n"
    "    kolvex-chart --json 17 9 1974 1999 > 1999.json\n";

void Complain(std::string_view text) {
  kolvex::WriteStream(text, true);
}

// A wrong command line: what was wrong, then the usage.
int UsageError(std::string_view reason) {
  Complain("kolvex-chart: " + std::string(reason) + '\n');
  Complain(Usage);
  return ExitUsage;
}

bool IsMode(std::string_view arg) {
  return arg == "--pdf" || arg == "--ics" || arg == "--json";
}

// An argument meant as an option rather than a number ("-5" and "-$1F" are numbers).
bool LooksLikeOption(std::string_view arg) {
  return arg.size() >= 2 && arg[0] == '-' &&
         (arg[1] == '-' || (arg[1] >= 'A' && arg[1] <= 'Z') || (arg[1] >= 'a' && arg[1] <= 'z'));
}

std::string Quoted(std::string_view arg) {
  return "'" + std::string(arg) + "'";
}

// Why a command line whose numbers are not where a mode takes them is wrong: an option that is
// unknown or out of place, else the count of numbers. `first` is where the numbers may begin.
std::string MisplacedOrMiscounted(const std::vector<std::string_view> &args, std::size_t first,
                                  std::size_t given) {
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "--version") {
      return Quoted(arg) + " stands alone";
    }
    if (IsMode(arg)) {
      return IsMode(args[0]) ? "only one of --pdf, --ics and --json may be given"
                             : Quoted(arg) + " must come before the numbers";
    }
    if (LooksLikeOption(arg)) {
      return "unknown option " + Quoted(arg);
    }
  }
  if (args.empty()) {
    return "no arguments";
  }
  const std::string count = std::to_string(given) + (given == 1 ? " number" : " numbers");
  if (first == 0) {
    return count + " given; DAY MONTH YEAR FORECAST takes 4, with COL ROW 6";
  }
  const std::string mode(args[0]);
  return args[0] == "--pdf" && args.size() == 1
             ? "--pdf takes a FILE, then DAY MONTH YEAR FORECAST"
             : count + " given after " + (args[0] == "--pdf" ? mode + " FILE" : mode) +
                   "; it takes DAY MONTH YEAR FORECAST";
}

// Writes `text` to stdout, all of it: a full disk or a closed pipe is no success.
int Output(std::string_view text) {
  const std::string error = kolvex::WriteStream(text);
  if (!error.empty()) {
    Complain("kolvex-chart: cannot write the output: " + error + '\n');
    return ExitIoError;
  }
  return 0;
}

std::string ChartText(const kolvex::YearChart &chart) {
  std::string out;
  out.reserve(4096);
  for (int row = 0; row < kolvex::YearChart::Rows; ++row) {
    for (int column = 0; column < kolvex::YearChart::Columns; ++column) {
      if (column > 0) {
        out += '\t';
      }
      out += chart.Text(column, row);
    }
    out += '\n';
  }
  return out;
}

// Now in UTC as an iCalendar DATE-TIME: when the calendar was made.
std::string UtcStamp() {
  const std::tm utc = kolvex::UtcNow();
  std::array<char, 32> text{};
  std::strftime(text.data(), text.size(), "%Y%m%dT%H%M%SZ", &utc);
  return text.data();
}

// Hands --pdf to the PDF helper: it lies at KOLVEX_PDF_HELPER from this program's folder, in the
// build tree as where it is installed.
int WritePdf(std::span<const std::string_view> fileAndNumbers) {
  return kolvex::RunPdfHelper(KOLVEX_PDF_HELPER, fileAndNumbers);
}

int Run(const std::vector<std::string_view> &args) {
  if (args.size() == 1 && args[0] == "--help") {
    return Output(Help);
  }
  if (args.size() == 1 && args[0] == "--version") {
    return Output("kolvex-chart " + std::string(kolvex::Version) + '\n');
  }
  // The option and its file, then the numbers.
  std::string_view option;
  std::span<const std::string_view> numbers(args);
  if (!args.empty() && (args[0] == "--pdf" || args[0] == "--ics" || args[0] == "--json")) {
    option = args[0];
    numbers = numbers.subspan(1);
    if (option == "--pdf" && !numbers.empty()) {
      numbers = numbers.subspan(1); // the file
    }
    if (numbers.size() != 4) {
      return UsageError(MisplacedOrMiscounted(args, args.size() - numbers.size(), numbers.size()));
    }
  } else if (args.size() != 4 && args.size() != 6) {
    return UsageError(MisplacedOrMiscounted(args, 0, args.size()));
  }

  std::optional<kolvex::BirthInput> input;
  std::optional<int> column;
  std::optional<int> row;
  try {
    input = kolvex::ParseAndCheck(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (input && numbers.size() == 6) {
      column = kolvex::StrToInt(numbers[4]);
      row = kolvex::StrToInt(numbers[5]);
    }
  } catch (const kolvex::EConvertError &error) {
    Complain(kolvex::ErrorText(error.what()) + '\n');
    return ExitNotAnInteger;
  }
  if (!input) {
    Complain(std::string(kolvex::InvalidDataMessage) + '\n');
    return ExitInvalidData;
  }

  if (option == "--pdf") {
    return WritePdf(std::span(args).subspan(1));
  }
  const kolvex::Forecast forecast = kolvex::Forecast::Of(*input);
  const kolvex::YearChart &chart = forecast.chart;
  if (option == "--json") {
    return Output(kolvex::YearJson(forecast));
  }
  if (option == "--ics") {
    return Output(kolvex::CriticalDaysCalendar(forecast, UtcStamp()));
  }
  if (numbers.size() == 4) {
    return Output(ChartText(chart));
  }
  const auto outside = [](std::string_view name, int value, int last) {
    return std::string(name) + ' ' + std::to_string(value) + " is outside -1.." +
           std::to_string(last) + " (the cell is MONTH then DAY)";
  };
  if (*column < -1 || *column >= kolvex::YearChart::Columns) {
    return UsageError(outside("COL", *column, kolvex::YearChart::Columns - 1));
  }
  if (*row < -1 || *row >= kolvex::YearChart::Rows) {
    return UsageError(outside("ROW", *row, kolvex::YearChart::Rows - 1));
  }
  const kolvex::DayDescription description = kolvex::DescribeCell(chart, *column, *row);
  return Output(std::string(description.legend) + '\n' + description.date + '\n');
}

} // namespace

int main(int argc, char **argv) {
  kolvex::SetUpStreams();
  std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    return Run(args);
  } catch (const std::exception &error) {
    Complain(std::string("kolvex-chart: ") + error.what() + '\n');
    return ExitSoftware;
  }
}
