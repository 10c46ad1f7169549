#pragma once

// What the PDF helper needs of its operating system to start: pdf_start_posix.cpp and
// pdf_start_windows.cpp serve it.

#include <QString>

namespace kolvex {

// The Qt platform the helper runs on. Fonts and the PDF writer need a GUI application, never a
// screen: a platform set for the desktop would only fail where there is no display.
const char *PdfQtPlatform();

// The helper's argument `index` (a file or a person's name) as it was typed.
QString Argument(int argc, char **argv, int index);

} // namespace kolvex
