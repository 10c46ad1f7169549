#pragma once

// Running a program to its end, as the tests run the commands under test and the tools that read
// their output back.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kolvex::testing {

struct ProcessRun {
  int status = -1; // the exit status, or -1 when the process did not exit by itself in time
  QByteArray out;  // standard output, unless it went to a file
  QByteArray err;
};

// Runs `program` with `arguments` in `environment`, standard input empty (or the file `stdinPath`),
// for `seconds` at most: a process that runs longer is killed. Standard output goes to the file
// `stdoutPath` when one is given (truncated first), else it is kept in the result.
ProcessRun
RunProcess(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
           const QString &stdoutPath = {}, int seconds = 60, const QString &stdinPath = {});

// What RunProcess keeps of standard output; sets `exitCode`, when given, to its status.
QByteArray
RunProgram(const QString &program, const QStringList &arguments, int *exitCode = nullptr,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
           int seconds = 60);

} // namespace kolvex::testing
