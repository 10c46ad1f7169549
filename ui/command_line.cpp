#include "ui/command_line.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "chart/version.h"

namespace kolvex {

namespace {

constexpr int ExitUsage = 64;   // EX_USAGE
constexpr int ExitIoError = 74; // EX_IOERR

constexpr std::string_view Usage = "usage: kolvex [--help | --version]\n";
constexpr std::string_view Help =
    "usage: kolvex [--help | --version]\n"
    "\n"
    "Opens the Kolvex window: a biorhythm calendar for a whole year.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The windows open on the X server of DISPLAY, which on a Wayland desktop is\n"
    "XWayland, and on the Wayland display of WAYLAND_DISPLAY only where there is\n"
    "no X server. QT_QPA_PLATFORM names another platform.\n";

} // namespace

std::optional<int> AnswerCommandLine(int argc, char *argv[]) {
  if (argc == 1) {
    return std::nullopt;
  }
  const std::string_view argument = argv[1];
  if (argc == 2 && (argument == "--help" || argument == "--version")) {
    if (argument == "--help") {
      std::cout << Help;
    } else {
      std::cout << "kolvex " << kolvex::Version << '\n';
    }
    return std::cout.flush() ? EXIT_SUCCESS : ExitIoError;
  }
  std::cerr << Usage;
  return ExitUsage;
}

} // namespace kolvex
