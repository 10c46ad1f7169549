#include "printer/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <QFile>
#include <QFileInfo>
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

QString WriteInPlace(const QString &path, const QByteArray &bytes) {
#ifdef _WIN32
  const int fd = _wopen(path.toStdWString().c_str(), O_WRONLY | O_BINARY);
#else
  const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
#endif
  if (fd < 0) {
    return Reason(errno);
  }
  QString error = WriteAll(fd, bytes);
  if (close(fd) != 0 && error.isEmpty() && errno != EINTR) {
    error = Reason(errno);
  }
  return error;
}

// Into a new file beside `path`, renamed over it once all is written; the new file goes away
// again when something fails.
QString WriteBeside(const QString &path, const QByteArray &bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return file.errorString();
  }
#ifdef _WIN32
  // The C library's descriptor of the file, opened in text mode, would turn "\n" into "\r\n".
  _setmode(file.handle(), _O_BINARY);
#endif
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

#ifdef _WIN32

// Windows has no FIFOs: a device (NUL, a COM port) is written in place; QSaveFile replaces the
// file with MoveFileEx once all is written.
QString WriteOutput(const QString &path, const QByteArray &bytes) {
  if (path == QStringLiteral("-")) {
    _setmode(_fileno(stdout), _O_BINARY);
    return WriteAll(_fileno(stdout), bytes);
  }
  const QFileInfo info(path);
  if (info.isDir()) {
    return Reason(EISDIR);
  }
  if (info.exists() && !info.isFile()) {
    return WriteInPlace(path, bytes);
  }
  const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
  return WriteBeside(target.isEmpty() ? path : target, bytes);
}

#else

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
    return WriteBeside(path, bytes);
  }
  if (S_ISDIR(status.st_mode)) {
    return Reason(EISDIR);
  }
  if (!S_ISREG(status.st_mode)) {
    return WriteInPlace(path, bytes);
  }
  // A link is followed to the file it names, which is replaced; the link stays.
  const std::unique_ptr<char, decltype(&std::free)> target(realpath(name.constData(), nullptr),
                                                           &std::free);
  if (target == nullptr) {
    return Reason(errno);
  }
  return WriteBeside(QFile::decodeName(target.get()), bytes);
}

#endif

} // namespace kolvex
