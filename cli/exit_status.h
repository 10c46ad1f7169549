#pragma once

// The exit statuses of kolvex-chart and of the PDF helper it hands --pdf to.

namespace kolvex {

inline constexpr int ExitInvalidData = 1;
inline constexpr int ExitNotAnInteger = 2;
inline constexpr int ExitUsage = 64;    // EX_USAGE
inline constexpr int ExitSoftware = 70; // EX_SOFTWARE
inline constexpr int ExitIoError = 74;  // EX_IOERR

} // namespace kolvex
