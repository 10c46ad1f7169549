#include "tests/printer/cups_testing.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include "tests/process_runner.h"

namespace kolvex::testing {
namespace {

// A printer description of the simplest kind: A4 paper, and PDF passed on to the device as it
// came (gziptoany copies what is not compressed).
constexpr const char *PassThroughPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "KOLVEX.PPD"
*Manufacturer: "Kolvex"
*Product: "(Kolvex test printer)"
*ModelName: "Kolvex test printer"
*ShortNickName: "Kolvex test printer"
*NickName: "Kolvex test printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/pdf application/vnd.cups-pdf 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 36 577 806"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
)ppd";

bool WriteFile(const QString &path, const QByteArray &text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// The files where a test could change the machine's printers or its default destination.
QString MachineCupsSettings() {
  QString settings;
  for (const QString &path :
       {QStringLiteral("/etc/cups/lpoptions"), QStringLiteral("/etc/cups/printers.conf"),
        QDir::home().filePath(".cups/lpoptions")}) {
    QFile file(path);
    settings += path + ": " +
                (file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "none") +
                '\n';
  }
  return settings;
}

} // namespace

PrivateCups::PrivateCups() {
  // cupsd runs the printers' filters as another user, who must reach the spool and the output.
  const QDir root(directory_.path());
  QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                         QFile::ExeOther);
  for (const char *path : {"spool/temp", "cache", "log", "out"}) {
    root.mkpath(path);
  }
  const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
  QFile::setPermissions(root.filePath("spool/temp"), everyone);
  QFile::setPermissions(root.filePath("out"), everyone);

  const QString path = root.path();
  WriteFile(root.filePath("cups-files.conf"), QStringLiteral("ServerRoot %1\n"
                                                             "StateDir %1\n"
                                                             "CacheDir %1/cache\n"
                                                             "RequestRoot %1/spool\n"
                                                             "TempDir %1/spool/temp\n"
                                                             "AccessLog %1/log/access_log\n"
                                                             "ErrorLog %1/log/error_log\n"
                                                             "PageLog %1/log/page_log\n"
                                                             "FileDevice Yes\n")
                                                  .arg(path)
                                                  .toUtf8());
  // Only the socket, no port; anyone on it may do anything. The queues' settings are written at
  // once, so that a scheduler started again finds them.
  WriteFile(root.filePath("cupsd.conf"), QStringLiteral("Listen %1/cups.sock\n"
                                                        "Browsing No\n"
                                                        "WebInterface No\n"
                                                        "DirtyCleanInterval 0\n"
                                                        "LogLevel warn\n"
                                                        "<Location />\n"
                                                        "  Order allow,deny\n"
                                                        "  Allow all\n"
                                                        "</Location>\n"
                                                        "<Policy default>\n"
                                                        "  <Limit All>\n"
                                                        "    Order deny,allow\n"
                                                        "  </Limit>\n"
                                                        "</Policy>\n")
                                             .arg(path)
                                             .toUtf8());
  WriteFile(root.filePath("printer.ppd"), PassThroughPpd);
  // A test that crashes or is killed takes its scheduler along.
  cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

PrivateCups::~PrivateCups() {
  Stop();
  if (silent_ >= 0) {
    ::close(silent_);
  }
}

QString PrivateCups::Start() {
  if (silent_ >= 0) {
    ::close(silent_);
    silent_ = -1;
    QFile::remove(QDir(directory_.path()).filePath("cups.sock"));
  }
  if (!directory_.isValid()) {
    return QStringLiteral("no temporary directory");
  }
  const QString cupsd =
      QStandardPaths::findExecutable("cupsd", {"/usr/sbin", "/sbin", "/usr/local/sbin"});
  if (cupsd.isEmpty()) {
    return QStringLiteral("cupsd is not installed");
  }
  const QDir root(directory_.path());
  cupsd_.setProcessChannelMode(QProcess::MergedChannels);
  cupsd_.start(cupsd,
               {"-f", "-c", root.filePath("cupsd.conf"), "-s", root.filePath("cups-files.conf")});
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (RunProgram("lpstat", {"-r"}, nullptr, Environment()).trimmed() == "scheduler is running") {
      return {};
    }
    if (cupsd_.waitForFinished(100)) {
      break;
    }
  }
  Stop();
  QFile log(root.filePath("log/error_log"));
  log.open(QIODevice::ReadOnly);
  return QString::fromUtf8(cupsd_.readAll() + log.readAll());
}

void PrivateCups::Stop() {
  if (cupsd_.state() == QProcess::NotRunning) {
    return;
  }
  Resume();
  cupsd_.terminate();
  if (!cupsd_.waitForFinished(10'000)) {
    cupsd_.kill();
    cupsd_.waitForFinished();
  }
}

// QProcess may not have noticed yet that cupsd started: its state can still read Starting.
bool PrivateCups::Pause() {
  return cupsd_.processId() > 0 && ::kill(cupsd_.processId(), SIGSTOP) == 0;
}

bool PrivateCups::Resume() {
  return cupsd_.processId() > 0 && ::kill(cupsd_.processId(), SIGCONT) == 0;
}

bool PrivateCups::Silence() {
  Stop();
  const QByteArray path = QFile::encodeName(QDir(directory_.path()).filePath("cups.sock"));
  QFile::remove(QString::fromLocal8Bit(path));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) {
    return false;
  }
  std::copy(path.begin(), path.end(), address.sun_path);
  silent_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
  // Never accepted: the kernel takes the connections, and nobody reads what they send.
  return silent_ >= 0 &&
         ::bind(silent_, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0 &&
         ::listen(silent_, 16) == 0;
}

// libcups reads client.conf and lpoptions from CUPS_SERVERROOT, and lpoptions run by root writes
// there since CUPS 2.4.3 (before, and for other users, it writes the home's .cups/lpoptions).
QProcessEnvironment PrivateCups::Environment(QProcessEnvironment base) const {
  const QDir root(directory_.path());
  base.insert("CUPS_SERVER", root.filePath("cups.sock"));
  base.insert("CUPS_SERVERROOT", root.path());
  return base;
}

bool PrivateCups::Run(const QString &program, const QStringList &arguments) const {
  int exitCode = 0;
  RunProgram(program, arguments, &exitCode, Environment());
  return exitCode == 0;
}

bool PrivateCups::AddQueue(const QString &queue) const {
  const QDir root(directory_.path());
  return Run("lpadmin", {"-p", queue, "-E", "-v", "file://" + Output(queue), "-P",
                         root.filePath("printer.ppd")});
}

QString PrivateCups::Output(const QString &queue) const {
  return QDir(directory_.path()).filePath("out/" + queue + ".pdf");
}

namespace {

QSet<QString> JobIds(const PrivateCups &cups, QStringList arguments, const QString &queue) {
  if (!queue.isEmpty()) {
    arguments << queue;
  }
  QSet<QString> jobs;
  const QByteArray listed = RunProgram("lpstat", arguments, nullptr, cups.Environment());
  for (const QString &line : QString::fromUtf8(listed).split('\n')) {
    const QString job = line.section(' ', 0, 0, QString::SectionSkipEmpty);
    if (!job.isEmpty()) {
      jobs.insert(job.section('-', -1));
    }
  }
  return jobs;
}

} // namespace

QSet<QString> PrivateCups::Jobs(const QString &queue) const {
  return JobIds(*this, {"-W", "all", "-o"}, queue);
}

QSet<QString> PrivateCups::PendingJobs(const QString &queue) const {
  return JobIds(*this, {"-o"}, queue);
}

bool PrivateCups::WaitForJobs(const QString &queue) const {
  for (int attempt = 0; attempt < 600; ++attempt) {
    if (PendingJobs(queue).isEmpty()) {
      return true;
    }
    QThread::msleep(100);
  }
  return false;
}

HelperProgram::HelperProgram(const QString &program, const QStringList &arguments,
                             const QProcessEnvironment &environment) {
  process_.setProcessEnvironment(environment);
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(program, arguments);
  process_.waitForStarted();
}

HelperProgram::~HelperProgram() {
  Finish();
}

std::string HelperProgram::Ask(const std::string &command) {
  process_.write(QByteArray::fromStdString(command) + '\n');
  while (!process_.canReadLine() && process_.waitForReadyRead(60'000)) {
  }
  return QString::fromUtf8(process_.readLine()).trimmed().toStdString();
}

int HelperProgram::Finish() {
  if (process_.state() != QProcess::NotRunning) {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(60'000)) {
      process_.kill();
      process_.waitForFinished();
      return -1;
    }
  }
  return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

void CupsQueueTest::SetUp() {
  ASSERT_TRUE(home_.isValid());
  machine_ = MachineCupsSettings();
  const QString why = cups_.Start();
  if (!why.isEmpty()) {
    GTEST_SKIP() << "cupsd cannot run here: " << why.toStdString();
  }
  ASSERT_TRUE(cups_.AddQueue(TestQueue));
}

void CupsQueueTest::TearDown() {
  cups_.Stop();
  EXPECT_EQ(machine_, MachineCupsSettings());
}

QProcessEnvironment CupsQueueTest::Environment() const {
  QProcessEnvironment environment = cups_.Environment();
  environment.remove("LPDEST");
  environment.remove("PRINTER");
  environment.insert("HOME", home_.path());
  environment.insert("XDG_RUNTIME_DIR", home_.path());
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  return environment;
}

void CupsQueueTest::SetDefault(const QString &queue) {
  int exitCode = 0;
  RunProgram("lpoptions", {"-d", queue}, &exitCode, Environment());
  ASSERT_EQ(0, exitCode) << queue.toStdString();
}

void CupsQueueTest::SetMissingDefault() {
  const QString missing = QStringLiteral("kolvex-test-missing");
  ASSERT_TRUE(cups_.AddQueue(missing));
  SetDefault(missing);
  ASSERT_TRUE(cups_.Run("lpadmin", {"-x", missing}));
}

QString CupsQueueTest::PrintOnTestQueue(HelperProgram &program) {
  const QString pdf = cups_.Output(TestQueue);
  QFile::remove(pdf);
  const QSet<QString> before = cups_.Jobs(TestQueue);
  const std::string answer = program.Ask("print");
  const QSet<QString> added = cups_.Jobs(TestQueue) - before;
  if (answer != "printed" || added.size() != 1) {
    ADD_FAILURE() << "print answered \"" << answer << "\" and added " << added.size() << " jobs";
    return {};
  }
  if (!cups_.WaitForJobs(TestQueue)) {
    ADD_FAILURE() << "CUPS did not finish job " << added.begin()->toStdString();
    return {};
  }
  if (!QFile::exists(pdf)) {
    ADD_FAILURE() << "no PDF for job " << added.begin()->toStdString();
    return {};
  }
  return pdf;
}

} // namespace kolvex::testing
