#pragma once

// Printing through real CUPS in the tests: the jobs of a queue and the files its PDF printer
// writes, fresh runs of a helper program that holds the program's printer, the shared test queue
// of scripts/cups-test-queue, and schedulers of a test's own that it may stop and start.

#include <optional>
#include <string>

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kolvex::testing {

// The shared test queue, and where its PDF printer puts the jobs.
inline const QString TestQueue = QStringLiteral("kolvex-test");
inline const QString TestOutput = QStringLiteral("/var/spool/cups-pdf/kolvex-test");

// The CUPS commands talk to the scheduler that `environment` names (CUPS_SERVER), by default the
// system's.

bool SchedulerRunning(
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The ids of a queue's jobs (of every queue's, for an empty name), finished ones included.
QSet<QString>
Jobs(const QString &queue = {},
     const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The ids of the jobs of a queue that have not finished yet.
QSet<QString>
PendingJobs(const QString &queue,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// Waits until CUPS has finished every job of the queue (a minute at most).
bool WaitForJobs(const QString &queue,
                 const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The PDF files in the test queue's output directory.
QSet<QString> Outputs();

// The PDF that the test queue's printer wrote for a job, or an empty text.
QString JobOutput(const QString &job);

// A fresh run of a helper program: one command a line on its standard input, one answer a line
// on its standard output.
class HelperProgram {
public:
  HelperProgram(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment);
  HelperProgram(const HelperProgram &) = delete;
  HelperProgram &operator=(const HelperProgram &) = delete;
  ~HelperProgram();

  // Sends one command and returns the answer (empty when none came within a minute).
  std::string Ask(const std::string &command);

  // Closes its input and waits for it to end: its exit code, or −1 when it crashed or hung.
  int Finish();

private:
  QProcess process_;
};

// The environment a program under test runs with: `home` as its home, the offscreen platform, and
// no default destination from variables.
QProcessEnvironment
UserEnvironment(const QString &home,
                QProcessEnvironment base = QProcessEnvironment::systemEnvironment());

// Asks `program` to print; it must answer "printed" and put one job on the test queue. Waits until
// CUPS has finished the job and returns the PDF it wrote, or an empty text (with a test failure).
QString PrintOnTestQueue(HelperProgram &program);

// Tests on the shared test queue: they take a lock, since they share the one cupsd, set the
// queue up (scripts/cups-test-queue) and leave the queues and the default destination as they
// found them. The program under test runs with a home directory of the test's, where the test sets
// the user's default destination as a user does (lpoptions -d), so the system's default is never
// touched. The tests skip when cupsd cannot run.
class CupsQueueTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // What the program runs with: the test's home, the offscreen platform, and no default
  // destination from variables.
  QProcessEnvironment Environment() const;

  // Makes `queue` the user's default destination.
  void SetDefault(const QString &queue);
  // Names a destination that CUPS does not have as the user's default.
  void SetMissingDefault();
  // Adds a queue on the test queue's PDF printer; TearDown deletes it.
  void AddQueue(const QString &queue);
  void RemoveQueue(const QString &queue);

  QTemporaryDir home_;

private:
  QLockFile lock_{QDir::temp().filePath("kolvex-cups-tests.lock")};
  std::optional<QString> state_; // queues and default destination before the test
  QSet<QString> outputs_;
  QStringList added_;
};

// A CUPS scheduler of a test's own, with its configuration, spool and socket in a temporary
// directory, so that a test can stop it, or stop its queues, without disturbing anyone. Its queues
// have a printer that writes each job, as the PDF the program sent, to one file per queue.
class PrivateCups {
public:
  PrivateCups();
  PrivateCups(const PrivateCups &) = delete;
  PrivateCups &operator=(const PrivateCups &) = delete;
  ~PrivateCups();

  // Starts cupsd and waits until it answers. Returns an empty text, or why it did not start.
  // A scheduler started again keeps its queues and their state.
  QString Start();
  void Stop();
  // Freezes the scheduler (SIGSTOP), which keeps taking connections but answers nothing, and
  // lets it go on again.
  bool Pause();
  bool Resume();
  // Stops the scheduler and puts in its place a server that takes connections and never answers;
  // Start takes it away again.
  bool Silence();

  // `base` with the variable that sends libcups and the CUPS commands to this scheduler.
  QProcessEnvironment
  Environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

  // Runs a CUPS command on this scheduler; true when it succeeded.
  bool Run(const QString &program, const QStringList &arguments) const;

  // Adds an enabled queue that accepts jobs; its printer writes each job to Output(queue).
  bool AddQueue(const QString &queue) const;
  QString Output(const QString &queue) const;

private:
  QTemporaryDir directory_;
  QProcess cupsd_;
  int silent_ = -1; // the listening socket of the silent server
};

} // namespace kolvex::testing
