// Printing from the result window, as a user does: fresh runs of the program's windows
// (print_window_helper) press the show button and then the print button, on a CUPS scheduler of
// the test's own. Then its queue stops, refuses jobs or is deleted, or the scheduler stops, freezes
// or is replaced by a server that never answers, between two prints: the user is told, the windows
// stay usable, and the next print after the fault is mended comes out.

#include <functional>
#include <ostream>

#include <QFile>

#include <gtest/gtest.h>

#include "chart/legend.h"
#include "printer/print_worker.h"
#include "tests/printer/cups_testing.h"
#include "tests/printer/pdf_reading.h"
#include "tests/process_runner.h"

namespace kolvex {
namespace {

using testing::HelperProgram;
using testing::PdfPageCount;
using testing::PrivateCups;
using testing::TestQueue;

const std::string Shown = "shown Ваши биоритмы на 1999 год";

// A fresh run of the program's windows with the birth date 17 September 1974 and 1999 typed in.
class WindowProgram : public HelperProgram {
public:
  explicit WindowProgram(const QProcessEnvironment &environment)
      : HelperProgram(KOLVEX_PRINT_WINDOW_HELPER, {"17", "9", "1974", "1999"}, environment) {}
};

using WindowPrinting = testing::CupsQueueTest;

TEST_F(WindowPrinting, ThePrintButtonPrintsTheChartOnOnePageOfTheDefaultQueue) {
  SetDefault(TestQueue);
  // The page reaches CUPS whole whatever the temporary directory: it never goes through one.
  const QString notADirectory = home_.filePath("file");
  ASSERT_TRUE(QFile(notADirectory).open(QIODevice::WriteOnly));
  QProcessEnvironment noTemporaryDirectory = Environment();
  noTemporaryDirectory.insert("TMPDIR", QDir(notADirectory).filePath("tmp"));
  for (const QProcessEnvironment &environment : {Environment(), noTemporaryDirectory}) {
    WindowProgram program(environment);
    ASSERT_EQ(Shown, program.Ask("show"));
    const QString pdf = PrintOnTestQueue(program);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(1, PdfPageCount(pdf));
    EXPECT_EQ("usable", program.Ask("state"));
    EXPECT_EQ(0, program.Finish());
  }
}

// The lines of a printed page's text, each as its words with single spaces between them. Fonts
// that draw the hyphen and the soft hyphen with one glyph read back either: both are hyphens here.
QStringList TextLines(const QString &pdf) {
  QStringList lines;
  for (const QString &line :
       QString::fromUtf8(testing::RunProgram("pdftotext", {"-layout", pdf, "-"})).split('\n')) {
    if (!line.simplified().isEmpty()) {
      lines << line.simplified().replace(QChar(0xAD), '-');
    }
  }
  return lines;
}

// Kolvex for Windows, installed from its package into a fresh Wine prefix and driven as a user
// drives it (scripts/windows-printout), prints the same texts as the program here through Wine's
// spooler onto the default queue. Runs when KOLVEX_WINDOWS_SETUP names the installer, as
// make test-windows does; the picture of the screen and the page are left in the test's folder.
TEST_F(WindowPrinting, TheWindowsProgramUnderWinePrintsTheSameTexts) {
  const QString setup = qEnvironmentVariable("KOLVEX_WINDOWS_SETUP");
  if (setup.isEmpty()) {
    GTEST_SKIP() << "KOLVEX_WINDOWS_SETUP names no Windows installer";
  }
  SetDefault(TestQueue);
  WindowProgram program(Environment());
  ASSERT_EQ(Shown, program.Ask("show"));
  const QString here = PrintOnTestQueue(program);
  ASSERT_FALSE(here.isEmpty());
  const QStringList expected = TextLines(here);
  EXPECT_EQ(0, program.Finish());

  QFile::remove(cups_.Output(TestQueue));
  QProcessEnvironment windows = Environment();
  windows.remove("QT_QPA_PLATFORM");
  int exitCode = 0;
  const QByteArray steps = testing::RunProgram(
      KOLVEX_WINDOWS_PRINTOUT, {setup, "kolvex-under-wine.png"}, &exitCode, windows, 600);
  ASSERT_EQ(0, exitCode) << steps.toStdString();
  ASSERT_TRUE(cups_.WaitForJobs(TestQueue));
  const QString there = cups_.Output(TestQueue);
  QFile::remove("kolvex-under-wine.pdf");
  QFile::copy(there, "kolvex-under-wine.pdf");
  EXPECT_EQ(1, PdfPageCount(there));
  EXPECT_EQ(expected.join('\n').toStdString(), TextLines(there).join('\n').toStdString());
}

// The test queue is the user's default destination.
class PrintFault : public testing::CupsQueueTest {
protected:
  void SetUp() override {
    CupsQueueTest::SetUp();
    if (!IsSkipped() && !HasFatalFailure()) {
      SetDefault(TestQueue);
    }
  }

  // Presses the print button; one page must come out of the queue.
  void ExpectPrinted(WindowProgram &program) {
    QFile::remove(cups_.Output(TestQueue));
    ASSERT_EQ("printed", program.Ask("print"));
    ASSERT_TRUE(cups_.WaitForJobs(TestQueue));
    EXPECT_EQ(1, PdfPageCount(cups_.Output(TestQueue)));
  }
};

struct Fault {
  const char *name;
  std::function<bool(PrivateCups &)> cause;
  std::string message; // in the error box
  std::function<bool(PrivateCups &)> mend;
  bool hangs = false; // the print server stops answering, so the printout waits to be given up
};

// For GoogleTest's names of the cases.
void PrintTo(const Fault &fault, std::ostream *out) {
  *out << fault.name;
}

class PrintFaults : public PrintFault, public ::testing::WithParamInterface<Fault> {};

TEST_P(PrintFaults, AreReportedAndPrintingGoesOnOnceMended) {
  const Fault &fault = GetParam();
  WindowProgram program(Environment());
  ASSERT_EQ(Shown, program.Ask("show"));
  ExpectPrinted(program); // the printer is found
  const QSet<QString> jobs = cups_.Jobs();

  ASSERT_TRUE(fault.cause(cups_));
  if (fault.hangs) {
    // While the printout waits the windows answer, and a second press adds no job.
    ASSERT_EQ("pressed", program.Ask("press"));
    const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
    EXPECT_EQ(DescribeCell(chart, 1, 1).legend, program.Ask("hover"));
    EXPECT_EQ("Printing in progress.", program.Ask("press"));
    EXPECT_EQ("hidden", program.Ask("close"));
    EXPECT_EQ(fault.message, program.Ask("wait"));
    const QStringList timing = QString::fromUtf8(program.Ask("timing")).split(' ');
    ASSERT_EQ(2, timing.size());
    RecordProperty("printout_ms", timing[0].toStdString());
    RecordProperty("longest_event_gap_ms", timing[1].toStdString());
    EXPECT_LE(timing[0].toInt(), 1000 * (PrintWorker::Bound.count() + 3)) << "not given up";
  } else {
    EXPECT_EQ(fault.message, program.Ask("print"));
  }
  EXPECT_EQ(Shown, program.Ask("show"));
  EXPECT_EQ("usable", program.Ask("state"));

  ASSERT_TRUE(fault.mend(cups_));
  EXPECT_TRUE((cups_.Jobs() - jobs).isEmpty()) << "a job was spooled";
  ExpectPrinted(program);
  EXPECT_EQ(1, (cups_.Jobs() - jobs).size());
  EXPECT_EQ("usable", program.Ask("state"));
  EXPECT_EQ(0, program.Finish());
}

INSTANTIATE_TEST_SUITE_P(
    InTheWindow, PrintFaults,
    ::testing::Values(Fault{"QueueRefusesJobs",
                            [](PrivateCups &cups) { return cups.Run("cupsreject", {TestQueue}); },
                            "Printer selected is not accepting jobs.",
                            [](PrivateCups &cups) { return cups.Run("cupsaccept", {TestQueue}); }},
                      Fault{"QueueDeleted",
                            [](PrivateCups &cups) {
                              return cups.Run("lpadmin", {"-x", TestQueue});
                            },
                            "Printer selected is not valid.",
                            [](PrivateCups &cups) { return cups.AddQueue(TestQueue); }},
                      Fault{"SchedulerStopped",
                            [](PrivateCups &cups) {
                              cups.Stop();
                              return true;
                            },
                            "Printer selected is not valid.",
                            [](PrivateCups &cups) { return cups.Start().isEmpty(); }},
                      Fault{"SchedulerFrozen", [](PrivateCups &cups) { return cups.Pause(); },
                            "Printer selected is not responding.",
                            [](PrivateCups &cups) { return cups.Resume(); }, true},
                      Fault{"ServerNeverAnswers", [](PrivateCups &cups) { return cups.Silence(); },
                            "Printer selected is not responding.",
                            [](PrivateCups &cups) { return cups.Start().isEmpty(); }, true}),
    [](const ::testing::TestParamInfo<Fault> &info) { return std::string(info.param.name); });

TEST_F(PrintFault, AStoppedQueueTakesThePageAndPrintsItWhenStartedAgain) {
  WindowProgram program(Environment());
  ASSERT_EQ(Shown, program.Ask("show"));
  ASSERT_TRUE(cups_.Run("cupsdisable", {TestQueue}));
  QFile::remove(cups_.Output(TestQueue));

  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, cups_.PendingJobs(TestQueue).size());
  EXPECT_EQ("usable", program.Ask("state"));
  EXPECT_FALSE(QFile::exists(cups_.Output(TestQueue)));

  ASSERT_TRUE(cups_.Run("cupsenable", {TestQueue}));
  ASSERT_TRUE(cups_.WaitForJobs(TestQueue));
  EXPECT_EQ(1, PdfPageCount(cups_.Output(TestQueue)));
  EXPECT_EQ(0, program.Finish());
}

} // namespace
} // namespace kolvex
