#include "ui/platform_choice.h"

namespace kolvex {

// Windows has one windowing platform, Qt's own default.
std::optional<std::string_view> ChoosePlatform() {
  return std::nullopt;
}

} // namespace kolvex
