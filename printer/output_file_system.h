#pragma once

// The parts of WriteOutput: those that every system shares (output_file.cpp), and those that each
// system has its own way of (output_file_posix.cpp, output_file_windows.cpp), which also decide
// where a path is written.

#include <QByteArray>
#include <QString>

namespace kolvex::output {

// The system's reason for `error`, an errno value.
QString Reason(int error);

// Every byte into the open descriptor `fd`, however few each write takes.
QString WriteAll(int fd, const QByteArray &bytes);

// Into what is at `path`, in place: a FIFO or a device stays what it is.
QString WriteInPlace(const QString &path, const QByteArray &bytes);

// Into a new file beside `path`, renamed over it once all is written; the new file goes away
// again when something fails.
QString WriteBeside(const QString &path, const QByteArray &bytes);

// The system's own: opens `path` for writing as it is, or returns -1 with errno set.
int OpenInPlace(const QString &path);

// The system's own: `fd` carries bytes as they are, whatever the C library would translate.
void WriteBinary(int fd);

} // namespace kolvex::output
