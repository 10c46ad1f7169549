#include "tests/printer/cups_testing.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include "tests/printer/pdf_reading.h"

namespace kolvex::testing {
namespace {

// The queues with their devices and the default destination, as a user of this process sees them.
QString CupsState() {
  return QString::fromUtf8(RunProgram("lpstat", {"-v"}) + RunProgram("lpstat", {"-d"}));
}

QSet<QString> JobIds(const QStringList &arguments, const QProcessEnvironment &environment) {
  QSet<QString> jobs;
  const QByteArray listed = RunProgram("lpstat", arguments, nullptr, environment);
  for (const QString &line : QString::fromUtf8(listed).split('\n')) {
    const QString job = line.section(' ', 0, 0, QString::SectionSkipEmpty);
    if (!job.isEmpty()) {
      jobs.insert(job.section('-', -1));
    }
  }
  return jobs;
}

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

} // namespace

bool SchedulerRunning(const QProcessEnvironment &environment) {
  return RunProgram("lpstat", {"-r"}, nullptr, environment).trimmed() == "scheduler is running";
}

QSet<QString> Jobs(const QString &queue, const QProcessEnvironment &environment) {
  QStringList arguments{"-W", "all", "-o"};
  if (!queue.isEmpty()) {
    arguments << queue;
  }
  return JobIds(arguments, environment);
}

QSet<QString> PendingJobs(const QString &queue, const QProcessEnvironment &environment) {
  return JobIds({"-o", queue}, environment);
}

bool WaitForJobs(const QString &queue, const QProcessEnvironment &environment) {
  for (int attempt = 0; attempt < 600; ++attempt) {
    if (PendingJobs(queue, environment).isEmpty()) {
      return true;
    }
    QThread::msleep(100);
  }
  return false;
}

QSet<QString> Outputs() {
  const QStringList files = QDir(TestOutput).entryList({"*.pdf"}, QDir::Files);
  return {files.begin(), files.end()};
}

// The test queue's printer names its files "<title>-job_<id>" or "job_<id>-<title>".
QString JobOutput(const QString &job) {
  const QRegularExpression name(QStringLiteral("(^|[^0-9])job_%1([^0-9]|$)").arg(job));
  for (const QString &file : Outputs()) {
    if (name.match(file).hasMatch()) {
      return QDir(TestOutput).filePath(file);
    }
  }
  return {};
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
  lock_.setStaleLockTime(0);
  ASSERT_TRUE(lock_.lock());

  QProcess setUp;
  setUp.setProcessChannelMode(QProcess::MergedChannels);
  setUp.start(KOLVEX_CUPS_TEST_QUEUE, QStringList());
  ASSERT_TRUE(setUp.waitForFinished(120'000));
  const QString said = QString::fromUtf8(setUp.readAll());
  ASSERT_EQ(0, setUp.exitCode()) << said.toStdString();
  if (!SchedulerRunning()) {
    GTEST_SKIP() << "cupsd is not running and cannot start: " << said.toStdString();
  }
  state_ = CupsState();
  outputs_ = Outputs();
}

void CupsQueueTest::TearDown() {
  if (!state_) {
    return;
  }
  // Jobs still on their way would write their files after the clean-up.
  WaitForJobs(TestQueue);
  for (const QString &queue : added_) {
    WaitForJobs(queue);
    RunProgram("lpadmin", {"-x", queue});
  }
  for (const QString &file : Outputs() - outputs_) {
    QFile::remove(QDir(TestOutput).filePath(file));
  }
  EXPECT_EQ(*state_, CupsState());
}

QProcessEnvironment UserEnvironment(const QString &home, QProcessEnvironment base) {
  base.remove("LPDEST");
  base.remove("PRINTER");
  base.insert("HOME", home);
  base.insert("XDG_RUNTIME_DIR", home);
  base.insert("QT_QPA_PLATFORM", "offscreen");
  return base;
}

QString PrintOnTestQueue(HelperProgram &program) {
  const QSet<QString> before = Jobs(TestQueue);
  const std::string answer = program.Ask("print");
  const QSet<QString> added = Jobs(TestQueue) - before;
  if (answer != "printed" || added.size() != 1) {
    ADD_FAILURE() << "print answered \"" << answer << "\" and added " << added.size() << " jobs";
    return {};
  }
  if (!WaitForJobs(TestQueue)) {
    ADD_FAILURE() << "CUPS did not finish job " << added.begin()->toStdString();
    return {};
  }
  const QString pdf = JobOutput(*added.begin());
  if (pdf.isEmpty()) {
    ADD_FAILURE() << "no PDF for job " << added.begin()->toStdString();
  }
  return pdf;
}

QProcessEnvironment CupsQueueTest::Environment() const {
  return UserEnvironment(home_.path());
}

void CupsQueueTest::SetDefault(const QString &queue) {
  int exitCode = 0;
  RunProgram("lpoptions", {"-d", queue}, &exitCode, Environment());
  ASSERT_EQ(0, exitCode) << queue.toStdString();
}

void CupsQueueTest::SetMissingDefault() {
  ASSERT_TRUE(QDir(home_.path()).mkpath(".cups"));
  ASSERT_TRUE(WriteFile(home_.filePath(".cups/lpoptions"), "Default kolvex-test-missing\n"));
}

void CupsQueueTest::AddQueue(const QString &queue) {
  static const QString model = [] {
    const QString models = QString::fromUtf8(RunProgram("lpinfo", {"-m"}));
    return QRegularExpression(QStringLiteral(R"(^(\S*CUPS-PDF_\S*opt\.ppd)\s)"),
                              QRegularExpression::MultilineOption)
        .match(models)
        .captured(1);
  }();
  ASSERT_FALSE(model.isEmpty()) << "no CUPS-PDF printer model";
  int exitCode = 0;
  RunProgram("lpadmin", {"-p", queue, "-E", "-v", "cups-pdf:/" + TestQueue, "-m", model},
             &exitCode);
  ASSERT_EQ(0, exitCode) << queue.toStdString();
  if (!added_.contains(queue)) {
    added_ << queue;
  }
}

void CupsQueueTest::RemoveQueue(const QString &queue) {
  int exitCode = 0;
  RunProgram("lpadmin", {"-x", queue}, &exitCode);
  ASSERT_EQ(0, exitCode) << queue.toStdString();
}

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
  // Anyone on the socket may do anything; the queues' settings are written at once, so that a
  // scheduler started again finds them.
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
    if (SchedulerRunning(Environment())) {
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

QProcessEnvironment PrivateCups::Environment(QProcessEnvironment base) const {
  base.insert("CUPS_SERVER", QDir(directory_.path()).filePath("cups.sock"));
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

} // namespace kolvex::testing
