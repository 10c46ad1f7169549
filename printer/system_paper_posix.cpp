#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QSizeF>

#include "printer/system_paper.h"

namespace kolvex {

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

} // namespace kolvex
