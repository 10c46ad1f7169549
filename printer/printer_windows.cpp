// The system's printer on Windows: the default printer of the system's profile (the "device" entry
// of its "windows" section, up to the first comma), found among the installed printers by its
// exact name at the first read of the page size and kept for the run. Each text is drawn by the
// printer's device context itself, in the font asked for with the Cyrillic character set; a stop
// asked for ends the printout at the next text.

#include <windows.h>

#include <winspool.h>

#include <cstring>
#include <memory>
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

class GdiPrinter final : public Printer {
public:
  GdiPrinter() = default;
  ~GdiPrinter() override { Abandon(); }

  int PageWidth() override;
  int PageHeight() override;
  bool Printing() const noexcept override { return printing_; }
  void BeginDoc() override;
  void DrawPage(const YearChart &chart, int width, int height) override;
  void EndDoc() override;

private:
  // Finds the default printer the first time, and opens its device context.
  void Open();
  // Ends a document that cannot be finished, and lets the device context go.
  void Abandon() noexcept;
  void ThrowIfStopped();

  QByteArray name_;  // the printer found, in the system's code page; empty until then
  HDC dc_ = nullptr; // its device context while one is open
  HFONT gdiFont_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  bool printing_ = false;
};

void GdiPrinter::Open() {
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

int GdiPrinter::PageWidth() {
  Open();
  return GetDeviceCaps(dc_, HORZRES);
}

int GdiPrinter::PageHeight() {
  Open();
  return GetDeviceCaps(dc_, VERTRES);
}

void GdiPrinter::ThrowIfStopped() {
  if (Stop().stop_requested()) {
    Abandon();
    throw EPrinter(PrinterNotResponding);
  }
}

void GdiPrinter::BeginDoc() {
  if (Printing()) {
    throw EPrinter(PrintingInProgress);
  }
  Open();
  const HDC dc = dc_;
  const QFont &font = Font();
  // The size is held in points: so many pixels of the printer's vertical resolution.
  const int points = font.pointSize() > 0 ? font.pointSize() : ChartFontPoints;
  const std::string face = Cp1251(font.family());
  gdiFont_ = CreateFontA(
      -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0,
      font.bold() ? FW_BOLD : FW_NORMAL, font.italic(), font.underline(), font.strikeOut(),
      CyrillicCharset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
      (font.fixedPitch() ? FIXED_PITCH : DEFAULT_PITCH) | FF_DONTCARE, face.c_str());
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
  previousFont_ = SelectObject(dc, gdiFont_);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

void GdiPrinter::DrawPage(const YearChart &chart, int width, int height) {
  const HDC dc = dc_;
  for (const PlacedText &placed : LayOutPage(chart, width, height)) {
    ThrowIfStopped();
    const std::string bytes = Cp1251(QString::fromUtf8(placed.text));
    TextOutA(dc, placed.x, placed.y, bytes.data(), static_cast<int>(bytes.size()));
  }
}

void GdiPrinter::EndDoc() {
  ThrowIfStopped();
  const HDC dc = dc_;
  const bool ended = EndPage(dc) > 0 && ::EndDoc(dc) > 0;
  if (ended) {
    printing_ = false;
  }
  Abandon(); // a document that did not end is aborted
  if (!ended) {
    throw EPrinter(PrinterNotValid);
  }
}

void GdiPrinter::Abandon() noexcept {
  const HDC dc = dc_;
  if (dc == nullptr) {
    return;
  }
  if (printing_) {
    AbortDoc(dc);
    printing_ = false;
  }
  if (previousFont_ != nullptr) {
    SelectObject(dc, previousFont_);
    previousFont_ = nullptr;
  }
  if (gdiFont_ != nullptr) {
    DeleteObject(gdiFont_);
    gdiFont_ = nullptr;
  }
  DeleteDC(dc);
  dc_ = nullptr;
}

} // namespace

std::unique_ptr<Printer> NewSystemPrinter() {
  return std::make_unique<GdiPrinter>();
}

} // namespace kolvex
