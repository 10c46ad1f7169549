#include "printer/output_file_system.h"

// Both systems' C libraries declare write and close here (MinGW's through its io.h).
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QSaveFile>

namespace kolvex::output {

QString Reason(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

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

QString WriteInPlace(const QString &path, const QByteArray &bytes) {
  const int fd = OpenInPlace(path);
  if (fd < 0) {
    return Reason(errno);
  }
  QString error = WriteAll(fd, bytes);
  if (close(fd) != 0 && error.isEmpty() && errno != EINTR) {
    error = Reason(errno);
  }
  return error;
}

QString WriteBeside(const QString &path, const QByteArray &bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return file.errorString();
  }
  WriteBinary(file.handle());
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

} // namespace kolvex::output
