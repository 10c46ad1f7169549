#pragma once

// What the people file needs of its operating system; people_file_posix.cpp and
// people_file_windows.cpp serve it. Each failure is the system's reason, and an empty text success.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kolvex::people_file_system {

// The user's data folder (on Windows the roaming application data); empty when unknown.
std::filesystem::path DataFolder();

// The file's bytes, or nothing when there is no such file or it cannot be read (`error` says why).
std::optional<std::string> ReadBytes(const std::filesystem::path &file, std::string &error);

// Creates `folder` and its missing parents, for the owner alone where the system says so.
std::string MakeFolder(const std::filesystem::path &folder);

// Writes `bytes` as a new file readable by the owner alone (a file left there before is replaced),
// and waits until they are on the disk.
std::string WriteNewFile(const std::filesystem::path &file, std::string_view bytes);

// Puts `from` in the place of `to` in one step, and waits until that is on the disk.
std::string PutInPlace(const std::filesystem::path &from, const std::filesystem::path &to);

// A lock held on a file of its own, released when this object goes or the process ends, however
// it ends: a dead holder leaves no stale lock.
class FileLock {
public:
  explicit FileLock(const std::filesystem::path &lockFile); // opens it; Error() says why not
  ~FileLock();
  FileLock(const FileLock &) = delete;
  FileLock &operator=(const FileLock &) = delete;

  // Takes the lock, waiting for it at most `wait`: false when another still holds it then, or on
  // failure (Error() set).
  bool Take(std::chrono::milliseconds wait);
  const std::string &Error() const { return error_; }

private:
  std::intptr_t handle_ = -1;
  std::string error_;
};

// Called between writing the new file and putting it in place; tests stop a process there.
inline void (*beforeReplace)() = nullptr;

// Windows only: the system's text for an error code, in UTF-8, without its line end. The command
// says its own failures with it too.
std::string SystemErrorText(unsigned long error);

} // namespace kolvex::people_file_system
