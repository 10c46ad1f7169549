#include "printer/system_paper.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace kolvex {
namespace {

// Qt's paper of a papersize name ("a4", "letter"): its key, tried first with "ISO" before it,
// since Qt's plain "B5" is the Japanese one.
std::optional<QPageSize> NamedPaper(const QString &name) {
  for (const QString &key : {QStringLiteral("ISO") + name, name}) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
      const auto size = static_cast<QPageSize::PageSizeId>(id);
      if (size != QPageSize::Custom &&
          QPageSize::key(size).compare(key, Qt::CaseInsensitive) == 0) {
        return QPageSize(size);
      }
    }
  }
  return std::nullopt;
}

// The first word of the papersize file that is no comment.
std::optional<QPageSize> FilePaper() {
  QString path = qEnvironmentVariable("PAPERCONF");
  if (path.isEmpty()) {
    path = QStringLiteral("/etc/papersize");
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return std::nullopt;
  }
  // A papersize file is a line or two; anything longer is not one.
  const QStringList lines = QString::fromUtf8(file.read(4096)).split('\n');
  for (const QString &line : lines) {
    const QString word = line.simplified().section(' ', 0, 0);
    if (!word.isEmpty() && !word.startsWith('#')) {
      return NamedPaper(word);
    }
  }
  return std::nullopt;
}

} // namespace

QPageSize SystemPaperSize() {
  if (std::optional<QPageSize> paper = LocalePaper()) {
    return *paper;
  }
  if (std::optional<QPageSize> paper = FilePaper()) {
    return *paper;
  }
  return QPageSize(QPageSize::A4);
}

} // namespace kolvex
