// kolvex-chart as a script sees it: run as a process, its exit status and both streams.

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "chart/legend.h"
#include "chart/page_layout.h"
#include "chart/year_chart.h"
#include "tests/printer/pdf_reading.h"
#include "tests/process_runner.h"

namespace kolvex {
namespace {

constexpr std::string_view Usage =
    "usage: kolvex-chart DAY MONTH YEAR FORECAST [COL ROW]\n"
    "       kolvex-chart --pdf FILE DAY MONTH YEAR FORECAST\n"
    "       kolvex-chart --ics DAY MONTH YEAR FORECAST\n"
    "       kolvex-chart --json DAY MONTH YEAR FORECAST\n"
    "       kolvex-chart [--pdf FILE | --ics | --json] --person NAME FORECAST\n"
    "       kolvex-chart --person NAME FORECAST COL ROW\n"
    "       kolvex-chart --people | --export | --import FILE...\n"
    "       kolvex-chart --help | --version\n";
constexpr std::string_view InvalidData = "Неверные данные\n";

struct Outcome {
  int status = -1; // the exit status, or -1 when the process did not exit by itself
  std::string out;
  std::string err;
};

// The environment of a run: this one without a display, a locale or paper setting or
// XDG_RUNTIME_DIR, then `settings` ("NAME=value"). Without a locale a run has C's, which is not
// UTF-8.
QProcessEnvironment Environment(const std::vector<std::string> &settings) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANG", "LC_ALL",
                           "LC_CTYPE", "LC_PAPER", "PAPERCONF", "XDG_RUNTIME_DIR"}) {
    environment.remove(name);
  }
  for (const std::string &setting : settings) {
    const std::size_t equals = setting.find('=');
    environment.insert(QString::fromStdString(setting.substr(0, equals)),
                       QString::fromStdString(setting.substr(equals + 1)));
  }
  return environment;
}

// Runs kolvex-chart with `args`, stdin empty or the file `stdinPath`; stdout goes to `stdoutPath`
// when given.
Outcome RunChart(const std::vector<std::string> &args, const char *stdoutPath = nullptr,
                 const std::vector<std::string> &settings = {}, const std::string &stdinPath = {}) {
  QStringList arguments;
  for (const std::string &arg : args) {
    arguments << QString::fromStdString(arg);
  }
  const testing::ProcessRun run =
      testing::RunProcess(KOLVEX_CHART_PATH, arguments, Environment(settings),
                          stdoutPath ? QString::fromUtf8(stdoutPath) : QString(), 60,
                          QString::fromStdString(stdinPath));
  return {run.status, run.out.toStdString(), run.err.toStdString()};
}

std::string Joined(const std::vector<std::string> &args) {
  std::string text;
  for (const std::string &arg : args) {
    text += "[" + arg + "]";
  }
  return text;
}

std::string ChartText(const BirthInput &input) {
  const YearChart chart = YearChart::Compute(input);
  std::string text;
  for (int row = 0; row < YearChart::Rows; ++row) {
    for (int column = 0; column < YearChart::Columns; ++column) {
      text += column > 0 ? "\t" : "";
      text += chart.Text(column, row);
    }
    text += "\n";
  }
  return text;
}

TEST(KolvexChart, PrintsTheChart) {
  const Outcome outcome = RunChart({"17", "9", "1974", "1999"});
  EXPECT_EQ(0, outcome.status);
  EXPECT_EQ("", outcome.err);
  EXPECT_EQ(ChartText({17, 9, 1974, 1999}), outcome.out);

  std::istringstream lines(outcome.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ("\tянв\tфев\tмар\tапр\tмай\tиюн\tиюл\tавг\tсен\tокт\tноя\tдек", line);
  std::getline(lines, line);
  EXPECT_TRUE(line.starts_with("1\t---\t")) << line;
  int count = 2;
  while (std::getline(lines, line)) {
    ++count;
  }
  EXPECT_EQ(32, count);

  // The same numbers written otherwise, and the birth-year chart.
  EXPECT_EQ(outcome.out, RunChart({"  17", "$9", "$7B6", "+1999"}).out);
  EXPECT_EQ(ChartText({17, 9, 1974, 1974}), RunChart({"17", "9", "1974", "1974"}).out);
}

TEST(KolvexChart, DescribesACell) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  const std::string prompt(LegendPrompt);
  const struct {
    std::string column, row;
    std::string out;
  } cases[] = {
      {"9", "17",
       std::string(LegendLine(chart.Text(9, 17))) + "\n17 сентября 1999  пятница      \n"},
      {"1", "1", "--- Самое время вспомнить друзей\n1 января 1999  пятница      \n"},
      {"2", "30", prompt + "\n30 февраля 1999  вторник   \n"}, // 2 March
      {"-1", "-1", prompt + "\n\n"},
      {"0", "0", prompt + "\n\n"},
      {"0", "31", prompt + "\n\n"},
      {"12", "0", prompt + "\n\n"},
      {"$C", "$1F",
       std::string(LegendLine(chart.Text(12, 31))) + "\n31 декабря 1999  пятница      \n"},
  };
  for (const auto &c : cases) {
    const Outcome outcome = RunChart({"17", "9", "1974", "1999", c.column, c.row});
    EXPECT_EQ(0, outcome.status) << c.column << ',' << c.row;
    EXPECT_EQ(c.out, outcome.out) << c.column << ',' << c.row;
    EXPECT_EQ("", outcome.err) << c.column << ',' << c.row;
  }
}

TEST(KolvexChart, ExitStatusAndMessages) {
  const auto notInteger = [](std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value.\n";
  };
  const auto usage = [](std::string_view reason) {
    return "kolvex-chart: " + std::string(reason) + '\n' + std::string(Usage);
  };
  const std::string invalid(InvalidData);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      // the command line: what was wrong, then the usage
      {{}, 64, usage("no arguments")},
      {{"17", "9", "1974"},
       64,
       usage("3 numbers given; DAY MONTH YEAR FORECAST takes 4, with COL ROW 6")},
      {{"17", "9", "1974", "1999", "9"},
       64,
       usage("5 numbers given; DAY MONTH YEAR FORECAST takes 4, with COL ROW 6")},
      {{"17", "9", "1974", "1999", "9", "17", "1"},
       64,
       usage("7 numbers given; DAY MONTH YEAR FORECAST takes 4, with COL ROW 6")},
      {{"--help", "x"}, 64, usage("'--help' stands alone")},
      {{"17", "--version"}, 64, usage("'--version' stands alone")},
      {{"-h"}, 64, usage("unknown option '-h'")},
      {{"-x"}, 64, usage("unknown option '-x'")},
      {{"--"}, 64, usage("unknown option '--'")},
      {{"--JSON", "17", "9", "1974", "1999"}, 64, usage("unknown option '--JSON'")},
      {{"17", "9", "1974", "1999", "17", "9"},
       64,
       usage("COL 17 is outside -1..12 (the cell is MONTH then DAY)")},
      {{"17", "9", "1974", "1999", "13", "1"},
       64,
       usage("COL 13 is outside -1..12 (the cell is MONTH then DAY)")},
      {{"17", "9", "1974", "1999", "-2", "1"},
       64,
       usage("COL -2 is outside -1..12 (the cell is MONTH then DAY)")},
      {{"17", "9", "1974", "1999", "1", "32"},
       64,
       usage("ROW 32 is outside -1..31 (the cell is MONTH then DAY)")},
      {{"17", "9", "1974", "1999", "1", "-2"},
       64,
       usage("ROW -2 is outside -1..31 (the cell is MONTH then DAY)")},
      {{"--pdf"}, 64, usage("--pdf takes a FILE, then DAY MONTH YEAR FORECAST")},
      {{"--pdf", "/nowhere/x.pdf", "17", "9", "1974"},
       64,
       usage("3 numbers given after --pdf FILE; it takes DAY MONTH YEAR FORECAST")},
      {{"--pdf", "17", "9", "1974", "1999"},
       64,
       usage("3 numbers given after --pdf FILE; it takes DAY MONTH YEAR FORECAST")},
      {{"--ics", "17", "9", "1974", "1999", "9", "17"},
       64,
       usage("6 numbers given after --ics; it takes DAY MONTH YEAR FORECAST")},
      {{"--ics", "--pdf", "/nowhere/x.pdf", "17", "9", "1974", "1999"},
       64,
       usage("only one of --pdf, --ics and --json may be given")},
      {{"17", "9", "1974", "1999", "--ics"}, 64, usage("'--ics' must come before the numbers")},
      {{"17", "9", "1974", "1999", "--json"}, 64, usage("'--json' must come before the numbers")},
      {{"--json", "17", "9", "1974"},
       64,
       usage("3 numbers given after --json; it takes DAY MONTH YEAR FORECAST")},
      {{"--json", "--ics", "17", "9", "1974", "1999"},
       64,
       usage("only one of --pdf, --ics and --json may be given")},
      // the list of people
      {{"--person"}, 64, usage("--person takes a NAME, then FORECAST")},
      {{"--ics", "--person"}, 64, usage("--person takes a NAME, then FORECAST")},
      {{"--person", "Иван"},
       64,
       usage("0 numbers given after --person NAME; it takes FORECAST, with COL ROW 3")},
      {{"--person", "Иван", "1999", "9"},
       64,
       usage("2 numbers given after --person NAME; it takes FORECAST, with COL ROW 3")},
      {{"--pdf", "x.pdf", "--person", "Иван", "1999", "9", "17"},
       64,
       usage("3 numbers given after --pdf FILE --person NAME; it takes FORECAST")},
      {{"--person", "Иван", "--json", "1999"}, 64, usage("'--json' must come before --person")},
      {{"17", "9", "1974", "--person", "Иван"},
       64,
       usage("'--person NAME' takes the place of DAY MONTH YEAR, after --pdf FILE, --ics or "
             "--json")},
      {{"--people", "1999"}, 64, usage("'--people' stands alone")},
      {{"--json", "--export"}, 64, usage("'--export' stands alone")},
      {{"--import"}, 64, usage("--import takes one FILE or more ('-' is standard input)")},
      {{"--import", "a.vcf", "--people"}, 64, usage("'--people' stands alone")},
      {{"--import", "a.vcf", "-x"}, 64, usage("unknown option '-x'")},
      {{"17", "9", "1974", "--import", "a.vcf"},
       64,
       usage("'--import' comes first, then its files")},
      // texts that are no integer, read in the order YEAR, MONTH, DAY, FORECAST, COL, ROW
      {{"x", "9", "1974", "1999"}, 2, notInteger("x")},
      {{"17 ", "9", "1974", "1999"}, 2, notInteger("17 ")},
      {{"", "9", "1974", "1999"}, 2, notInteger("")},
      {{"17", "+$9", "1974", "1999"}, 2, notInteger("+$9")},
      {{"Иван", "9", "1974", "1999"}, 2, notInteger("Иван")},
      {{"--help", "9", "1974", "1999"}, 2, notInteger("--help")}, // an option only when alone
      {{"d", "m", "y", "f"}, 2, notInteger("y")},
      {{"d", "m", "1974", "f"}, 2, notInteger("m")},
      {{"d", "9", "1974", "f"}, 2, notInteger("d")},
      {{"17", "9", "1974", "f"}, 2, notInteger("f")},
      {{"17", "9", "1974", "1999", "c", "r"}, 2, notInteger("c")},
      {{"17", "9", "1974", "1999", "1", "r"}, 2, notInteger("r")},
      {{"17", "9", "1974", "1999", "99", "r"}, 2, notInteger("r")},
      {{"--ics", "17", "9", "$", "1999"}, 2, notInteger("$")},
      {{"--pdf", "/nowhere/x.pdf", "17", "9", "1974", "f"}, 2, notInteger("f")},
      {{"--json", "17", "9", "1974", "1e3"}, 2, notInteger("1e3")},
      // out of range
      {{"-5", "9", "1974", "1999"}, 1, invalid}, // a value, never an option
      {{"17", "0", "1974", "1999"}, 1, invalid},
      {{"17", "13", "1974", "1999"}, 1, invalid},
      {{"31", "4", "1974", "1999"}, 1, invalid},
      {{"29", "2", "1974", "1999"}, 1, invalid},
      {{"1", "1", "2100", "2100"}, 1, invalid},
      {{"17", "9", "1974", "1973"}, 1, invalid},
      {{"17", "9", "1974", "2100"}, 1, invalid},
      // the birth data are checked before COL and ROW are read
      {{"17", "9", "1974", "3000", "c", "r"}, 1, invalid},
      {{"17", "9", "1974", "3000", "99", "99"}, 1, invalid},
      {{"--ics", "-5", "9", "1974", "1999"}, 1, invalid},
      {{"--pdf", "/nowhere/x.pdf", "17", "9", "1974", "1973"}, 1, invalid},
      {{"--json", "29", "2", "1999", "1999"}, 1, invalid},
  };
  for (const auto &c : cases) {
    const Outcome outcome = RunChart(c.args);
    EXPECT_EQ(c.status, outcome.status) << Joined(c.args);
    EXPECT_EQ("", outcome.out) << Joined(c.args);
    EXPECT_EQ(c.err, outcome.err) << Joined(c.args);
  }
}

TEST(KolvexChart, HelpAndVersion) {
  const Outcome help = RunChart({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_TRUE(help.out.starts_with("NAME\n    kolvex-chart - ")) << help.out;
  EXPECT_NE(std::string::npos, help.out.find("EXIT STATUS")) << help.out;
  EXPECT_EQ("", help.err);

  const Outcome version = RunChart({"--version"});
  EXPECT_EQ(0, version.status);
  EXPECT_EQ("kolvex-chart 2.03\n", version.out);
  EXPECT_EQ("", version.err);
}

TEST(KolvexChart, AnOutputThatCannotBeWrittenIsNoSuccess) {
  if (access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "no /dev/full";
  }
  for (const std::vector<std::string> &args : {std::vector<std::string>{"17", "9", "1974", "1999"},
                                               {"17", "9", "1974", "1999", "9", "17"},
                                               {"--ics", "17", "9", "1974", "1999"},
                                               {"--json", "17", "9", "1974", "1999"},
                                               {"--help"}}) {
    const Outcome outcome = RunChart(args, "/dev/full");
    EXPECT_EQ(74, outcome.status) << Joined(args);
    EXPECT_EQ("kolvex-chart: cannot write the output: No space left on device\n", outcome.err)
        << Joined(args);
  }
}

// The page's paper as pdfinfo names its size in points, from the paper settings of a run.
TEST(KolvexChart, WritesThePrintedPageAsPdfOnTheSystemsPaper) {
  QTemporaryDir directory;
  const std::string dir = directory.path().toStdString();
  const auto file = [&dir](const std::string &name, const std::string &text) {
    std::ofstream(dir + "/" + name) << text;
    return "PAPERCONF=" + dir + "/" + name;
  };
  // A locale of letter paper of the test's own: the system may have none installed.
  const bool usLocale =
      std::system(
          ("localedef -i en_US -f UTF-8 " + dir + "/en_US.UTF-8 >/dev/null 2>&1").c_str()) == 0;
  const struct {
    std::vector<std::string> settings;
    QPageSize::PageSizeId paper;
  } cases[] = {
      {{"PAPERCONF=" + dir + "/none"}, QPageSize::A4},
      {{file("letter", "# the paper\n\n  letter  \n")}, QPageSize::Letter},
      {{file("b5", "b5\n")}, QPageSize::B5},
      {{file("legal", "Legal a4\n")}, QPageSize::Legal},
      {{file("unknown", "foolscap\n")}, QPageSize::A4},
      {{file("a5", "a5\n"), "LC_PAPER=C.UTF-8"}, QPageSize::A5},
      {{file("a5", "a5\n"), "LC_ALL=POSIX"}, QPageSize::A5},
      {{file("a5", "a5\n"), "LC_PAPER=xx_YY.UTF-8"}, QPageSize::A5}, // not installed
      {{file("a5", "a5\n"), "LOCPATH=" + dir, "LC_PAPER=en_US.UTF-8"}, QPageSize::Letter},
      {{file("a5", "a5\n"), "LOCPATH=" + dir, "LC_ALL=en_US.UTF-8", "LC_PAPER=C"},
       QPageSize::Letter},
  };
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  const QString pdf = directory.filePath("page.pdf");
  for (const auto &c : cases) {
    const std::string settings = Joined(c.settings);
    if (!usLocale && settings.find("en_US") != std::string::npos) {
      continue;
    }
    std::filesystem::remove(pdf.toStdString());
    const Outcome outcome =
        RunChart({"--pdf", pdf.toStdString(), "17", "9", "1974", "1999"}, nullptr, [&] {
          auto all = c.settings;
          all.push_back("XDG_RUNTIME_DIR=" + dir); // Qt asks for it
          return all;
        }());
    ASSERT_EQ(0, outcome.status) << settings << outcome.err;
    EXPECT_EQ("", outcome.out + outcome.err) << settings;

    const QSizeF points = QPageSize(c.paper).size(QPageSize::Point);
    const QString info = QString::fromUtf8(testing::RunProgram("pdfinfo", {pdf}));
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Pages: +1\n(.*\n)*Page size: +%1 x %2 pts")
                                             .arg(std::round(points.width()))
                                             .arg(std::round(points.height())))))
        << settings << info.toStdString();

    EXPECT_TRUE(info.contains("Title:           Биоритмы на 1999 год\n")) << info.toStdString();

    // Every text at its place: the page's printable area is the paper less a quarter inch each
    // side.
    const double margin = 6.35;
    const QRect area =
        QPageLayout(QPageSize(c.paper), QPageLayout::Portrait,
                    QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter)
            .paintRectPixels(1200);
    const std::vector<PlacedText> layout = LayOutPage(chart, area.width(), area.height());
    const testing::PageReading page =
        testing::ReadPage(testing::PdfWords(pdf), layout, {1200, QPointF(18, 18)}); // points
    EXPECT_TRUE(page.stray.empty()) << settings;
    int drawn = 0;
    for (const auto &text : page.texts) {
      QStringList words;
      for (const auto &word : text.words) {
        words << word.text;
      }
      EXPECT_EQ(text.placed.text, words.join(' ').toStdString()) << settings;
      if (!text.words.empty()) {
        ++drawn;
        EXPECT_NEAR(text.topLeft.x(), text.words.front().xMin, 0.5) << text.placed.text;
      }
    }
    EXPECT_EQ(12 + 31 + 365 + 27, drawn) << settings;
  }
}

// Where --pdf may point: a regular file is replaced whole or left as it was, anything else is
// written in place and stays what it is; a failure says the system's reason.
TEST(KolvexChart, WritesThePdfWhereverItIsPointedOrSaysWhyNot) {
  QTemporaryDir directory;
  const std::string dir = directory.path().toStdString();
  std::filesystem::create_directory(dir + "/taken.pdf");
  std::ofstream(dir + "/old.pdf") << "old";
  mkfifo((dir + "/fifo").c_str(), 0600);
  // Disks of the test's own, where it may mount them: a full one, and one with room for part of
  // the page (some 17 KiB).
  const auto mount = [&dir](const std::string &name, const std::string &size,
                            const std::string &filler) {
    const std::string at = dir + "/" + name;
    std::filesystem::create_directory(at);
    return std::system(("mount -t tmpfs -o size=" + size + " tmpfs " + at +
                        " 2>/dev/null && head -c " + filler + " /dev/zero > " + at +
                        "/filler 2>/dev/null; mountpoint -q " + at)
                           .c_str()) == 0;
  };
  const bool full = mount("full", "32k", "32k");
  const bool small = mount("small", "16k", "0");
  const struct {
    std::string path;
    int status;
    std::string reason;              // after "cannot write PATH: "
    std::filesystem::file_type type; // what is there afterwards
  } cases[] = {
      {dir + "/new.pdf", 0, "", std::filesystem::file_type::regular},
      {dir + "/old.pdf", 0, "", std::filesystem::file_type::regular},
      {dir + "/fifo", 0, "", std::filesystem::file_type::fifo},
      {"-", 0, "", std::filesystem::file_type::not_found},
      {dir + "/missing/page.pdf", 74, "No such file or directory",
       std::filesystem::file_type::not_found},
      {dir + "/taken.pdf", 74, "Is a directory", std::filesystem::file_type::directory},
      {"/dev/full", 74, "No space left on device", std::filesystem::file_type::character},
      {dir + "/full/page.pdf", 74, "No space left on device",
       std::filesystem::file_type::not_found},
      {dir + "/small/page.pdf", 74, "No space left on device",
       std::filesystem::file_type::not_found},
  };
  for (const auto &c : cases) {
    if ((c.path.find("/full/") != std::string::npos && !full) ||
        (c.path.find("/small/") != std::string::npos && !small)) {
      continue;
    }
    // A FIFO's reader, as a shell pipeline would have it.
    std::future<QByteArray> reader;
    if (c.path.ends_with("/fifo")) {
      reader = std::async(std::launch::async, [&c] {
        return testing::RunProgram("cat", {QString::fromStdString(c.path)});
      });
    }
    // Every other case without XDG_RUNTIME_DIR: Qt must not say a word either way.
    const Outcome outcome =
        RunChart({"--pdf", c.path, "17", "9", "1974", "1999"}, nullptr,
                 {(&c - cases) % 2 == 0 ? "XDG_RUNTIME_DIR=" + dir : "NO_XDG=1"});
    EXPECT_EQ(c.status, outcome.status) << c.path;
    EXPECT_EQ(c.type, std::filesystem::symlink_status(c.path).type()) << c.path;
    if (c.status != 0) {
      EXPECT_EQ("kolvex-chart: cannot write " + c.path + ": " + c.reason + "\n", outcome.err);
      continue;
    }
    EXPECT_EQ("", outcome.err) << c.path;
    QByteArray pdf = c.path == "-" ? QByteArray::fromStdString(outcome.out) : QByteArray();
    if (reader.valid()) {
      pdf = reader.get();
    } else if (pdf.isEmpty()) {
      QFile file(QString::fromStdString(c.path));
      EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << c.path;
      pdf = file.readAll();
    }
    QFile copy(directory.filePath("copy.pdf"));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
    copy.write(pdf);
    copy.close();
    EXPECT_EQ(1, testing::PdfPageCount(copy.fileName())) << c.path;
  }
  for (const auto &[disk, mounted] : {std::pair{"full", full}, std::pair{"small", small}}) {
    if (mounted) {
      const std::string at = dir + "/" + disk;
      EXPECT_EQ(std::filesystem::path(at + "/filler"),
                std::filesystem::directory_iterator(at)->path())
          << "something left beside the filler on " << disk;
      EXPECT_EQ(0, std::system(("umount " + at).c_str()));
    }
  }
  // Nothing left beside the files of the test.
  std::set<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ((std::set<std::string>{"copy.pdf", "fifo", "full", "new.pdf", "old.pdf", "small",
                                   "taken.pdf"}),
            names);
}

// The calendar read back by a reader of its own: lines split at CRLF, unfolded, split into name
// and value, TEXT values unescaped.
struct CalendarEvent {
  std::string start, end, summary, description, uid;
};
struct Calendar {
  std::map<std::string, std::string> head; // the properties before the first event
  std::vector<CalendarEvent> events;
};

Calendar ReadCalendar(const std::string &text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    EXPECT_NE(std::string::npos, end) << "no CRLF after " << text.substr(at);
    const std::string physical = text.substr(at, end - at);
    EXPECT_LE(physical.size(), 75u) << physical;
    EXPECT_EQ(std::string::npos, physical.find('\n')) << physical;
    // No character cut in two: every physical line is whole UTF-8 on its own.
    EXPECT_TRUE(QString::fromUtf8(physical).toUtf8().toStdString() == physical) << physical;
    EXPECT_FALSE(!physical.empty() && (static_cast<unsigned char>(physical[0]) & 0xC0) == 0x80);
    if (physical.starts_with(' ')) {
      lines.back() += physical.substr(1);
    } else {
      lines.push_back(physical);
    }
    at = end == std::string::npos ? text.size() : end + 2;
  }
  const auto unescape = [](std::string_view value) {
    std::string plain;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) {
        ++i;
        plain += value[i] == 'n' || value[i] == 'N' ? '\n' : value[i];
      } else {
        plain += value[i];
      }
    }
    return plain;
  };
  Calendar calendar;
  CalendarEvent *event = nullptr;
  for (const std::string &line : lines) {
    const std::size_t colon = line.find(':');
    const std::string name = line.substr(0, colon);
    const std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
    if (line == "BEGIN:VEVENT") {
      event = &calendar.events.emplace_back();
    } else if (line == "END:VEVENT") {
      event = nullptr;
    } else if (event == nullptr) {
      calendar.head[name] = unescape(value);
    } else if (name == "DTSTART;VALUE=DATE") {
      event->start = value;
    } else if (name == "DTEND;VALUE=DATE") {
      event->end = value;
    } else if (name == "SUMMARY") {
      event->summary = unescape(value);
    } else if (name == "DESCRIPTION") {
      event->description = unescape(value);
    } else if (name == "UID") {
      event->uid = value;
    } else if (name == "DTSTAMP") {
      EXPECT_TRUE(QString::fromStdString(value).contains(QRegularExpression("^\\d{8}T\\d{6}Z$")))
          << value;
    }
  }
  return calendar;
}

std::string DateText(std::chrono::sys_days day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

// The command line of `option` for a birth and forecast year.
std::vector<std::string> OptionArgs(const std::string &option, const BirthInput &input) {
  return {option, std::to_string(input.day), std::to_string(input.month),
          std::to_string(input.year), std::to_string(input.forecastYear)};
}

TEST(KolvexChart, PrintsTheCriticalDaysAsACalendar) {
  for (const BirthInput &input : {BirthInput{17, 9, 1974, 1999}, BirthInput{17, 9, 1974, 1974},
                                  BirthInput{29, 2, 2000, 2099}}) {
    const std::vector<std::string> args = OptionArgs("--ics", input);
    const Outcome outcome = RunChart(args);
    ASSERT_EQ(0, outcome.status) << Joined(args);
    EXPECT_EQ("", outcome.err);
    const Calendar calendar = ReadCalendar(outcome.out);
    EXPECT_EQ("VCALENDAR", calendar.head.at("BEGIN"));
    EXPECT_EQ("2.0", calendar.head.at("VERSION"));
    EXPECT_EQ("GREGORIAN", calendar.head.at("CALSCALE"));
    EXPECT_FALSE(calendar.head.at("PRODID").empty());
    EXPECT_NE(std::string::npos, outcome.out.find("\r\n ")) << "no line was folded";

    // The days of the year whose code holds a '*', walked by the standard calendar.
    const YearChart chart = YearChart::Compute(input);
    const std::array<std::string, 3> cycles{"физический", "эмоциональный", "интеллектуальный"};
    std::vector<CalendarEvent> expected;
    using namespace std::chrono;
    const sys_days first = year(input.forecastYear) / January / 1;
    for (sys_days day = first; day < sys_days(year(input.forecastYear + 1) / January / 1);
         day += days(1)) {
      const year_month_day date(day);
      const std::string code(chart.Text(static_cast<int>(static_cast<unsigned>(date.month())),
                                        static_cast<int>(static_cast<unsigned>(date.day()))));
      if (code.find('*') == std::string::npos) {
        continue;
      }
      std::string critical;
      for (std::size_t i = 0; i < 3; ++i) {
        if (code[i] == '*') {
          critical += (critical.empty() ? "" : ", ") + cycles[i];
        }
      }
      expected.push_back({DateText(day), DateText(day + days(1)), std::string(LegendLine(code)),
                          "Критический день: " + critical, ""});
    }
    ASSERT_EQ(expected.size(), calendar.events.size()) << Joined(args);
    std::set<std::string> uids;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const CalendarEvent &event = calendar.events[i];
      EXPECT_EQ(expected[i].start, event.start);
      EXPECT_EQ(expected[i].end, event.end);
      EXPECT_EQ(expected[i].summary, event.summary) << event.start;
      EXPECT_EQ(expected[i].description, event.description) << event.start;
      uids.insert(event.uid);
    }
    EXPECT_EQ(expected.size(), uids.size()) << "UIDs repeat";
    // The same events on every run: an imported calendar is updated, not doubled.
    const Calendar again = ReadCalendar(RunChart(args).out);
    for (std::size_t i = 0; i < again.events.size() && i < expected.size(); ++i) {
      EXPECT_EQ(calendar.events[i].uid, again.events[i].uid);
    }
  }
}

// Every day's heights against GNU gcal's biorhythm percentages, and every code against the chart.
TEST(KolvexChart, PrintsTheYearAsJsonWithGcalsPercentages) {
  if (std::system("gcal --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no gcal";
  }
  // gcal reads no resource file whose path holds a "-".
  QTemporaryDir directory(QDir::tempPath() + "/kolvexXXXXXX");
  const QString resource = directory.filePath("biorhythm.rc");
  for (const BirthInput &input : {BirthInput{17, 9, 1974, 1999}, BirthInput{29, 2, 1996, 1996},
                                  BirthInput{29, 2, 1996, 2099}}) {
    const std::vector<std::string> args = OptionArgs("--json", input);
    const Outcome outcome = RunChart(args);
    ASSERT_EQ(0, outcome.status) << Joined(args);
    EXPECT_EQ("", outcome.err);
    char birth[16];
    std::snprintf(birth, sizeof birth, "%04d%02d%02d", input.year, input.month, input.day);
    std::ofstream(resource.toStdString()) << "0*d1#366 %," << birth << "\n";
    // One line a day from 1 January: "Fr,   1 Jan 1999: ... Emo=-078%+ Int=-081%+ Phy=-100%@".
    const QStringList gcal =
        QString::fromUtf8(testing::RunProgram("gcal", {"-u", "-f", resource, "-cY",
                                                       QString::number(input.forecastYear)}))
            .split('\n')
            .filter(QStringLiteral("Phy="));
    const QRegularExpression percent(
        QStringLiteral("Emo=([-+]\\d+)%.*Int=([-+]\\d+)%.*Phy=([-+]\\d+)%"));

    const QString json = QString::fromStdString(outcome.out);
    EXPECT_TRUE(
        json.startsWith(QStringLiteral("{\"birth\": \"%1-%2-%3\", \"year\": %4, \"days\": [")
                            .arg(input.year, 4, 10, QChar('0'))
                            .arg(input.month, 2, 10, QChar('0'))
                            .arg(input.day, 2, 10, QChar('0'))
                            .arg(input.forecastYear)))
        << outcome.out.substr(0, 80);
    EXPECT_TRUE(json.endsWith("}\n]}\n"));
    const QRegularExpression entry(QStringLiteral(
        "\\{\"date\": \"(\\d{4})-(\\d\\d)-(\\d\\d)\", \"code\": \"([-+*]{3})\", \"saying\": "
        "\"([^\"]*)\", "
        "\"physical\": (-?\\d+), \"emotional\": (-?\\d+), \"intellectual\": (-?\\d+)\\}"));
    const YearChart chart = YearChart::Compute(input);
    using namespace std::chrono;
    const sys_days first = year(input.forecastYear) / January / 1;
    const sys_days start = input.forecastYear == input.year
                               ? sys_days(year(input.year) / input.month / input.day)
                               : first;
    sys_days expected = start;
    for (auto match = entry.globalMatch(json); match.hasNext(); expected += days(1)) {
      const QRegularExpressionMatch day = match.next();
      const year_month_day date(year(day.captured(1).toInt()),
                                month(static_cast<unsigned>(day.captured(2).toInt())),
                                std::chrono::day(static_cast<unsigned>(day.captured(3).toInt())));
      ASSERT_EQ(expected, sys_days(date)) << day.captured(0).toStdString();
      const std::string code = day.captured(4).toStdString();
      EXPECT_EQ(chart.Text(day.captured(2).toInt(), day.captured(3).toInt()), code);
      EXPECT_EQ(LegendLine(code), day.captured(5).toStdString());
      const auto line = static_cast<qsizetype>((sys_days(date) - first).count());
      ASSERT_LT(line, gcal.size());
      const QRegularExpressionMatch reference = percent.match(gcal[line]);
      ASSERT_TRUE(reference.hasMatch()) << gcal[line].toStdString();
      EXPECT_EQ(reference.captured(3).toInt(), day.captured(6).toInt()) << gcal[line].toStdString();
      EXPECT_EQ(reference.captured(1).toInt(), day.captured(7).toInt()) << gcal[line].toStdString();
      EXPECT_EQ(reference.captured(2).toInt(), day.captured(8).toInt()) << gcal[line].toStdString();
    }
    EXPECT_EQ(sys_days(year(input.forecastYear + 1) / January / 1), expected) << Joined(args);
  }
}

// A folder of the test's own as the user's data folder: the list lies in DIR/kolvex/people.txt.
struct PeopleFolder {
  QTemporaryDir directory;
  std::string dir = directory.path().toStdString();
  std::string list = dir + "/kolvex/people.txt";

  std::string Write(const std::string &name, const std::string &text) const {
    std::filesystem::create_directories(std::filesystem::path(dir + "/" + name).parent_path());
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
    return dir + "/" + name;
  }
  Outcome Run(const std::vector<std::string> &args, const std::string &stdinPath = {}) const {
    return RunChart(args, nullptr, {"XDG_DATA_HOME=" + dir, "XDG_RUNTIME_DIR=" + dir}, stdinPath);
  }
};

std::string Card(const std::string &name, const std::string &birthday) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name + "\r\nBDAY:" + birthday + "\r\nEND:VCARD\r\n";
}

std::string Summary(int added, int there, const std::string &withoutYear, int refused) {
  return "added: " + std::to_string(added) + "\nalready there: " + std::to_string(there) +
         "\nwithout a birthday: 0\nwithout a year: " + withoutYear +
         "\nrefused: " + std::to_string(refused) + "\n";
}

// One user's runs in order: nothing is written before the first import, and an export imported
// into another folder gives the same list.
TEST(KolvexChart, ImportsListsAndExportsPeople) {
  const PeopleFolder folder;
  const std::string cards =
      folder.Write("a.vcf", Card("Иван Петров", "1974-09-17") + Card("Без года", "--0917") +
                                Card("Плохой", "1974-02-31"));
  const std::string csv = folder.Write("b.csv", "name,birthday\nМария,2000-02-29\n");
  const std::string refusal =
      cards + ":14: the birthday 1974-02-31 is not a real date from year 1 to 2099\n";
  const std::string people = "Иван Петров\t1974-09-17\nМария\t2000-02-29\n";
  const struct {
    std::vector<std::string> args;
    std::string stdinPath;
    int status;
    std::string out, err;
  } steps[] = {
      {{"--people"}, "", 0, "", ""},
      {{"--export"}, "", 0, "", ""},
      {{"--person", "Иван Петров", "1999"},
       "",
       64,
       "",
       "kolvex-chart: no person named 'Иван Петров'\n"},
      {{"--import", folder.dir + "/none.vcf"},
       "",
       66,
       "",
       "kolvex-chart: cannot read " + folder.dir + "/none.vcf: No such file or directory\n"},
      {{"--import", cards}, "", 0, Summary(1, 0, "1 (Без года)", 1), refusal},
      {{"--import", cards}, "", 0, Summary(0, 1, "1 (Без года)", 1), refusal},
      // every file read before the list changes
      {{"--import", csv, folder.dir},
       "",
       66,
       "",
       "kolvex-chart: cannot read " + folder.dir + ": Is a directory\n"},
      {{"--people"}, "", 0, "Иван Петров\t1974-09-17\n", ""},
      {{"--import", "-", cards}, csv, 0, Summary(1, 1, "1 (Без года)", 1), refusal},
      {{"--import", "-"}, csv, 0, Summary(0, 1, "0", 0), ""},
      {{"--people"}, "", 0, people, ""},
  };
  for (const auto &step : steps) {
    const Outcome outcome = folder.Run(step.args, step.stdinPath);
    EXPECT_EQ(step.status, outcome.status) << Joined(step.args);
    EXPECT_EQ(step.out, outcome.out) << Joined(step.args);
    EXPECT_EQ(step.err, outcome.err) << Joined(step.args);
    if (&step - steps < 4) {
      EXPECT_FALSE(std::filesystem::exists(folder.dir + "/kolvex")) << Joined(step.args);
    }
  }
  EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
            std::filesystem::status(folder.list).permissions());

  const PeopleFolder other;
  const std::string exported = other.Write("people.vcf", folder.Run({"--export"}).out);
  EXPECT_EQ(0, other.Run({"--import", exported}).status);
  EXPECT_EQ(people, other.Run({"--people"}).out);
}

// --person NAME gives what the birth numbers give, the name added where a mode carries it.
TEST(KolvexChart, PersonStandsForTheBirthNumbers) {
  const PeopleFolder folder;
  folder.Write("kolvex/people.txt", "kolvex-people 1\n1974-09-17\tИван Петров\n*\t2000-02-29\t"
                                    "Петрова, \"Маша\" \\м\n");
  const struct {
    std::string name, json;
    std::vector<std::string> birth;
  } people[] = {
      {"Иван Петров", "\"Иван Петров\"", {"17", "9", "1974"}},
      {"Петрова, \"Маша\" \\м", "\"Петрова, \\\"Маша\\\" \\\\м\"", {"29", "2", "2000"}},
  };
  for (const auto &person : people) {
    const auto numbers = [&](std::vector<std::string> mode, std::vector<std::string> rest) {
      mode.insert(mode.end(), person.birth.begin(), person.birth.end());
      mode.insert(mode.end(), rest.begin(), rest.end());
      return folder.Run(mode);
    };
    const auto named = [&](std::vector<std::string> mode, std::vector<std::string> rest) {
      mode.insert(mode.end(), {"--person", person.name});
      mode.insert(mode.end(), rest.begin(), rest.end());
      return folder.Run(mode);
    };
    for (const std::vector<std::string> &rest :
         {std::vector<std::string>{"2001"}, {"2001", "3", "1"}}) {
      const Outcome outcome = named({}, rest);
      EXPECT_EQ(0, outcome.status) << person.name << outcome.err;
      EXPECT_EQ(numbers({}, rest).out, outcome.out) << person.name;
    }
    const std::string json = named({"--json"}, {"2001"}).out;
    EXPECT_EQ("{\"name\": " + person.json + ", " + numbers({"--json"}, {"2001"}).out.substr(1),
              json);

    const Calendar calendar = ReadCalendar(named({"--ics"}, {"2001"}).out);
    const Calendar plain = ReadCalendar(numbers({"--ics"}, {"2001"}).out);
    EXPECT_EQ("Критические дни: " + person.name, calendar.head.at("X-WR-CALNAME"));
    EXPECT_EQ(0u, plain.head.count("X-WR-CALNAME"));
    ASSERT_EQ(plain.events.size(), calendar.events.size());
    for (std::size_t i = 0; i < plain.events.size(); ++i) {
      EXPECT_EQ(plain.events[i].uid, calendar.events[i].uid);
      EXPECT_EQ(person.name + ": " + plain.events[i].summary, calendar.events[i].summary);
    }

    const QString pdf = folder.directory.filePath("named.pdf");
    ASSERT_EQ(0, named({"--pdf", pdf.toStdString()}, {"2001"}).status);
    EXPECT_TRUE(QString::fromUtf8(testing::RunProgram("pdfinfo", {pdf}))
                    .contains(QString::fromStdString(
                        "Title:           Биоритмы на 2001 год: " + person.name + "\n")));
  }
}

// A list that cannot be read is named with what is wrong and left as it is; one of a later
// version is read but not changed.
TEST(KolvexChart, AListThatCannotBeReadOrChanged) {
  const struct {
    std::string text;
    std::vector<std::string> args;
    int status;
    std::string out, err; // "LIST" stands for the list's path
  } cases[] = {
      {"kolvex-people 1\nnonsense\n", {"--people"}, 65, "", "kolvex-chart: LIST:2: "},
      {"kolvex-people 1\nnonsense\n", {"--export"}, 65, "", "kolvex-chart: LIST:2: "},
      {"kolvex-people 1\nnonsense\n",
       {"--person", "Иван", "1999"},
       65,
       "",
       "kolvex-chart: LIST:2: "},
      {"kolvex-people 1\nnonsense\n", {"--import", "-"}, 65, "", "kolvex-chart: LIST:2: "},
      {"kolvex-people 2\n1974-09-17\tИван\n", {"--people"}, 0, "Иван\t1974-09-17\n", ""},
      {"kolvex-people 2\n1974-09-17\tИван\n",
       {"--person", "Иван", "1974", "9", "17"},
       0,
       std::string(LegendLine("***")) + "\n17 сентября 1974  вторник   \n",
       ""},
      {"kolvex-people 2\n1974-09-17\tИван\n",
       {"--import", "-"},
       65,
       "",
       "kolvex-chart: LIST: written by a later version of Kolvex, which this one does not "
       "rewrite\n"},
      {"kolvex-people 1\n1974-09-17\tИван\n",
       {"--person", "иван", "1999"},
       64,
       "",
       "kolvex-chart: no person named 'иван'\n"},
  };
  for (const auto &c : cases) {
    const PeopleFolder folder;
    folder.Write("kolvex/people.txt", c.text);
    const std::string cards = folder.Write("a.vcf", Card("Мария", "2000-02-29"));
    const Outcome outcome = folder.Run(c.args, cards);
    const std::string err = QString::fromStdString(c.err)
                                .replace("LIST", QString::fromStdString(folder.list))
                                .toStdString();
    EXPECT_EQ(c.status, outcome.status) << c.text << Joined(c.args);
    EXPECT_EQ(c.out, outcome.out) << c.text << Joined(c.args);
    EXPECT_TRUE(err.ends_with('\n') ? outcome.err == err : outcome.err.starts_with(err))
        << c.text << Joined(c.args) << outcome.err;
    std::ifstream list(folder.list, std::ios::binary);
    EXPECT_EQ(c.text, std::string(std::istreambuf_iterator<char>(list), {})) << Joined(c.args);
  }
}

// Two imports at once wait for each other and lose nothing.
TEST(KolvexChart, TwoImportsAtOnceKeepEveryPerson) {
  const PeopleFolder folder;
  std::array<std::string, 2> files;
  for (std::size_t f = 0; f < files.size(); ++f) {
    std::string cards;
    for (int i = 1; i <= 200; ++i) {
      cards += Card("Человек " + std::to_string(f) + "-" + std::to_string(i), "1990-01-01");
    }
    files[f] = folder.Write("people" + std::to_string(f) + ".vcf", cards);
  }
  auto first = std::async(std::launch::async, [&] { return folder.Run({"--import", files[0]}); });
  const Outcome second = folder.Run({"--import", files[1]});
  EXPECT_EQ(0, first.get().status);
  EXPECT_EQ(0, second.status) << second.err;
  const std::string list = folder.Run({"--people"}).out;
  EXPECT_EQ(400, std::count(list.begin(), list.end(), '\n'));
}

} // namespace
} // namespace kolvex
