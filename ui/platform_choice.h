#pragma once

// The windowing platform Qt opens the windows on, chosen before the application starts.

#include <optional>
#include <string_view>

namespace kolvex {

// Chooses the windowing platform unless the user has (QT_QPA_PLATFORM), or says why there is none.
std::optional<std::string_view> ChoosePlatform();

} // namespace kolvex
