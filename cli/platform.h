#pragma once

// What kolvex-chart needs of its operating system: writing its streams, the time, and handing
// --pdf to the PDF helper. platform_posix.cpp and platform_windows.cpp serve it.

#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvex {

// Readies the standard streams: on Windows they carry bytes, not text, so that the output is the
// same everywhere, and Russian reaches a console as the letters it shows.
void SetUpStreams();

// The command's arguments after its name, in UTF-8: on Windows from the wide command line, so that
// a Cyrillic name or path arrives whatever the code page.
std::vector<std::string> Arguments(int argc, char **argv);

// Writes `text` whole to standard output (`toError` false) or standard error. Returns the system's
// reason when it could not, an empty text when all was written.
std::string WriteStream(std::string_view text, bool toError = false);

// Now in UTC, broken down.
std::tm UtcNow();

// Runs the PDF helper with `args` (UTF-8), the helper lying at `helperFromBin` from this program's
// folder; returns its exit status, or ExitSoftware with a message when it cannot run.
int RunPdfHelper(std::string_view helperFromBin, std::span<const std::string_view> args);

} // namespace kolvex
