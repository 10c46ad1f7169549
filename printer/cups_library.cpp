#include "printer/cups_library.h"

#include <optional>
#include <type_traits>

#include <QLibrary>

#include "printer/printer.h"

namespace kolvex {

const Cups *LoadCups() {
  static const std::optional<Cups> cups = []() -> std::optional<Cups> {
    QLibrary library(QStringLiteral("cups"), 2);
    if (!library.load()) {
      return std::nullopt;
    }
    Cups loaded;
    bool complete = true;
    const auto resolve = [&](auto &function, const char *name) {
      function =
          reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
      complete = complete && function != nullptr;
    };
#define KOLVEX_CUPS_RESOLVE(name) resolve(loaded.name, #name);
    KOLVEX_CUPS_FUNCTIONS(KOLVEX_CUPS_RESOLVE)
#undef KOLVEX_CUPS_RESOLVE
    return complete ? std::optional(loaded) : std::nullopt;
  }();
  return cups ? &*cups : nullptr;
}

const Cups &Lib() {
  return *LoadCups();
}

const char *FailureMessage(ipp_status_t status, bool stopped) noexcept {
  if (stopped) {
    return PrinterNotResponding;
  }
  return status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS ? PrinterNotAcceptingJobs : PrinterNotValid;
}

} // namespace kolvex
