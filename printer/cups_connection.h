#pragma once

// The printer's exchanges with CUPS: one connection to the print server for a printout, every
// wait on it ended by a stop token.

#include <mutex>
#include <optional>
#include <stop_token>

#include <QByteArray>

#include "printer/cups_paper.h"

typedef struct _http_s http_t;

namespace kolvex {

class CupsConnection {
public:
  // Connects to the print server that libcups names (CUPS_SERVER, client.conf, or the local one).
  explicit CupsConnection(std::stop_token stop);
  CupsConnection(const CupsConnection &) = delete;
  CupsConnection &operator=(const CupsConnection &) = delete;
  ~CupsConnection();

  // False when the print server cannot be reached.
  bool Connected() const noexcept { return http_ != nullptr; }

  // The user's default destination (from LPDEST or PRINTER, lpoptions or the server), or an
  // empty text when there is none or it does not exist. Throws EPrinter "Printer selected is not
  // responding" when stopped.
  QByteArray DefaultDestination();

  // The default paper of `printer`. Throws EPrinter "Printer selected is not valid" when CUPS
  // does not have the printer, "Printer selected is not responding" when stopped.
  PrinterPaper Paper(const QByteArray &printer);

  // Hands `pdf` to `printer` as one job on `media`, checking every answer. Throws EPrinter as
  // Printer::EndDoc says; a job that CUPS had begun to take is cancelled first.
  void Submit(const QByteArray &printer, const QByteArray &media, const QByteArray &pdf);

private:
  struct ShutDown {
    CupsConnection *connection;
    void operator()() const noexcept;
  };

  [[noreturn]] void Fail(ipp_status_t status) const;
  void Cancel(const QByteArray &printer, int job);

  std::stop_token stop_;
  std::mutex mutex_; // guards http_ against ShutDown from the stopping thread
  http_t *http_ = nullptr;
  std::optional<std::stop_callback<ShutDown>> onStop_;
};

} // namespace kolvex
