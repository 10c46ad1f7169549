// Real printing: the program's printer, in fresh runs of print_chart_helper, prints on the queues
// of a CUPS scheduler of the test's own, whose printers write every job to a file. The default
// destination is set the way a user sets their own, with lpoptions -d.

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include "chart/page_layout.h"
#include "tests/printer/cups_testing.h"
#include "tests/printer/pdf_reading.h"

namespace kolvex {
namespace {

using testing::HelperProgram;
using testing::PageGeometry;
using testing::PageReading;
using testing::PdfPageCount;
using testing::PdfWords;
using testing::ReadPage;
using testing::TestQueue;

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
  // The page reaches the file through CUPS's filters, here pdftopdf alone; where a printer's
  // driver converts it further (pdftops, then Ghostscript) the glyphs read back as arbitrary
  // symbols, and "я" as none at all: words lose it, or split where it stood. So compare where the
  // texts start and how many glyphs they hold.
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
  const QSet<QString> jobs = cups_.Jobs();
  EXPECT_EQ("There is no default printer currently selected", program.Ask("print"));
  EXPECT_EQ("There is no default printer currently selected", program.Ask("page"));
  EXPECT_EQ(jobs, cups_.Jobs());
  EXPECT_FALSE(QFile::exists(cups_.Output(TestQueue)));

  SetDefault(TestQueue);
  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, (cups_.Jobs(TestQueue) - jobs).size());
  EXPECT_TRUE(cups_.WaitForJobs(TestQueue));
}

TEST_F(CupsPrinting, ThePrinterFoundFirstServesTheWholeRunThoughTheDefaultChanges) {
  const QString other = QStringLiteral("kolvex-test-other");
  ASSERT_TRUE(cups_.AddQueue(other));
  SetDefault(TestQueue);
  const QSet<QString> onTest = cups_.Jobs(TestQueue);
  const QSet<QString> onOther = cups_.Jobs(other);
  {
    PrintingProgram program(Environment());
    ASSERT_EQ("printed", program.Ask("print"));
    SetDefault(other);
    ASSERT_EQ("printed", program.Ask("print"));
  }
  EXPECT_EQ(2, (cups_.Jobs(TestQueue) - onTest).size());
  EXPECT_EQ(onOther, cups_.Jobs(other));

  // A new run does see the new default.
  PrintingProgram program(Environment());
  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, (cups_.Jobs(other) - onOther).size());
  EXPECT_TRUE(cups_.WaitForJobs(TestQueue));
  EXPECT_TRUE(cups_.WaitForJobs(other));
}

TEST_F(CupsPrinting, APrinterGoneFromCupsIsNotValidAndIsTriedAgainOnTheNextPress) {
  const QString gone = QStringLiteral("kolvex-test-gone");
  ASSERT_TRUE(cups_.AddQueue(gone));
  SetDefault(gone);
  PrintingProgram program(Environment());
  ASSERT_EQ("printed", program.Ask("print"));
  ASSERT_TRUE(cups_.WaitForJobs(gone));

  ASSERT_TRUE(cups_.Run("lpadmin", {"-x", gone}));
  SetDefault(TestQueue);
  const QSet<QString> jobs = cups_.Jobs();
  EXPECT_EQ("Printer selected is not valid", program.Ask("print"));
  EXPECT_EQ(jobs, cups_.Jobs());

  // Back under its name, the printer found first prints again; the new default gets nothing.
  ASSERT_TRUE(cups_.AddQueue(gone));
  const QSet<QString> onGone = cups_.Jobs(gone);
  const QSet<QString> onTest = cups_.Jobs(TestQueue);
  ASSERT_EQ("printed", program.Ask("print"));
  EXPECT_EQ(1, (cups_.Jobs(gone) - onGone).size());
  EXPECT_EQ(onTest, cups_.Jobs(TestQueue));
  EXPECT_TRUE(cups_.WaitForJobs(gone));
}

} // namespace
} // namespace kolvex
