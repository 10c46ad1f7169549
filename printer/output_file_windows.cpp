// Windows has no FIFOs: a device (NUL, a COM port) is written in place; QSaveFile replaces the
// file with MoveFileEx once all is written.

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>

#include <QFileInfo>

#include "printer/output_file.h"
#include "printer/output_file_system.h"

namespace kolvex {
namespace output {

int OpenInPlace(const QString &path) {
  return _wopen(path.toStdWString().c_str(), O_WRONLY | O_BINARY);
}

// The C library's descriptors are opened in text mode, which would turn "\n" into "\r\n".
void WriteBinary(int fd) {
  _setmode(fd, _O_BINARY);
}

} // namespace output

QString WriteOutput(const QString &path, const QByteArray &bytes) {
  using namespace output;
  if (path == QStringLiteral("-")) {
    WriteBinary(_fileno(stdout));
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

} // namespace kolvex
