#pragma once

// libcups as the printer uses it: loaded at the first printout, so that starting the program does
// not pay for it; its replies owned; its status told as the printer's failure.

#include <memory>

#include <cups/cups.h>
#include <cups/pwg.h>

namespace kolvex {

// The functions of libcups the printer calls, typed from its own header.
#define KOLVEX_CUPS_FUNCTIONS(X)                                                                   \
  X(cupsCancelJob2)                                                                                \
  X(cupsCreateJob)                                                                                 \
  X(cupsDoRequest)                                                                                 \
  X(cupsEncryption) X(cupsFinishDocument) X(cupsFreeDests) X(cupsGetNamedDest) X(cupsGetOption)    \
      X(cupsLastError) X(cupsServer) X(cupsStartDocument) X(cupsWriteRequestData) X(httpClose)     \
          X(httpConnect2) X(httpGetFd) X(httpSetTimeout) X(ippAddString) X(ippAddStrings)          \
              X(ippDelete) X(ippFindAttribute) X(ippGetCollection) X(ippGetInteger)                \
                  X(ippGetString) X(ippNewRequest) X(ippPort) X(pwgMediaForPWG)

struct Cups {
#define KOLVEX_CUPS_MEMBER(name) decltype(&::name) name = nullptr;
  KOLVEX_CUPS_FUNCTIONS(KOLVEX_CUPS_MEMBER)
#undef KOLVEX_CUPS_MEMBER
};

// libcups, loaded once a run; nullptr when the system has none.
const Cups *LoadCups();

// libcups once LoadCups has found it.
const Cups &Lib();

// An IPP message that ippDelete frees.
struct IppDelete {
  void operator()(ipp_t *ipp) const noexcept { Lib().ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDelete>;

// The printer's message for an exchange with CUPS that failed with `status`, or was `stopped`:
// "Printer selected is not responding" once stopped, "Printer selected is not accepting jobs"
// for a queue that refuses jobs, else "Printer selected is not valid".
const char *FailureMessage(ipp_status_t status, bool stopped) noexcept;

} // namespace kolvex
