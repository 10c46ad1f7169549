// Real printing: the program's printer, in fresh runs of print_chart_helper, prints on CUPS queues
// whose PDF printer (cups-pdf) writes every job to a file. The default destination is set the
// way a user sets their own, with lpoptions -d under a home directory of the test's, so the
// system's default is never touched. The tests take a lock, since they share the one cupsd, and
// leave the queues and the default destination as they found them.

#include <optional>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "chart/page_layout.h"
#include "tests/printer/pdf_reading.h"

namespace kolvex {
namespace {

using testing::PageGeometry;
using testing::PageReading;
using testing::PdfPageCount;
using testing::PdfWords;
using testing::ReadPage;
using testing::RunProgram;

// The queue of scripts/cups-test-queue, and where its PDF printer puts the jobs.
const QString TestQueue = QStringLiteral("kolvex-test");
const QString TestOutput = QStringLiteral("/var/spool/cups-pdf/kolvex-test");

constexpr BirthInput SampleInput{17, 9, 1974, 1999};
// 12 month names, 31 day numbers, the 365 days of 1999 and the 27 legend lines.
constexpr int SampleTextsDrawn = 12 + 31 + 365 + 27;

bool SchedulerRunning() {
  return RunProgram("lpstat", {"-r"}).trimmed() == "scheduler is running";
}

// The ids of a queue's jobs (of every queue's, for an empty name), finished ones included.
QSet<QString> Jobs(const QString &queue = {}) {
  QStringList arguments{"-W", "all", "-o"};
  if (!queue.isEmpty()) {
    arguments << queue;
  }
  QSet<QString> jobs;
  for (const QString &line : QString::fromUtf8(RunProgram("lpstat", arguments)).split('\n')) {
    const QString job = line.section(' ', 0, 0, QString::SectionSkipEmpty);
    if (!job.isEmpty()) {
      jobs.insert(job.section('-', -1));
    }
  }
  return jobs;
}

// Waits until CUPS has finished every job of the queue.
bool WaitForJobs(const QString &queue) {
  for (int attempt = 0; attempt < 600; ++attempt) {
    if (RunProgram("lpstat", {"-o", queue}).trimmed().isEmpty()) {
      return true;
    }
    QThread::msleep(100);
  }
  return false;
}

QSet<QString> Outputs() {
  const QStringList files = QDir(TestOutput).entryList({"*.pdf"}, QDir::Files);
  return {files.begin(), files.end()};
}

// The PDF that the test queue's printer wrote for a job: it names its files "<title>-job_<id>"
// or "job_<id>-<title>".
QString JobOutput(const QString &job) {
  const QRegularExpression name(QStringLiteral("(^|[^0-9])job_%1([^0-9]|$)").arg(job));
  for (const QString &file : Outputs()) {
    if (name.match(file).hasMatch()) {
      return QDir(TestOutput).filePath(file);
    }
  }
  return {};
}

// The queues with their devices and the default destination, as a user of this process sees them.
QString CupsState() {
  return QString::fromUtf8(RunProgram("lpstat", {"-v"}) + RunProgram("lpstat", {"-d"}));
}

// A fresh run of the program's printer. Each Ask sends one command and returns the answer.
class PrintingProgram {
public:
  explicit PrintingProgram(const QProcessEnvironment &environment) {
    process_.setProcessEnvironment(environment);
    process_.start(KOLVEX_PRINT_CHART_HELPER,
                   {QString::number(SampleInput.day), QString::number(SampleInput.month),
                    QString::number(SampleInput.year), QString::number(SampleInput.forecastYear)});
    process_.waitForStarted();
  }
  PrintingProgram(const PrintingProgram &) = delete;
  PrintingProgram &operator=(const PrintingProgram &) = delete;

  ~PrintingProgram() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished()) {
      process_.kill();
      process_.waitForFinished();
    }
  }

  std::string Ask(const char *command) {
    process_.write(QByteArray(command) + '\n');
    while (!process_.canReadLine() && process_.waitForReadyRead(60'000)) {
    }
    return process_.readLine().trimmed().toStdString();
  }

private:
  QProcess process_;
};

class CupsPrinting : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    lock_.setStaleLockTime(0);
    ASSERT_TRUE(lock_.lock());

    QProcess setUp;
    setUp.setProcessChannelMode(QProcess::MergedChannels);
    setUp.start(KOLVEX_CUPS_TEST_QUEUE, QStringList());
    ASSERT_TRUE(setUp.waitForFinished(120'000));
    const QString said = QString::fromUtf8(setUp.readAll());
    ASSERT_EQ(0, setUp.exitCode()) << said.toStdString();
    if (!SchedulerRunning()) {
      GTEST_SKIP() << "cupsd is not running and cannot start: " << said.toStdString();
    }
    state_ = CupsState();
    outputs_ = Outputs();
  }

  void TearDown() override {
    if (!state_) {
      return;
    }
    // Jobs still on their way would write their files after the clean-up.
    WaitForJobs(TestQueue);
    for (const QString &queue : added_) {
      WaitForJobs(queue);
      RunProgram("lpadmin", {"-x", queue});
    }
    for (const QString &file : Outputs() - outputs_) {
      QFile::remove(QDir(TestOutput).filePath(file));
    }
    EXPECT_EQ(*state_, CupsState());
  }

  // What the program runs with: the test's home, and no default destination from variables.
  QProcessEnvironment Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("LPDEST");
    environment.remove("PRINTER");
    environment.insert("HOME", home_.path());
    environment.insert("XDG_RUNTIME_DIR", home_.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
  }

  // Makes `queue` the user's default destination, as lpoptions -d does.
  void SetDefault(const QString &queue) {
    int exitCode = 0;
    RunProgram("lpoptions", {"-d", queue}, &exitCode, Environment());
    ASSERT_EQ(0, exitCode) << queue.toStdString();
  }

  // Names a destination that CUPS does not have as the user's default.
  void SetMissingDefault() {
    ASSERT_TRUE(QDir(home_.path()).mkpath(".cups"));
    QFile options(home_.filePath(".cups/lpoptions"));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("Default kolvex-test-missing\n");
  }

  // Adds a queue on the test queue's PDF printer; TearDown deletes it.
  void AddQueue(const QString &queue) {
    static const QString model = [] {
      const QString models = QString::fromUtf8(RunProgram("lpinfo", {"-m"}));
      return QRegularExpression(QStringLiteral(R"(^(\S*CUPS-PDF_\S*opt\.ppd)\s)"),
                                QRegularExpression::MultilineOption)
          .match(models)
          .captured(1);
    }();
    ASSERT_FALSE(model.isEmpty()) << "no CUPS-PDF printer model";
    int exitCode = 0;
    RunProgram("lpadmin", {"-p", queue, "-E", "-v", "cups-pdf:/" + TestQueue, "-m", model},
               &exitCode);
    ASSERT_EQ(0, exitCode) << queue.toStdString();
    if (!added_.contains(queue)) {
      added_ << queue;
    }
  }

  void RemoveQueue(const QString &queue) {
    int exitCode = 0;
    RunProgram("lpadmin", {"-x", queue}, &exitCode);
    ASSERT_EQ(0, exitCode) << queue.toStdString();
  }

  QTemporaryDir home_;

private:
  QLockFile lock_{QDir::temp().filePath("kolvex-cups-tests.lock")};
  std::optional<QString> state_;
  QSet<QString> outputs_;
  QStringList added_;
};

TEST_F(CupsPrinting, TheChartComesOutOnOnePageOfTheDefaultQueueWithEveryTextInPlace) {
  SetDefault(TestQueue);
  PrintingProgram program(Environment());
  const QStringList page = QString::fromStdString(program.Ask("page")).split(' ');
  ASSERT_EQ(5, page.size());
  const QSet<QString> before = Jobs(TestQueue);
  ASSERT_EQ("printed", program.Ask("print"));
  const QSet<QString> added = Jobs(TestQueue) - before;
  ASSERT_EQ(1, added.size());
  ASSERT_TRUE(WaitForJobs(TestQueue));
  const QString pdf = JobOutput(*added.begin());
  ASSERT_FALSE(pdf.isEmpty()) << "no PDF for job " << added.begin()->toStdString();

  EXPECT_EQ(1, PdfPageCount(pdf));
  const std::vector<PlacedText> layout =
      LayOutPage(YearChart::Compute(SampleInput), page[0].toInt(), page[1].toInt());
  const PageGeometry geometry{page[2].toInt(), {page[3].toDouble(), page[4].toDouble()}};
  const PageReading reading = ReadPage(PdfWords(pdf), layout, geometry);

  EXPECT_TRUE(reading.stray.empty()) << reading.stray.size() << " words off the layout";
  EXPECT_GE(reading.fontOffset, -3.0);
  EXPECT_LE(reading.fontOffset, 1.0);
  // After CUPS's conversion (pdftops, then Ghostscript in the PDF printer) the glyphs read back
  // as arbitrary symbols, and "я" as none at all: words lose it, or split where it stood. So
  // compare where the texts start and how many glyphs they hold.
  int drawn = 0;
  for (const auto &text : reading.texts) {
    const QString expected = QString::fromStdString(text.placed.text);
    const qsizetype glyphs = QString(expected).remove(' ').size();
    const qsizetype unread = expected.count(u'я') + expected.count(u'Я');
    qsizetype read = 0;
    for (const auto &word : text.words) {
      read += word.text.toUcs4().size();
    }
    const std::string where = text.placed.text + " at " + std::to_string(text.placed.x) + ", " +
                              std::to_string(text.placed.y);
    EXPECT_EQ(expected.isEmpty(), text.words.empty()) << where;
    EXPECT_LE(read, glyphs) << where;
    EXPECT_GE(read, glyphs - unread) << where;
    if (!text.words.empty()) {
      ++drawn;
      if (!expected.startsWith(u'я') && !expected.startsWith(u'Я')) {
        EXPECT_NEAR(text.topLeft.x(), text.words.front().xMin, 0.5) << where;
      }
    }
  }
  EXPECT_EQ(SampleTextsDrawn, drawn);
}

TEST_F(CupsPrinting, WithoutADefaultDestinationNothingIsPrintedAndTheNextPressLooksAgain) {
  SetMissingDefault();
  PrintingProgram program(Environment());
  const QSet<QString> jobs = Jobs();
  const QSet<QString> outputs = Outputs();
  EXPECT_EQ("There is no default printer currently selected", program.Ask("print"));
  EXPECT_EQ("There is no default printer currently selected", program.Ask("page"));
  EXPECT_EQ(jobs, Jobs());
  EXPECT_EQ(outputs, Outputs());

  SetDefault(TestQueue);
  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, (Jobs(TestQueue) - jobs).size());
  EXPECT_TRUE(WaitForJobs(TestQueue));
}

TEST_F(CupsPrinting, ThePrinterFoundFirstServesTheWholeRunThoughTheDefaultChanges) {
  const QString other = QStringLiteral("kolvex-test-other");
  AddQueue(other);
  SetDefault(TestQueue);
  const QSet<QString> onTest = Jobs(TestQueue);
  const QSet<QString> onOther = Jobs(other);
  {
    PrintingProgram program(Environment());
    ASSERT_EQ("printed", program.Ask("print"));
    SetDefault(other);
    ASSERT_EQ("printed", program.Ask("print"));
  }
  EXPECT_EQ(2, (Jobs(TestQueue) - onTest).size());
  EXPECT_EQ(onOther, Jobs(other));

  // A new run does see the new default.
  PrintingProgram program(Environment());
  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, (Jobs(other) - onOther).size());
  EXPECT_TRUE(WaitForJobs(TestQueue));
  EXPECT_TRUE(WaitForJobs(other));
}

TEST_F(CupsPrinting, APrinterGoneFromCupsIsNotValidAndIsTriedAgainOnTheNextPress) {
  const QString gone = QStringLiteral("kolvex-test-gone");
  AddQueue(gone);
  SetDefault(gone);
  PrintingProgram program(Environment());
  ASSERT_EQ("printed", program.Ask("print"));
  ASSERT_TRUE(WaitForJobs(gone));

  RemoveQueue(gone);
  SetDefault(TestQueue);
  const QSet<QString> jobs = Jobs();
  EXPECT_EQ("Printer selected is not valid", program.Ask("print"));
  EXPECT_EQ(jobs, Jobs());

  // Back under its name, the printer found first prints again; the new default gets nothing.
  AddQueue(gone);
  const QSet<QString> onGone = Jobs(gone);
  const QSet<QString> onTest = Jobs(TestQueue);
  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, (Jobs(gone) - onGone).size());
  EXPECT_EQ(onTest, Jobs(TestQueue));
  EXPECT_TRUE(WaitForJobs(gone));
}

} // namespace
} // namespace kolvex
