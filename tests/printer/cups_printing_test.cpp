// Real printing: the program's printer, in fresh runs of print_chart_helper, prints on CUPS queues
// whose PDF printer (cups-pdf) writes every job to a file. The default destination is set the
// way a user sets their own, with lpoptions -d under a home directory of the test's, so the
// system's default is never touched. The tests take a lock, since they share the one cupsd, and
// leave the queues and the default destination as they found them.

#include <QSet>

#include <gtest/gtest.h>

#include "chart/page_layout.h"
#include "tests/printer/cups_testing.h"
#include "tests/printer/pdf_reading.h"

namespace kolvex {
namespace {

using testing::HelperProgram;
using testing::Jobs;
using testing::Outputs;
using testing::PageGeometry;
using testing::PageReading;
using testing::PdfPageCount;
using testing::PdfWords;
using testing::PrintOnTestQueue;
using testing::ReadPage;
using testing::TestQueue;
using testing::WaitForJobs;

constexpr BirthInput SampleInput{17, 9, 1974, 1999};
// 12 month names, 31 day numbers, the 365 days of 1999 and the 27 legend lines.
constexpr int SampleTextsDrawn = 12 + 31 + 365 + 27;

// A fresh run of the program's printer, for the sample input.
class PrintingProgram : public HelperProgram {
public:
  explicit PrintingProgram(const QProcessEnvironment &environment)
      : HelperProgram(KOLVEX_PRINT_CHART_HELPER,
                      {QString::number(SampleInput.day), QString::number(SampleInput.month),
                       QString::number(SampleInput.year),
                       QString::number(SampleInput.forecastYear)},
                      environment) {}
};

using CupsPrinting = testing::CupsQueueTest;

TEST_F(CupsPrinting, TheChartComesOutOnOnePageOfTheDefaultQueueWithEveryTextInPlace) {
  SetDefault(TestQueue);
  PrintingProgram program(Environment());
  const QStringList page = QString::fromUtf8(program.Ask("page")).split(' ');
  ASSERT_EQ(5, page.size());
  const QString pdf = PrintOnTestQueue(program);
  ASSERT_FALSE(pdf.isEmpty());

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
    const QString expected = QString::fromUtf8(text.placed.text);
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
