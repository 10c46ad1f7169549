// kolvex-chart: the year chart and the description of one day, for terminals and scripts, and the
// list of people the window keeps. It starts without Qt: --pdf alone needs it, and hands its work
// to the PDF helper (pdf_main.cpp).

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
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
#include "people/people_file.h"
#include "people/people_file_system.h"
#include "people/people_import.h"
#include "people/vcard.h"

namespace {

using kolvex::ExitDataError;
using kolvex::ExitInvalidData;
using kolvex::ExitIoError;
using kolvex::ExitNoInput;
using kolvex::ExitNotAnInteger;
using kolvex::ExitSoftware;
using kolvex::ExitUsage;

constexpr std::string_view Usage =
    "usage: kolvex-chart DAY MONTH YEAR FORECAST [COL ROW]\n"
    "       kolvex-chart --pdf FILE DAY MONTH YEAR FORECAST\n"
    "       kolvex-chart --ics DAY MONTH YEAR FORECAST\n"
    "       kolvex-chart --json DAY MONTH YEAR FORECAST\n"
    "       kolvex-chart [--pdf FILE | --ics | --json] --person NAME FORECAST\n"
    "       kolvex-chart --person NAME FORECAST COL ROW\n"
    "       kolvex-chart --people | --export | --import FILE...\n"
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
    "    kolvex-chart [--pdf FILE | --ics | --json] --person NAME FORECAST\n"
    "    kolvex-chart --person NAME FORECAST COL ROW\n"
    "    kolvex-chart --people | --export | --import FILE...\n"
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
    "    With --person NAME in place of DAY MONTH YEAR, the birth date is that of\n"
    "    the person of the list of people whose name is exactly NAME; the output\n"
    "    is the same, but that --json starts with {\"name\": NAME, ...}, --ics\n"
    "    names the calendar and every event after the person and --pdf puts the\n"
    "    name in the document's title.\n"
    "\n"
    "    The list of people is the one the Kolvex window keeps, in\n"
    "    $XDG_DATA_HOME/kolvex/people.txt, else ~/.local/share/kolvex/people.txt.\n"
    "    --people prints one line a person, the name, a tab and the birth date as\n"
    "    YYYY-MM-DD, in the list's order. --export prints the list as vCard 4.0.\n"
    "    --import reads address books (vCard 2.1, 3.0 and 4.0, or CSV; \"-\" is\n"
    "    standard input) and adds their people with a birthday to the list, in one\n"
    "    change: people already there are not added again, and a name taken by\n"
    "    another date comes in as \"NAME (2)\". It prints a summary; each record\n"
    "    refused is named on standard error as FILE:LINE: reason, and birthdays\n"
    "    without a year are left out and named in the summary. Without a list\n"
    "    the list is empty, and only --import creates the file.\n"
    "\n"
    "    Numbers are read as the Kolvex window reads them: leading spaces, then an\n"
    "    optional sign and decimal digits, or \"$\" and hexadecimal digits, and\n"
    "    nothing after the last digit. They are read in the order YEAR, MONTH,\n"
    "    DAY, FORECAST, then COL and ROW. MONTH is 1 for January to 12. A birth\n"
    "    year from 1 to 2099 and a forecast year from the birth year to 2099 are\n"
    "    accepted. The options --pdf FILE, --ics and --json stand before the\n"
    "    numbers, and --person NAME after them; --help, --version, --people and\n"
    "    --export stand alone, and --import before its files. Anything else is a\n"
    "    number: \"-5\" too.\n"
    "\n"
    "EXIT STATUS\n"
    "    0   the output or FILE was written\n"
    "    1   the numbers are out of range (\"Неверные данные\")\n"
    "    2   an argument is not an integer\n"
    "    64  the command line is wrong; a line says what, then the usage; or\n"
    "        no person has the NAME of --person\n"
    "    65  the list of people cannot be read or changed; the message names the\n"
    "        file, the line and what is wrong\n"
    "    66  a file to import cannot be read; nothing is imported\n"
    "    74  the output or FILE could not be written; the message says why\n"
    "\n"
    "EXAMPLES\n"
    "    kolvex-chart 17 9 1974 1999\n"
    "    kolvex-chart 17 9 1974 1999 9 17\n"
    "    kolvex-chart --pdf chart.pdf 17 9 1974 1999\n"
    "    kolvex-chart --pdf - 17 9 1974 1999 | lp\n"
    "    kolvex-chart --ics 17 9 1974 1999 > critical-days.ics\n"
    "    kolvex-chart --json 17 9 1974 1999 > 1999.json\n"
    "    kolvex-chart --person 'Иван Петров' 1999\n"
    "    kolvex-chart --ics --person 'Иван Петров' 1999 > ivan.ics\n"
    "    kolvex-chart --people\n"
    "    kolvex-chart --import contacts.vcf\n"
    "    kolvex-chart --export > people.vcf\n";

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

bool StandsAlone(std::string_view arg) {
  return arg == "--help" || arg == "--version" || arg == "--people" || arg == "--export";
}

// Why a command line whose numbers are not where a mode takes them is wrong: an option that is
// unknown or out of place, else the count of numbers. `first` is where the numbers may begin,
// after the mode and `--person NAME` when `named`.
std::string MisplacedOrMiscounted(const std::vector<std::string_view> &args, std::size_t first,
                                  std::size_t given, bool named) {
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (StandsAlone(arg)) {
      return Quoted(arg) + " stands alone";
    }
    if (arg == "--import") {
      return "'--import' comes first, then its files";
    }
    if (arg == "--person") {
      return "'--person NAME' takes the place of DAY MONTH YEAR, after --pdf FILE, --ics or --json";
    }
    if (IsMode(arg)) {
      return IsMode(args[0]) ? "only one of --pdf, --ics and --json may be given"
             : named         ? Quoted(arg) + " must come before --person"
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
  const std::string mode = !IsMode(args[0])     ? ""
                           : args[0] == "--pdf" ? "--pdf FILE"
                                                : std::string(args[0]);
  if (named) {
    return count + " given after " + (mode.empty() ? "" : mode + " ") +
           "--person NAME; it takes FORECAST" + (mode.empty() ? ", with COL ROW 3" : "");
  }
  if (first == 0) {
    return count + " given; DAY MONTH YEAR FORECAST takes 4, with COL ROW 6";
  }
  return args[0] == "--pdf" && args.size() == 1
             ? "--pdf takes a FILE, then DAY MONTH YEAR FORECAST"
             : count + " given after " + mode + "; it takes DAY MONTH YEAR FORECAST";
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
int WritePdf(std::span<const std::string_view> args) {
  return kolvex::RunPdfHelper(KOLVEX_PDF_HELPER, args);
}

int ListError(const kolvex::PeopleFileError &error) {
  Complain("kolvex-chart: " + error.Message() + '\n');
  return ExitDataError;
}

// The list as the window keeps it; none is an empty list, and reading it creates nothing.
kolvex::PeopleFileContent ReadList() {
  const std::filesystem::path file = kolvex::PeopleFilePath();
  return file.empty() ? kolvex::PeopleFileContent{} : kolvex::ReadPeopleFile(file);
}

std::string IsoDate(const kolvex::BirthDate &date) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", date.year, date.month, date.day);
  return text.data();
}

int PrintPeople(bool asVCards) {
  const kolvex::PeopleFileContent content = ReadList();
  if (content.error) {
    return ListError(*content.error);
  }
  if (asVCards) {
    return Output(kolvex::WriteVCards(content.list));
  }
  std::string out;
  for (const kolvex::Person &person : content.list.people) {
    out += person.name + '\t' + IsoDate(person.birth) + '\n';
  }
  return Output(out);
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::u8string_view(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size());
}

// Every file is read before the list is touched, so that one that cannot be read leaves the list
// as it was; then all of them are merged in one change.
int ImportFiles(std::span<const std::string_view> files) {
  std::vector<std::string> contents;
  for (const std::string_view file : files) {
    std::string reason;
    std::optional<std::string> bytes;
    if (file == "-") {
      bytes.emplace(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
      reason = std::cin.bad() ? "read error" : "";
    } else {
      bytes = kolvex::people_file_system::ReadBytes(PathFromUtf8(file), reason);
      if (!bytes && reason.empty()) {
        reason = std::make_error_code(std::errc::no_such_file_or_directory).message();
      }
    }
    if (!reason.empty()) {
      Complain("kolvex-chart: cannot read " + std::string(file) + ": " + reason + '\n');
      return ExitNoInput;
    }
    contents.push_back(std::move(*bytes));
  }
  const std::filesystem::path listFile = kolvex::PeopleFilePath();
  if (listFile.empty()) {
    Complain("kolvex-chart: no folder for the list of people: neither XDG_DATA_HOME nor HOME is "
             "set\n");
    return ExitDataError;
  }
  kolvex::ImportSummary total;
  const kolvex::PeopleFileContent written =
      kolvex::ChangePeopleFile(listFile, [&](kolvex::PeopleList &list) {
        total = {};
        for (std::size_t i = 0; i < files.size(); ++i) {
          kolvex::ImportSummary summary = kolvex::Import(list, files[i], contents[i]);
          total.added += summary.added;
          total.alreadyThere += summary.alreadyThere;
          total.withoutBirthday += summary.withoutBirthday;
          std::move(summary.withoutYear.begin(), summary.withoutYear.end(),
                    std::back_inserter(total.withoutYear));
          std::move(summary.refused.begin(), summary.refused.end(),
                    std::back_inserter(total.refused));
        }
      });
  if (written.error) {
    return ListError(*written.error);
  }
  // The summary ends with the refusals, one a line: they go to standard error instead.
  std::string summary = kolvex::SummaryText(total);
  std::string refusals;
  for (const std::string &refusal : total.refused) {
    refusals += refusal + '\n';
  }
  summary.resize(summary.size() - refusals.size());
  Complain(refusals);
  return Output(summary);
}

int Run(const std::vector<std::string_view> &args) {
  if (args.size() == 1 && args[0] == "--help") {
    return Output(Help);
  }
  if (args.size() == 1 && args[0] == "--version") {
    return Output("kolvex-chart " + std::string(kolvex::Version) + '\n');
  }
  if (args.size() == 1 && (args[0] == "--people" || args[0] == "--export")) {
    return PrintPeople(args[0] == "--export");
  }
  if (!args.empty() && args[0] == "--import") {
    if (args.size() == 1) {
      return UsageError("--import takes one FILE or more ('-' is standard input)");
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] != "-" && LooksLikeOption(args[i])) {
        return UsageError(MisplacedOrMiscounted(args, i, 0, false));
      }
    }
    return ImportFiles(std::span(args).subspan(1));
  }
  // The mode and its file, `--person NAME` or the birth numbers, then the rest of the numbers.
  std::string_view option;
  std::size_t first = 0;
  if (!args.empty() && IsMode(args[0])) {
    option = args[0];
    first = option == "--pdf" && args.size() > 1 ? 2 : 1;
  }
  std::optional<std::string_view> name;
  if (first < args.size() && args[first] == "--person") {
    if (first + 1 == args.size()) {
      return UsageError("--person takes a NAME, then FORECAST");
    }
    name = args[first + 1];
    first += 2;
  }
  const std::size_t given = args.size() - first;
  const std::size_t forecastAt = name ? 0 : 3; // of the numbers given
  if (given != forecastAt + 1 && (!option.empty() || given != forecastAt + 3)) {
    return UsageError(MisplacedOrMiscounted(args, first, given, name.has_value()));
  }

  std::vector<std::string> birth; // the person's, as numbers
  if (name) {
    const kolvex::PeopleFileContent content = ReadList();
    if (content.error) {
      return ListError(*content.error);
    }
    const auto &people = content.list.people;
    const auto person = std::ranges::find(people, *name, &kolvex::Person::name);
    if (person == people.end()) {
      Complain("kolvex-chart: no person named " + Quoted(*name) + '\n');
      return ExitUsage;
    }
    birth = {std::to_string(person->birth.day), std::to_string(person->birth.month),
             std::to_string(person->birth.year)};
  }
  std::vector<std::string_view> numbers(birth.begin(), birth.end());
  numbers.insert(numbers.end(), args.begin() + static_cast<std::ptrdiff_t>(first), args.end());

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
    std::vector<std::string_view> helperArgs;
    if (name) {
      helperArgs = {"--name", *name};
    }
    helperArgs.push_back(args[1]); // the file
    helperArgs.insert(helperArgs.end(), numbers.begin(), numbers.end());
    return WritePdf(helperArgs);
  }
  const kolvex::Forecast forecast = kolvex::Forecast::Of(*input);
  const kolvex::YearChart &chart = forecast.chart;
  if (option == "--json") {
    return Output(kolvex::YearJson(forecast, name.value_or("")));
  }
  if (option == "--ics") {
    return Output(kolvex::CriticalDaysCalendar(forecast, UtcStamp(), name.value_or("")));
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
  const std::vector<std::string> arguments = kolvex::Arguments(argc, argv);
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  try {
    return Run(args);
  } catch (const std::exception &error) {
    Complain(std::string("kolvex-chart: ") + error.what() + '\n');
    return ExitSoftware;
  }
}
