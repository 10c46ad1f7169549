#pragma once

// Writing a document wherever the user points: a file, a FIFO, a device, or standard output.

#include <QByteArray>
#include <QString>

namespace kolvex {

// Writes `bytes` to `path`. A regular file, or a path where nothing is yet, is written whole or not
// at all: into a new file beside it, renamed to `path` at the end (through a symbolic link, the
// file it names). Anything else that is there (a FIFO, a character device) is written in place and
// never replaced; "-" is standard output. Returns the system's reason when something went wrong
// ("No space left on device"), or an empty text when everything was written.
QString WriteOutput(const QString &path, const QByteArray &bytes);

} // namespace kolvex
