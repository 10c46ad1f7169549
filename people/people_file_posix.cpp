#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "people/people_file_system.h"

namespace kolvex::people_file_system {
namespace {

namespace fs = std::filesystem;

std::string Reason() {
  return std::strerror(errno);
}

// Waits until what was written to the folder's entries, a new or renamed file, is on the disk.
std::string SyncFolder(const fs::path &folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return Reason();
  }
  const std::string reason = fsync(fd) == 0 ? "" : Reason();
  close(fd);
  return reason;
}

} // namespace

fs::path DataFolder() {
  const char *xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && fs::path(xdg).is_absolute()) {
    return xdg;
  }
  const char *home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd *user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  return home != nullptr && *home != '\0' ? fs::path(home) / ".local" / "share" : fs::path();
}

std::optional<std::string> ReadBytes(const fs::path &file, std::string &error) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENOENT ? "" : Reason();
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  ssize_t count = 0;
  while ((count = read(fd, buffer, sizeof buffer)) != 0) {
    if (count < 0 && errno != EINTR) {
      error = Reason();
      close(fd);
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
  }
  close(fd);
  return bytes;
}

// Each missing folder is made for the owner alone, as the data folders of XDG are.
std::string MakeFolder(const fs::path &folder) {
  struct stat info {};
  if (folder.empty() || stat(folder.c_str(), &info) == 0) {
    return {};
  }
  if (std::string reason = MakeFolder(folder.parent_path()); !reason.empty()) {
    return reason;
  }
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST ? "" : Reason();
}

std::string WriteNewFile(const fs::path &file, std::string_view bytes) {
  if (unlink(file.c_str()) != 0 && errno != ENOENT) {
    return Reason();
  }
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    return Reason();
  }
  while (!bytes.empty()) {
    const ssize_t count = write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno != EINTR) {
      const std::string reason = Reason();
      close(fd);
      return reason;
    }
    bytes.remove_prefix(static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
  }
  // A full disk may show only here, when the data go out.
  if (fsync(fd) != 0) {
    const std::string reason = Reason();
    close(fd);
    return reason;
  }
  return close(fd) == 0 ? "" : Reason();
}

std::string PutInPlace(const fs::path &from, const fs::path &to) {
  if (rename(from.c_str(), to.c_str()) != 0) {
    return Reason();
  }
  return SyncFolder(to.parent_path());
}

FileLock::FileLock(const fs::path &lockFile) {
  handle_ = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (handle_ < 0) {
    error_ = Reason();
  }
}

FileLock::~FileLock() {
  if (handle_ >= 0) {
    close(static_cast<int>(handle_)); // releases the lock
  }
}

// flock's lock belongs to this open file, so the system drops it with the process. A blocked
// flock is woken as soon as the holder lets go, but cannot be given a time limit: a thread of its
// own waits for it, and when this one gives up, that thread closes the file once it has the lock.
bool FileLock::Take(std::chrono::milliseconds wait) {
  struct Waiting {
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<std::string> result; // an empty text when the lock was taken
    bool abandoned = false;
  };
  const auto waiting = std::make_shared<Waiting>();
  std::thread([waiting, fd = static_cast<int>(handle_)] {
    int status = 0;
    while ((status = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    const std::lock_guard hold(waiting->mutex);
    if (waiting->abandoned) {
      close(fd);
      return;
    }
    waiting->result = status == 0 ? "" : Reason();
    waiting->ended.notify_one();
  }).detach();
  std::unique_lock hold(waiting->mutex);
  if (!waiting->ended.wait_for(hold, wait, [&] { return waiting->result.has_value(); })) {
    waiting->abandoned = true;
    handle_ = -1; // the thread's now
    return false;
  }
  error_ = *waiting->result;
  return error_.empty();
}

} // namespace kolvex::people_file_system
