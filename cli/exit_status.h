#pragma once

// The exit statuses of kolvex-chart and of the PDF helper it hands --pdf to.

namespace kolvex {

inline constexpr int ExitInvalidData = 1;
inline constexpr int ExitNotAnInteger = 2;
inline constexpr int ExitUsage = 64;     // EX_USAGE
inline constexpr int ExitDataError = 65; // EX_DATAERR: the list of people cannot be read or changed
inline constexpr int ExitNoInput = 66;   // EX_NOINPUT: a file to import cannot be read
inline constexpr int ExitSoftware = 70;  // EX_SOFTWARE
inline constexpr int ExitIoError = 74;   // EX_IOERR

} // namespace kolvex
