#include "printer/cups_connection.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <chrono>

#include <QUrl>

#include "printer/cups_library.h"
#include "printer/printer.h"

namespace kolvex {
namespace {

constexpr int ConnectMilliseconds = 5000;
// How long a wait on the print server goes before the stop token is looked at again.
constexpr double WaitSeconds = 0.25;
// How long cancelling a job half taken may take, once the printout itself has given up.
constexpr std::chrono::seconds CancelBound{2};
// Pieces in which the document is streamed.
constexpr qsizetype ChunkBytes = 64 * 1024;

int KeepWaitingUnlessStopped(http_t *, void *stop) {
  return static_cast<const std::stop_token *>(stop)->stop_requested() ? 0 : 1;
}

int KeepWaitingUntil(http_t *, void *deadline) {
  return std::chrono::steady_clock::now() <
         *static_cast<const std::chrono::steady_clock::time_point *>(deadline);
}

http_t *Connect(int milliseconds) {
  if (LoadCups() == nullptr) {
    return nullptr;
  }
  const Cups &cups = Lib();
  return cups.httpConnect2(cups.cupsServer(), cups.ippPort(), nullptr, AF_UNSPEC,
                           cups.cupsEncryption(), 1, milliseconds, nullptr);
}

QByteArray PrinterUri(const QByteArray &printer) {
  return "ipp://localhost/printers/" + QUrl::toPercentEncoding(QString::fromUtf8(printer));
}

} // namespace

void CupsConnection::ShutDown::operator()() const noexcept {
  const std::lock_guard lock(connection->mutex_);
  if (connection->http_ != nullptr) {
    ::shutdown(Lib().httpGetFd(connection->http_), SHUT_RDWR);
  }
}

CupsConnection::CupsConnection(std::stop_token stop) : stop_(std::move(stop)) {
  if (stop_.stop_requested()) {
    return;
  }
  http_t *http = Connect(ConnectMilliseconds);
  if (http == nullptr) {
    return;
  }
  Lib().httpSetTimeout(http, WaitSeconds, KeepWaitingUnlessStopped, &stop_);
  {
    const std::lock_guard lock(mutex_);
    http_ = http;
  }
  // Runs at once when a stop came meanwhile.
  onStop_.emplace(stop_, ShutDown{this});
}

CupsConnection::~CupsConnection() {
  onStop_.reset(); // waits for a ShutDown under way in another thread
  if (http_ != nullptr) {
    Lib().httpClose(http_);
  }
}

void CupsConnection::Fail(ipp_status_t status) const {
  throw EPrinter(FailureMessage(status, stop_.stop_requested()));
}

QByteArray CupsConnection::DefaultDestination() {
  const Cups &cups = Lib();
  cups_dest_t *destination = cups.cupsGetNamedDest(http_, nullptr, nullptr);
  if (stop_.stop_requested()) {
    cups.cupsFreeDests(destination != nullptr ? 1 : 0, destination);
    throw EPrinter(PrinterNotResponding);
  }
  if (destination == nullptr) {
    return {};
  }
  QByteArray name(destination->name);
  cups.cupsFreeDests(1, destination);
  return name;
}

PrinterPaper CupsConnection::Paper(const QByteArray &printer) {
  const Cups &cups = Lib();
  ipp_t *request = cups.ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                    PrinterUri(printer).constData());
  constexpr std::array<const char *, 2> wanted{"media-col-default", "media-default"};
  cups.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                     static_cast<int>(wanted.size()), nullptr, wanted.data());
  // cupsDoRequest frees the request, whatever the answer.
  const IppPtr response(cups.cupsDoRequest(http_, request, "/"));
  if (response == nullptr || cups.cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
    Fail(cups.cupsLastError());
  }
  return PaperOfPrinter(response.get());
}

void CupsConnection::Submit(const QByteArray &printer, const QByteArray &media,
                            const QByteArray &pdf) {
  const Cups &cups = Lib();
  cups_option_t option{const_cast<char *>("media"), const_cast<char *>(media.constData())};
  // The job's and the document's names are empty.
  const int job =
      cups.cupsCreateJob(http_, printer.constData(), "", media.isEmpty() ? 0 : 1, &option);
  if (job <= 0) {
    Fail(cups.cupsLastError());
  }
  const bool started = cups.cupsStartDocument(http_, printer.constData(), job, "", CUPS_FORMAT_PDF,
                                              1) == HTTP_STATUS_CONTINUE;
  bool whole = started;
  for (qsizetype at = 0; whole && at < pdf.size(); at += ChunkBytes) {
    const qsizetype length = std::min(ChunkBytes, pdf.size() - at);
    whole = cups.cupsWriteRequestData(http_, pdf.constData() + at, static_cast<size_t>(length)) ==
            HTTP_STATUS_CONTINUE;
  }
  // Finishing reads CUPS's answer even after a failed write, so that its error is the one told.
  const bool taken =
      started && cups.cupsFinishDocument(http_, printer.constData()) <= IPP_STATUS_OK_CONFLICTING;
  if (!whole || !taken || stop_.stop_requested()) {
    const ipp_status_t status = cups.cupsLastError();
    Cancel(printer, job);
    Fail(status);
  }
}

// A job that did not get its document whole is cancelled, lest it print a broken page or hold up
// the queue. Once the printout was stopped the connection is gone, so a fresh one tries, briefly.
void CupsConnection::Cancel(const QByteArray &printer, int job) {
  const Cups &cups = Lib();
  if (!stop_.stop_requested()) {
    cups.cupsCancelJob2(http_, printer.constData(), job, 0);
    return;
  }
  auto deadline = std::chrono::steady_clock::now() + CancelBound;
  http_t *http = Connect(static_cast<int>(std::chrono::milliseconds(CancelBound).count()));
  if (http == nullptr) {
    return;
  }
  cups.httpSetTimeout(http, WaitSeconds, KeepWaitingUntil, &deadline);
  cups.cupsCancelJob2(http, printer.constData(), job, 0);
  cups.httpClose(http);
}

} // namespace kolvex
