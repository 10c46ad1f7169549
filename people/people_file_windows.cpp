#include <windows.h>

#include <cstdlib>

#include "people/people_file_system.h"

namespace kolvex::people_file_system {
namespace {

namespace fs = std::filesystem;

std::string Reason(DWORD error = GetLastError()) {
  return SystemErrorText(error);
}

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

} // namespace

std::string SystemErrorText(unsigned long error) {
  wchar_t *text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::wstring reason(text != nullptr ? text : L"", length);
  LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) {
    reason.pop_back();
  }
  const std::u8string utf8 = fs::path(reason).u8string();
  return {utf8.begin(), utf8.end()};
}

fs::path DataFolder() {
  const wchar_t *appData = _wgetenv(L"APPDATA");
  return appData != nullptr && fs::path(appData).is_absolute() ? fs::path(appData) : fs::path();
}

std::optional<std::string> ReadBytes(const fs::path &file, std::string &error) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? "" : Reason(code);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  DWORD count = 0;
  BOOL read = FALSE;
  while ((read = ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) && count > 0) {
    bytes.append(buffer, count);
  }
  if (!read) {
    error = Reason();
  }
  CloseHandle(handle);
  return read ? std::optional(bytes) : std::nullopt;
}

// The folder takes the access of the user's application data folder it lies in.
std::string MakeFolder(const fs::path &folder) {
  std::error_code error;
  if (!folder.empty()) {
    fs::create_directories(folder, error);
  }
  return error ? error.message() : "";
}

std::string WriteNewFile(const fs::path &file, std::string_view bytes) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return Reason();
  }
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      const std::string reason = Reason();
      CloseHandle(handle);
      return reason;
    }
    bytes.remove_prefix(written);
  }
  const std::string reason = FlushFileBuffers(handle) ? "" : Reason();
  CloseHandle(handle);
  return reason;
}

// Another program that has the list open to read it (a reader without FILE_SHARE_DELETE, a virus
// scanner) holds the rename off for a moment: it is tried again for up to two seconds.
std::string PutInPlace(const fs::path &from, const fs::path &to) {
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return "";
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 40) {
      return Reason(error);
    }
    Sleep(50);
  }
}

FileLock::FileLock(const fs::path &lockFile) {
  const HANDLE handle = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error_ = Reason();
  }
  handle_ = reinterpret_cast<std::intptr_t>(handle);
}

FileLock::~FileLock() {
  if (Handle(handle_) != INVALID_HANDLE_VALUE) {
    CloseHandle(Handle(handle_)); // releases the lock
  }
}

// The system drops a LockFileEx lock with the handle, when the process ends too. The request
// waits in the system's queue, and is cancelled when the time runs out.
bool FileLock::Take(std::chrono::milliseconds wait) {
  OVERLAPPED at{};
  at.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (at.hEvent == nullptr) {
    error_ = Reason();
    return false;
  }
  const HANDLE handle = Handle(handle_);
  bool taken = LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at);
  if (!taken && GetLastError() != ERROR_IO_PENDING) {
    error_ = Reason();
  } else if (!taken) {
    if (WaitForSingleObject(at.hEvent, static_cast<DWORD>(wait.count())) != WAIT_OBJECT_0) {
      CancelIoEx(handle, &at);
    }
    DWORD unused = 0;
    taken = GetOverlappedResult(handle, &at, &unused, TRUE); // the lock, or its cancellation
    if (const DWORD code = GetLastError(); !taken && code != ERROR_OPERATION_ABORTED) {
      error_ = Reason(code);
    }
  }
  CloseHandle(at.hEvent);
  return taken;
}

} // namespace kolvex::people_file_system
