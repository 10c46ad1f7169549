#include "tests/printer/pdf_reading.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QRegularExpression>
#include <QXmlStreamReader>

#include "tests/process_runner.h"

namespace kolvex::testing {
namespace {

constexpr double Tolerance = 0.5; // points

} // namespace

int PdfPageCount(const QString &path) {
  const QString info = QString::fromUtf8(RunProgram("pdfinfo", {path}));
  const QRegularExpressionMatch pages =
      QRegularExpression(R"(^Pages:\s+(\d+)$)", QRegularExpression::MultilineOption).match(info);
  return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

std::vector<PdfWord> PdfWords(const QString &path) {
  std::vector<PdfWord> words;
  QXmlStreamReader xml(RunProgram("pdftotext", {"-bbox", path, "-"}));
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"word") {
      const QXmlStreamAttributes box = xml.attributes();
      PdfWord word{box.value("xMin").toDouble(),
                   box.value("yMin").toDouble(),
                   box.value("xMax").toDouble(),
                   box.value("yMax").toDouble(),
                   {}};
      word.text = xml.readElementText();
      words.push_back(word);
    }
  }
  return words;
}

QImage PdfPageImage(const QString &path, int dotsPerInch) {
  const QByteArray png = RunProgram(
      "pdftoppm", {"-gray", "-png", "-singlefile", "-r", QString::number(dotsPerInch), path});
  return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_Grayscale8);
}

PageReading ReadPage(const std::vector<PdfWord> &words, const std::vector<PlacedText> &placed,
                     const PageGeometry &geometry) {
  PageReading reading;
  // The lines of the page by their top edge, each with its texts by x.
  std::map<double, std::map<double, std::size_t>> lines;
  for (const PlacedText &text : placed) {
    const QPointF topLeft = geometry.ToPoints(text.x, text.y);
    lines[topLeft.y()][topLeft.x()] = reading.texts.size();
    reading.texts.push_back({text, topLeft, {}});
  }
  if (words.empty() || lines.empty()) {
    reading.stray = words;
    return reading;
  }

  const auto topmost = std::min_element(
      words.begin(), words.end(), [](const auto &a, const auto &b) { return a.yMin < b.yMin; });
  reading.fontOffset = topmost->yMin - lines.begin()->first;

  for (const PdfWord &word : words) {
    const double top = word.yMin - reading.fontOffset;
    auto line = lines.lower_bound(top - Tolerance);
    if (line == lines.end() || std::abs(line->first - top) > Tolerance) {
      reading.stray.push_back(word);
      continue;
    }
    const auto &texts = line->second;
    auto next = texts.upper_bound(word.xMin + Tolerance);
    if (next == texts.begin() || (next != texts.end() && word.xMax > next->first + Tolerance)) {
      reading.stray.push_back(word);
      continue;
    }
    reading.texts[std::prev(next)->second].words.push_back(word);
  }
  for (TextOnPage &text : reading.texts) {
    std::sort(text.words.begin(), text.words.end(),
              [](const PdfWord &a, const PdfWord &b) { return a.xMin < b.xMin; });
  }
  return reading;
}

} // namespace kolvex::testing
