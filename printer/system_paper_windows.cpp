#include <windows.h>

#include "printer/system_paper.h"

namespace kolvex {

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

} // namespace kolvex
