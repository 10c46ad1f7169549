#include "printer/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <QFile>
#include <QSaveFile>

namespace kolvex {
namespace {

QString Reason(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

// Every byte into the open descriptor `fd`, however few each write takes.
QString WriteAll(int fd, const QByteArray &bytes) {
  const char *next = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, next, static_cast<size_t>(left));
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Reason(errno);
    }
    next += written;
    left -= written;
  }
  return {};
}

QString WriteInPlace(const QByteArray &name, const QByteArray &bytes) {
  const int fd = open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return Reason(errno);
  }
  QString error = WriteAll(fd, bytes);
  if (close(fd) != 0 && error.isEmpty() && errno != EINTR) {
    error = Reason(errno);
  }
  return error;
}

// Into a new file beside `name`, renamed over it once all is written; the new file goes away
// again when something fails.
QString WriteBeside(const QByteArray &name, const QByteArray &bytes) {
  QSaveFile file(QFile::decodeName(name));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return file.errorString();
  }
  // Written by hand: a write that stops partway (a disk full after some of the bytes) leaves
  // QFile without the system's reason.
  if (QString error = WriteAll(file.handle(), bytes); !error.isEmpty()) {
    return error;
  }
  if (!file.commit()) {
    return file.errorString();
  }
  return {};
}

} // namespace

QString WriteOutput(const QString &path, const QByteArray &bytes) {
  if (path == QStringLiteral("-")) {
    return WriteAll(STDOUT_FILENO, bytes);
  }
  QByteArray name = QFile::encodeName(path);
  struct stat status {};
  if (stat(name.constData(), &status) != 0) {
    if (errno != ENOENT) {
      return Reason(errno);
    }
    return WriteBeside(name, bytes);
  }
  if (S_ISDIR(status.st_mode)) {
    return Reason(EISDIR);
  }
  if (!S_ISREG(status.st_mode)) {
    return WriteInPlace(name, bytes);
  }
  // A link is followed to the file it names, which is replaced; the link stays.
  const std::unique_ptr<char, decltype(&std::free)> target(realpath(name.constData(), nullptr),
                                                           &std::free);
  if (target == nullptr) {
    return Reason(errno);
  }
  return WriteBeside(target.get(), bytes);
}

} // namespace kolvex
