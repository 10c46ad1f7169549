#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <QFile>

#include "printer/output_file.h"
#include "printer/output_file_system.h"

namespace kolvex {
namespace output {

int OpenInPlace(const QString &path) {
  return open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
}

void WriteBinary(int) {}

} // namespace output

QString WriteOutput(const QString &path, const QByteArray &bytes) {
  using namespace output;
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

} // namespace kolvex
