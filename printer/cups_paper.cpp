#include "printer/cups_paper.h"

#include <algorithm>
#include <optional>

#include <QSizeF>

#include "printer/cups_library.h"

namespace kolvex {
namespace {

// A length in hundredths of a millimetre, as IPP gives it, in millimetres.
double Millimetres(int hundredths) {
  return hundredths / 100.0;
}

// The page and the printable area of a media collection; nullopt when it has no size.
std::optional<QPageLayout> LayoutOfMedia(ipp_t *media) {
  const Cups &cups = Lib();
  ipp_attribute_t *sizeAttribute =
      cups.ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION);
  ipp_t *size = sizeAttribute ? cups.ippGetCollection(sizeAttribute, 0) : nullptr;
  ipp_attribute_t *width =
      size ? cups.ippFindAttribute(size, "x-dimension", IPP_TAG_INTEGER) : nullptr;
  ipp_attribute_t *length =
      size ? cups.ippFindAttribute(size, "y-dimension", IPP_TAG_INTEGER) : nullptr;
  if (width == nullptr || length == nullptr) {
    return std::nullopt;
  }
  const auto margin = [&](const char *name) {
    ipp_attribute_t *attribute = cups.ippFindAttribute(media, name, IPP_TAG_INTEGER);
    return attribute ? Millimetres(std::max(0, cups.ippGetInteger(attribute, 0))) : 0.0;
  };
  const QPageSize page(
      QSizeF(Millimetres(cups.ippGetInteger(width, 0)), Millimetres(cups.ippGetInteger(length, 0))),
      QPageSize::Millimeter);
  return QPageLayout(page, QPageLayout::Portrait,
                     QMarginsF(margin("media-left-margin"), margin("media-top-margin"),
                               margin("media-right-margin"), margin("media-bottom-margin")),
                     QPageLayout::Millimeter);
}

} // namespace

PrinterPaper PaperOfPrinter(ipp_t *attributes) {
  const Cups &cups = Lib();
  PrinterPaper paper{"iso_a4_210x297mm",
                     QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())};
  if (ipp_attribute_t *media = cups.ippFindAttribute(attributes, "media-default", IPP_TAG_ZERO)) {
    if (const char *name = cups.ippGetString(media, 0, nullptr)) {
      paper.media = name;
      if (const pwg_media_t *size = cups.pwgMediaForPWG(name)) {
        paper.layout.setPageSize(QPageSize(
            QSizeF(Millimetres(size->width), Millimetres(size->length)), QPageSize::Millimeter));
      }
    }
  }
  if (ipp_attribute_t *column =
          cups.ippFindAttribute(attributes, "media-col-default", IPP_TAG_BEGIN_COLLECTION)) {
    if (const std::optional<QPageLayout> layout = LayoutOfMedia(cups.ippGetCollection(column, 0))) {
      paper.layout = *layout;
    }
  }
  return paper;
}

} // namespace kolvex
