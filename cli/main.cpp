// kolvex-chart: the year chart and the description of one day, for terminals and scripts.

#include <array>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/input_reader.h"
#include "chart/legend.h"
#include "chart/messages.h"
#include "chart/version.h"
#include "chart/year_chart.h"

namespace {

constexpr int ExitInvalidData = 1;
constexpr int ExitNotAnInteger = 2;
constexpr int ExitUsage = 64;    // EX_USAGE
constexpr int ExitSoftware = 70; // EX_SOFTWARE
constexpr int ExitIoError = 74;  // EX_IOERR

constexpr std::string_view Usage = "usage: kolvex-chart DAY MONTH YEAR FORECAST [COL ROW]\n"
                                   "       kolvex-chart --help | --version\n";

constexpr std::string_view Help =
    "NAME\n"
    "    kolvex-chart - a biorhythm year chart for terminals and scripts\n"
    "\n"
    "SYNOPSIS\n"
    "    kolvex-chart DAY MONTH YEAR FORECAST\n"
    "    kolvex-chart DAY MONTH YEAR FORECAST COL ROW\n"
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
    "    Numbers are read as the Kolvex window reads them: leading spaces, then an\n"
    "    optional sign and decimal digits, or \"$\" and hexadecimal digits, and\n"
    "    nothing after the last digit. They are read in the order YEAR, MONTH,\n"
    "    DAY, FORECAST, then COL and ROW. MONTH is 1 for January to 12. A birth\n"
    "    year from 1 to 2099 and a forecast year from the birth year to 2099 are\n"
    "    accepted. There are no options besides a lone --help or --version, so\n"
    "    \"-5\" is a number.\n"
    "\n"
    "EXIT STATUS\n"
    "    0   the chart or the description was printed\n"
    "    1   the numbers are out of range (\"Неверные данные\")\n"
    "    2   an argument is not an integer\n"
    "    64  the command line is wrong\n"
    "    74  the output could not be written\n"
    "\n"
    "EXAMPLES\n"
    "    kolvex-chart 17 9 1974 1999\n"
    "    kolvex-chart 17 9 1974 1999 9 17\n";

int UsageError() {
  std::cerr << Usage;
  return ExitUsage;
}

// What was written must have reached stdout: a full disk or a closed pipe is no success.
int Flushed() {
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "kolvex-chart: cannot write the output\n";
    return ExitIoError;
  }
  return 0;
}

void PrintChart(const kolvex::YearChart &chart) {
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
  std::cout << out;
}

int Run(const std::vector<std::string_view> &args) {
  if (args.size() == 1 && args[0] == "--help") {
    std::cout << Help;
    return Flushed();
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "kolvex-chart " << kolvex::Version << '\n';
    return Flushed();
  }
  if (args.size() != 4 && args.size() != 6) {
    return UsageError();
  }

  std::optional<kolvex::BirthInput> input;
  std::optional<int> column;
  std::optional<int> row;
  try {
    input = kolvex::ParseAndCheck(args[0], args[1], args[2], args[3]);
    if (input && args.size() == 6) {
      column = kolvex::StrToInt(args[4]);
      row = kolvex::StrToInt(args[5]);
    }
  } catch (const kolvex::EConvertError &error) {
    std::cerr << kolvex::ErrorText(error.what()) << '\n';
    return ExitNotAnInteger;
  }
  if (!input) {
    std::cerr << kolvex::InvalidDataMessage << '\n';
    return ExitInvalidData;
  }

  const kolvex::YearChart chart = kolvex::YearChart::Compute(*input);
  if (args.size() == 4) {
    PrintChart(chart);
    return Flushed();
  }
  if (*column < -1 || *column >= kolvex::YearChart::Columns || *row < -1 ||
      *row >= kolvex::YearChart::Rows) {
    return UsageError();
  }
  const kolvex::DayDescription description = kolvex::DescribeCell(chart, *column, *row);
  std::cout << description.legend << '\n' << description.date << '\n';
  return Flushed();
}

} // namespace

int main(int argc, char **argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    return Run(args);
  } catch (const std::exception &error) {
    std::cerr << "kolvex-chart: " << error.what() << '\n';
    return ExitSoftware;
  }
}
