#include <windows.h>

#include <winspool.h>

#include <cstring>
#include <string>
#include <vector>

#include "chart/page_layout.h"
#include "printer/printer.h"

namespace kolvex {
namespace {

// The Cyrillic character set of the print font, whose code page the texts are drawn in.
constexpr BYTE CyrillicCharset = RUSSIAN_CHARSET; // 204
constexpr UINT CyrillicCodePage = 1251;

// `text` in the code page of the print font's character set, as TextOutA draws it.
std::string Cp1251(const QString &text) {
  const std::wstring wide = text.toStdWString();
  if (wide.empty()) {
    return {};
  }
  const int size = WideCharToMultiByte(CyrillicCodePage, 0, wide.data(),
                                       static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CyrillicCodePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                      size, nullptr, nullptr);
  return bytes;
}

// The default printer of the system's profile, up to the first comma, when an installed printer
// bears exactly that name; otherwise empty.
QByteArray DefaultPrinter() {
  std::vector<char> device(1024);
  GetProfileStringA("windows", "device", "", device.data(), static_cast<DWORD>(device.size()));
  const QByteArray name = QByteArray(device.data()).split(',').value(0);
  if (name.isEmpty()) {
    return {};
  }
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 || !EnumPrintersA(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) {
    return {};
  }
  const auto *printers = reinterpret_cast<const PRINTER_INFO_4A *>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (printers[i].pPrinterName != nullptr && name == printers[i].pPrinterName) {
      return name;
    }
  }
  return {};
}

} // namespace

Printer::Printer() : font_(QString::fromUtf8(DefaultFontFace)) {}

Printer::~Printer() {
  Abandon();
}

bool Printer::Printing() const noexcept {
  return printing_;
}

void Printer::Open() {
  // A document on its way to the printer keeps the printer it was started on.
  if (Printing()) {
    return;
  }
  ThrowIfStopped();
  if (name_.isEmpty()) {
    name_ = DefaultPrinter();
    if (name_.isEmpty()) {
      throw EPrinter(NoDefaultPrinter);
    }
  }
  if (dc_ == nullptr) {
    dc_ = CreateDCA("WINSPOOL", name_.constData(), nullptr, nullptr);
    if (dc_ == nullptr) {
      throw EPrinter(PrinterNotValid);
    }
  }
}

int Printer::PageWidth() {
  Open();
  return GetDeviceCaps(static_cast<HDC>(dc_), HORZRES);
}

int Printer::PageHeight() {
  Open();
  return GetDeviceCaps(static_cast<HDC>(dc_), VERTRES);
}

void Printer::ThrowIfStopped() {
  if (stop_.stop_requested()) {
    Abandon();
    throw EPrinter(PrinterNotResponding);
  }
}

void Printer::BeginDoc() {
  if (Printing()) {
    throw EPrinter(PrintingInProgress);
  }
  Open();
  const auto dc = static_cast<HDC>(dc_);
  // The size is held in points: so many pixels of the printer's vertical resolution.
  const int points = font_.pointSize() > 0 ? font_.pointSize() : ChartFontPoints;
  const std::string face = Cp1251(font_.family());
  gdiFont_ = CreateFontA(
      -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0,
      font_.bold() ? FW_BOLD : FW_NORMAL, font_.italic(), font_.underline(), font_.strikeOut(),
      CyrillicCharset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
      (font_.fixedPitch() ? FIXED_PITCH : DEFAULT_PITCH) | FF_DONTCARE, face.c_str());
  DOCINFOA document{};
  document.cbSize = sizeof document;
  document.lpszDocName = ""; // an empty name, not a missing one
  if (gdiFont_ == nullptr || StartDocA(dc, &document) <= 0) {
    Abandon();
    throw EPrinter(PrinterNotValid);
  }
  printing_ = true;
  if (StartPage(dc) <= 0) {
    Abandon();
    throw EPrinter(PrinterNotValid);
  }
  previousFont_ = SelectObject(dc, static_cast<HFONT>(gdiFont_));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

void Printer::DrawPage(const YearChart &chart, int width, int height) {
  const auto dc = static_cast<HDC>(dc_);
  for (const PlacedText &placed : LayOutPage(chart, width, height)) {
    ThrowIfStopped();
    const std::string bytes = Cp1251(QString::fromUtf8(placed.text));
    TextOutA(dc, placed.x, placed.y, bytes.data(), static_cast<int>(bytes.size()));
  }
}

void Printer::EndDoc() {
  ThrowIfStopped();
  const auto dc = static_cast<HDC>(dc_);
  const bool ended = EndPage(dc) > 0 && ::EndDoc(dc) > 0;
  if (ended) {
    printing_ = false;
  }
  Abandon(); // a document that did not end is aborted
  if (!ended) {
    throw EPrinter(PrinterNotValid);
  }
}

void Printer::Abandon() noexcept {
  const auto dc = static_cast<HDC>(dc_);
  if (dc == nullptr) {
    return;
  }
  if (printing_) {
    AbortDoc(dc);
    printing_ = false;
  }
  if (previousFont_ != nullptr) {
    SelectObject(dc, static_cast<HGDIOBJ>(previousFont_));
    previousFont_ = nullptr;
  }
  if (gdiFont_ != nullptr) {
    DeleteObject(static_cast<HGDIOBJ>(gdiFont_));
    gdiFont_ = nullptr;
  }
  DeleteDC(dc);
  dc_ = nullptr;
}

} // namespace kolvex
