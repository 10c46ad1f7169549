// kolvex-chart as a script sees it: run as a process, its exit status and both streams.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "chart/legend.h"
#include "chart/year_chart.h"

extern char **environ;

namespace kolvex {
namespace {

constexpr std::string_view Usage = "usage: kolvex-chart DAY MONTH YEAR FORECAST [COL ROW]\n"
                                   "       kolvex-chart --help | --version\n";
constexpr std::string_view InvalidData = "Неверные данные\n";

class TempFile {
public:
  TempFile() {
    const char *dir = std::getenv("TMPDIR");
    path_ = std::string(dir && *dir ? dir : "/tmp") + "/kolvex-chart-test-XXXXXX";
    const int fd = mkstemp(path_.data());
    if (fd < 0) {
      throw std::runtime_error("cannot create " + path_);
    }
    close(fd);
  }
  ~TempFile() { unlink(path_.c_str()); }
  TempFile(const TempFile &) = delete;
  TempFile &operator=(const TempFile &) = delete;

  const std::string &Path() const { return path_; }
  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

private:
  std::string path_;
};

struct Outcome {
  int status = -1; // the exit status, or -1 when the process did not exit by itself
  std::string out;
  std::string err;
};

// Runs kolvex-chart with `args`, stdin from /dev/null; stdout goes to `stdoutPath` when given.
Outcome RunChart(const std::vector<std::string> &args, const char *stdoutPath = nullptr) {
  TempFile out;
  TempFile err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, stdoutPath ? stdoutPath : out.Path().c_str(),
                                   O_WRONLY | O_TRUNC, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.Path().c_str(), O_WRONLY | O_TRUNC, 0);

  std::vector<char *> argv{const_cast<char *>(KOLVEX_CHART_PATH)};
  for (const std::string &arg : args) {
    argv.push_back(const_cast<char *>(arg.c_str()));
  }
  argv.push_back(nullptr);

  Outcome outcome;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, KOLVEX_CHART_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot run " << KOLVEX_CHART_PATH;
    return outcome;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = out.Read();
  outcome.err = err.Read();
  return outcome;
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
  const std::string usage(Usage);
  const std::string invalid(InvalidData);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      // the command line
      {{}, 64, usage},
      {{"17", "9", "1974"}, 64, usage},
      {{"17", "9", "1974", "1999", "9"}, 64, usage},
      {{"17", "9", "1974", "1999", "9", "17", "1"}, 64, usage},
      {{"--help", "x"}, 64, usage},
      {{"-h"}, 64, usage},
      {{"--"}, 64, usage},
      {{"17", "9", "1974", "1999", "13", "1"}, 64, usage},
      {{"17", "9", "1974", "1999", "-2", "1"}, 64, usage},
      {{"17", "9", "1974", "1999", "1", "32"}, 64, usage},
      {{"17", "9", "1974", "1999", "1", "-2"}, 64, usage},
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
                                               {"--help"}}) {
    const Outcome outcome = RunChart(args, "/dev/full");
    EXPECT_EQ(74, outcome.status) << Joined(args);
    EXPECT_EQ("kolvex-chart: cannot write the output\n", outcome.err) << Joined(args);
  }
}

} // namespace
} // namespace kolvex
