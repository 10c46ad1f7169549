#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/exit_status.h"
#include "cli/platform.h"
#include "people/people_file_system.h"

namespace kolvex {
namespace {

std::wstring Wide(std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  std::string utf8(wide.size() * 3, '\0');
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return utf8;
}

std::string Reason(DWORD error) {
  return people_file_system::SystemErrorText(error);
}

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring &arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return arg;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L'"';
}

} // namespace

void SetUpStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

// argv holds the arguments in the system's code page, which may lack some of their letters.
std::vector<std::string> Arguments(int argc, char **argv) {
  int wideArgc = 0;
  const std::unique_ptr<wchar_t *, decltype(&LocalFree)> wideArgv(
      CommandLineToArgvW(GetCommandLineW(), &wideArgc), &LocalFree);
  if (wideArgv == nullptr || wideArgc != argc) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
  }
  std::vector<std::string> args;
  for (int i = 1; i < wideArgc; ++i) {
    args.push_back(Utf8(wideArgv.get()[i]));
  }
  return args;
}

std::string WriteStream(std::string_view text, bool toError) {
  const HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    // A console shows letters, not bytes: the text goes as UTF-16.
    std::wstring wide = Wide(text);
    std::wstring_view left(wide);
    while (!left.empty()) {
      DWORD written = 0;
      if (!WriteConsoleW(handle, left.data(), static_cast<DWORD>(left.size()), &written, nullptr)) {
        return Reason(GetLastError());
      }
      left.remove_prefix(written);
    }
    return {};
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      return Reason(GetLastError());
    }
    text.remove_prefix(written);
  }
  return {};
}

std::tm UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_s(&utc, &now);
  return utc;
}

// The helper runs as a child with the same streams, and its exit status is this program's.
int RunPdfHelper(std::string_view helperFromBin, std::span<const std::string_view> args) {
  std::wstring self(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()))) ==
         self.size()) {
    self.resize(self.size() * 2);
  }
  self.resize(length);
  std::wstring helper = self.substr(0, self.find_last_of(L"\\/") + 1) + Wide(helperFromBin);
  for (wchar_t &c : helper) {
    if (c == L'/') {
      c = L'\\';
    }
  }
  std::wstring commandLine = Quoted(helper);
  for (const std::string_view arg : args) {
    commandLine += L' ' + Quoted(Wide(arg));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &process)) {
    WriteStream("kolvex-chart: cannot run " + Utf8(helper) + ": " + Reason(GetLastError()) + '\n',
                true);
    return ExitSoftware;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = ExitSoftware;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

} // namespace kolvex
