#pragma once

// The paper the system is set up for, which a PDF file of the page is drawn on.

#include <optional>

#include <QPageSize>

namespace kolvex {

// The paper the system is set up for: the locale's paper (LocalePaper), else the first word of
// the papersize file ($PAPERCONF, or /etc/papersize) when Qt knows that paper, else A4.
QPageSize SystemPaperSize();

// The paper of the user's locale, when the user has set one: on Linux the locale's LC_PAPER when
// LC_ALL or LC_PAPER names a locale other than C or POSIX (system_paper_posix.cpp), on Windows
// the paper of the regional settings (system_paper_windows.cpp).
std::optional<QPageSize> LocalePaper();

} // namespace kolvex
