#include "tests/process_runner.h"

#include <QProcess>

namespace kolvex::testing {

ProcessRun RunProcess(const QString &program, const QStringList &arguments,
                      const QProcessEnvironment &environment, const QString &stdoutPath,
                      int seconds, const QString &stdinPath) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(stdinPath.isEmpty() ? QProcess::nullDevice() : stdinPath);
  if (!stdoutPath.isEmpty()) {
    process.setStandardOutputFile(stdoutPath, QIODevice::Truncate);
  }
  process.start(program, arguments);
  const bool finished = process.waitForFinished(seconds * 1000);
  if (!finished) {
    process.kill();
    process.waitForFinished();
  }
  ProcessRun run;
  run.status = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

QByteArray RunProgram(const QString &program, const QStringList &arguments, int *exitCode,
                      const QProcessEnvironment &environment, int seconds) {
  ProcessRun run = RunProcess(program, arguments, environment, {}, seconds);
  if (exitCode != nullptr) {
    *exitCode = run.status;
  }
  return std::move(run.out);
}

} // namespace kolvex::testing
