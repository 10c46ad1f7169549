#pragma once

// Printing through real CUPS in the tests, never the machine's: every test runs a CUPS scheduler
// of its own, with its configuration, spool, logs and socket in a temporary directory, whose
// queues write each job to a file. Fresh runs of a helper program hold the program's printer.

#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kolvex::testing {

// A CUPS scheduler of a test's own, so that a test can stop it, or stop its queues, without
// disturbing anyone. It listens on a socket in its directory alone (no network port), and the CUPS
// commands and libcups that Environment sends to it keep their settings (lpoptions) there too.
// Its queues have a printer that passes the PDF the program sent to one file per queue, written
// again by each job. Whatever happens to the test, the scheduler ends with it: with this object,
// or with the test's process.
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

  // `base` with the variables that send libcups and the CUPS commands to this scheduler and to
  // its directory for their settings, instead of the machine's /etc/cups.
  QProcessEnvironment
  Environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

  // Runs a CUPS command on this scheduler; true when it succeeded.
  bool Run(const QString &program, const QStringList &arguments) const;

  // Adds an enabled queue that accepts jobs; its printer writes each job to Output(queue).
  bool AddQueue(const QString &queue) const;
  QString Output(const QString &queue) const;

  // The ids of a queue's jobs (of every queue's, for an empty name), finished ones included.
  QSet<QString> Jobs(const QString &queue = {}) const;
  // The ids of the jobs of a queue (of every queue) that have not finished yet.
  QSet<QString> PendingJobs(const QString &queue = {}) const;
  // Waits until the scheduler has finished every job of the queue (a minute at most).
  bool WaitForJobs(const QString &queue = {}) const;

private:
  QTemporaryDir directory_;
  QProcess cupsd_;
  int silent_ = -1; // the listening socket of the silent server
};

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

// The queue that every printing test starts with.
inline const QString TestQueue = QStringLiteral("kolvex-test");

// Tests on a scheduler of their own with the queue TestQueue. The program under test runs with a
// home directory of the test's, where the test sets the user's default destination as a user does
// (lpoptions -d). The machine's CUPS settings must be the same after the test as before. The tests
// skip when cupsd cannot run.
class CupsQueueTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // What the program runs with: the test's home and scheduler, the offscreen platform, and no
  // default destination from variables.
  QProcessEnvironment Environment() const;

  // Makes `queue` the user's default destination.
  void SetDefault(const QString &queue);
  // Makes the user's default destination one that CUPS no longer has.
  void SetMissingDefault();

  // Asks `program` to print; it must answer "printed" and put one job on the test queue. Waits
  // until CUPS has finished the job and returns the PDF it wrote, or an empty text (with a test
  // failure).
  QString PrintOnTestQueue(HelperProgram &program);

  QTemporaryDir home_;
  PrivateCups cups_;

private:
  QString machine_; // the machine's CUPS settings before the test
};

} // namespace kolvex::testing
