#include "printer/printer_pdf.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "chart/page_layout.h"
#include "tests/printer/pdf_reading.h"

namespace kolvex {
namespace {

using testing::PageGeometry;
using testing::PageReading;
using testing::PdfPageCount;
using testing::PdfPageImage;
using testing::PdfWords;
using testing::ReadPage;

static_assert(FontPixelHeight(10, 300) == 42);
static_assert(FontPixelHeight(10, 600) == 83);
static_assert(FontPixelHeight(10, 1200) == 167);
static_assert(FontPixelHeight(8, 96) == 11);

// Prints to a PDF file of its own, at the given resolution.
class PdfPrinting : public ::testing::TestWithParam<int> {
protected:
  QString PdfPath() const { return directory_.filePath("page.pdf"); }

  QTemporaryDir directory_;
};

TEST_P(PdfPrinting, EveryTextOfTheChartAtItsPlaceOnOnePage) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  PdfFilePrinter printer(PdfPath(), GetParam());
  PrintChart(printer, chart);

  ASSERT_EQ(1, PdfPageCount(PdfPath()));
  const std::vector<PlacedText> layout =
      LayOutPage(chart, printer.PageWidth(), printer.PageHeight());
  const PageReading page = ReadPage(PdfWords(PdfPath()), layout, PageGeometry{GetParam(), {}});

  EXPECT_TRUE(page.stray.empty()) << page.stray.front().text.toStdString();
  EXPECT_NEAR(0.0, page.fontOffset, 1.0);
  int drawn = 0;
  for (const auto &text : page.texts) {
    QStringList words;
    for (const auto &word : text.words) {
      words << word.text;
    }
    EXPECT_EQ(text.placed.text, words.join(' ').toStdString())
        << "at " << text.placed.x << ", " << text.placed.y;
    if (!text.words.empty()) {
      ++drawn;
      EXPECT_NEAR(text.topLeft.x(), text.words.front().xMin, 0.5) << text.placed.text;
    }
  }
  // 12 month names, 31 day numbers, the 365 days of 1999, the 27 legend lines.
  EXPECT_EQ(12 + 31 + 365 + 27, drawn);
}

INSTANTIATE_TEST_SUITE_P(DotsPerInch, PdfPrinting, ::testing::Values(300, 600, 1200));

TEST(PdfPrinter, TextsAreDrawnBelowAndRightOfTheirPointOnAnOpaqueWhiteBox) {
  QTemporaryDir directory;
  const QString path = directory.filePath("box.pdf");
  // Page pixels at 300 dpi; the image is read at 72, so 300 pixels are 72 image pixels.
  const struct Case {
    QStringList texts; // drawn in turn at (300, 600)
    bool inked;
  } cases[] = {
      {{"ЖЖЖЖ"}, true},
      {{"ЖЖЖЖ", "      "}, false},
      {{"      ", "ЖЖЖЖ"}, true},
  };
  for (const Case &test : cases) {
    PdfFilePrinter printer(path, 300);
    printer.Font().setPointSize(10);
    printer.Font().setFixedPitch(true);
    printer.BeginDoc();
    for (const QString &text : test.texts) {
      DrawPageText(printer.Canvas(), 300, 600, text);
    }
    printer.EndDoc();

    const QImage image = PdfPageImage(path, 72);
    ASSERT_FALSE(image.isNull());
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 128) {
          ink |= QRect(x, y, 1, 1);
        }
      }
    }
    const QString drawn = test.texts.join('|');
    EXPECT_EQ(test.inked, !ink.isEmpty()) << drawn.toStdString();
    if (!ink.isEmpty()) {
      // A 10-point capital: its ink starts within a point or two of the top-left corner.
      EXPECT_GE(ink.left(), 72) << drawn.toStdString();
      EXPECT_LE(ink.left(), 74) << drawn.toStdString();
      EXPECT_GE(ink.top(), 144) << drawn.toStdString();
      EXPECT_LE(ink.top(), 147) << drawn.toStdString();
      EXPECT_LE(ink.bottom(), 144 + 10) << drawn.toStdString();
    }
  }
}

TEST(PdfPrinter, ASecondPrintoutWhileOneIsOpenIsRefusedAndTheFirstGoesOn) {
  QTemporaryDir directory;
  const QString path = directory.filePath("first.pdf");
  PdfFilePrinter printer(path, 300);
  printer.Font().setPointSize(10);
  printer.BeginDoc();
  DrawPageText(printer.Canvas(), 0, 0, "первая");

  try {
    PrintChart(printer, YearChart::Compute({17, 9, 1974, 1999}));
    FAIL() << "the second printout started";
  } catch (const EPrinter &error) {
    EXPECT_STREQ("Printing in progress", error.what());
  }
  EXPECT_TRUE(printer.Printing());
  DrawPageText(printer.Canvas(), 0, 100, "вторая");
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());

  ASSERT_EQ(1, PdfPageCount(path));
  QStringList words;
  for (const auto &word : PdfWords(path)) {
    words << word.text;
  }
  EXPECT_EQ(QStringList({"первая", "вторая"}), words);
}

} // namespace
} // namespace kolvex
