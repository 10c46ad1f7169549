#include <windows.h>

#include <shellapi.h>

#include <QFile>

#include "cli/pdf_start.h"

namespace kolvex {

// Windows's own platform needs no screen, and it alone knows the system's fonts there.
const char *PdfQtPlatform() {
  return "windows";
}

// argv holds the text in the system's code page, which may lack some of its letters, so it comes
// from the wide command line.
QString Argument(int argc, char **argv, int index) {
  int wideArgc = 0;
  wchar_t **wideArgv = CommandLineToArgvW(GetCommandLineW(), &wideArgc);
  const QString file =
      wideArgc == argc ? QString::fromWCharArray(wideArgv[index]) : QFile::decodeName(argv[index]);
  LocalFree(wideArgv);
  return file;
}

} // namespace kolvex
