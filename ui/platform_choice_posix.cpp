#include "ui/platform_choice.h"

#include <QByteArray>
#include <QtGlobal>

namespace kolvex {

// The program places its windows itself: the input window centred, the result window minimised
// with it. X11 allows that and Wayland does not, so X11 comes first, through XWayland on a Wayland
// desktop, and native Wayland serves only where no X server is announced.
std::optional<std::string_view> ChoosePlatform() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    return std::nullopt;
  }
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (!x11 && !wayland) {
    return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  }
  qputenv("QT_QPA_PLATFORM", x11 && wayland ? "xcb;wayland" : x11 ? "xcb" : "wayland");
  return std::nullopt;
}

} // namespace kolvex
