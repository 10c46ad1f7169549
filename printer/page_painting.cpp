#include "printer/page_painting.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

#include <cstdlib>
#include <optional>

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>

#include "chart/page_layout.h"

namespace kolvex {
namespace {

// Qt's paper of a papersize name ("a4", "letter"): its key, tried first with "ISO" before it,
// since Qt's plain "B5" is the Japanese one.
std::optional<QPageSize> NamedPaper(const QString &name) {
  for (const QString &key : {QStringLiteral("ISO") + name, name}) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
      const auto size = static_cast<QPageSize::PageSizeId>(id);
      if (size != QPageSize::Custom &&
          QPageSize::key(size).compare(key, Qt::CaseInsensitive) == 0) {
        return QPageSize(size);
      }
    }
  }
  return std::nullopt;
}

#ifdef _WIN32

// The paper of the user's locale in the Control Panel's regional settings.
std::optional<QPageSize> LocalePaper() {
  DWORD paper = 0;
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_IPAPERSIZE | LOCALE_RETURN_NUMBER,
                      reinterpret_cast<LPWSTR>(&paper), sizeof paper / sizeof(wchar_t)) == 0) {
    return std::nullopt;
  }
  switch (paper) {
  case DMPAPER_LETTER:
    return QPageSize(QPageSize::Letter);
  case DMPAPER_LEGAL:
    return QPageSize(QPageSize::Legal);
  case DMPAPER_A3:
    return QPageSize(QPageSize::A3);
  case DMPAPER_A4:
    return QPageSize(QPageSize::A4);
  default:
    return std::nullopt;
  }
}

#else

// The paper of the locale that LC_ALL or LC_PAPER name. The C locale's paper is only glibc's
// default, no setting of the user's, and so is LANG's locale: LANG sets everything at once.
std::optional<QPageSize> LocalePaper() {
  const char *name = std::getenv("LC_ALL");
  if (name == nullptr || *name == '\0') {
    name = std::getenv("LC_PAPER");
  }
  if (name == nullptr || *name == '\0') {
    return std::nullopt;
  }
  const QByteArray locale(name);
  if (locale == "C" || locale == "POSIX" || locale.startsWith("C.")) {
    return std::nullopt;
  }
  const locale_t paper = newlocale(LC_PAPER_MASK, name, static_cast<locale_t>(nullptr));
  if (paper == static_cast<locale_t>(nullptr)) {
    return std::nullopt; // not installed
  }
  // glibc hands these numbers over in the pointer itself.
  const auto millimetres = [paper](nl_item item) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo_l(item, paper)));
  };
  const QSizeF size(millimetres(_NL_PAPER_WIDTH), millimetres(_NL_PAPER_HEIGHT));
  freelocale(paper);
  if (size.isEmpty()) {
    return std::nullopt;
  }
  return QPageSize(size, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

#endif

// The first word of the papersize file that is no comment.
std::optional<QPageSize> FilePaper() {
  QString path = qEnvironmentVariable("PAPERCONF");
  if (path.isEmpty()) {
    path = QStringLiteral("/etc/papersize");
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return std::nullopt;
  }
  // A papersize file is a line or two; anything longer is not one.
  const QStringList lines = QString::fromUtf8(file.read(4096)).split('\n');
  for (const QString &line : lines) {
    const QString word = line.simplified().section(' ', 0, 0);
    if (!word.isEmpty() && !word.startsWith('#')) {
      return NamedPaper(word);
    }
  }
  return std::nullopt;
}

} // namespace

QFont PageFont() {
  // Qt fonts carry no character set: the texts are Unicode, and fontconfig supplies a face with
  // the Cyrillic letters where the one asked for has none.
  QFont font(QString::fromUtf8(DefaultFontFace));
  font.setPointSize(ChartFontPoints);
  font.setFixedPitch(true);
  return font;
}

void SetUpPageCanvas(QPainter &painter, const QFont &font) {
  QFont sized = font;
  if (font.pointSize() > 0) {
    sized.setPixelSize(FontPixelHeight(font.pointSize(), painter.device()->logicalDpiY()));
  }
  painter.setFont(sized);
  painter.setPen(Qt::black);
  painter.setBackground(Qt::white);
  painter.setBackgroundMode(Qt::OpaqueMode);
}

void DrawPageText(QPainter &painter, int x, int y, const QString &text) {
  // QPainter places text by its baseline; in opaque mode it fills the box from the ascent down.
  painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

QPageSize SystemPaperSize() {
  if (std::optional<QPageSize> paper = LocalePaper()) {
    return *paper;
  }
  if (std::optional<QPageSize> paper = FilePaper()) {
    return *paper;
  }
  return QPageSize(QPageSize::A4);
}

void PaintPage(QPainter &painter, const YearChart &chart, int width, int height) {
  for (const PlacedText &placed : LayOutPage(chart, width, height)) {
    DrawPageText(painter, placed.x, placed.y, QString::fromUtf8(placed.text));
  }
}

QByteArray ChartPdf(const YearChart &chart, const QPageSize &paper) {
  QByteArray document;
  QBuffer buffer(&document);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Kolvex"));
    writer.setTitle(QStringLiteral("Биоритмы на %1 год").arg(chart.Year()));
    writer.setResolution(PdfDotsPerInch);
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait,
                                     QMarginsF(PdfMarginMillimetres, PdfMarginMillimetres,
                                               PdfMarginMillimetres, PdfMarginMillimetres),
                                     QPageLayout::Millimeter));
    QPainter painter(&writer);
    SetUpPageCanvas(painter, PageFont());
    PaintPage(painter, chart, writer.width(), writer.height());
  }
  return document;
}

} // namespace kolvex
