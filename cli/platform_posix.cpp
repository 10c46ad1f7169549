#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "cli/exit_status.h"
#include "cli/platform.h"

namespace kolvex {

void SetUpStreams() {}

std::vector<std::string> Arguments(int argc, char **argv) {
  return {argv + 1, argv + argc};
}

std::string WriteStream(std::string_view text, bool toError) {
  const int fd = toError ? STDERR_FILENO : STDOUT_FILENO;
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written < 0) {
      return std::strerror(errno);
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::tm UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  return utc;
}

// The helper takes this process's place.
int RunPdfHelper(std::string_view helperFromBin, std::span<const std::string_view> args) {
  std::array<char, PATH_MAX> self{};
  const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
  std::string helper = length > 0 ? std::string(self.data(), static_cast<std::size_t>(length)) : "";
  helper = helper.substr(0, helper.rfind('/') + 1) + std::string(helperFromBin);
  std::vector<std::string> all{helper};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &arg : all) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  execv(helper.c_str(), argv.data());
  WriteStream("kolvex-chart: cannot run " + helper + ": " + std::strerror(errno) + '\n', true);
  return ExitSoftware;
}

} // namespace kolvex
