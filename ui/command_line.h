#pragma once

// The program's command line: --help and --version answered, anything else refused.

#include <optional>

namespace kolvex {

// The exit status for a command line that asks for something else than the windows, after its
// answer or refusal is written; nothing for a command line that opens the windows. Decided before
// Qt starts, so that --help and --version need no display; Qt's own arguments are not taken
// either (QT_QPA_PLATFORM and the other QT_ variables do their work).
std::optional<int> AnswerCommandLine(int argc, char *argv[]);

} // namespace kolvex
