#include <QFile>

#include "cli/pdf_start.h"

namespace kolvex {

const char *PdfQtPlatform() {
  return "offscreen";
}

QString Argument(int, char **argv, int index) {
  return QFile::decodeName(argv[index]);
}

} // namespace kolvex
