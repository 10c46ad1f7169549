#include "ui/startup_messages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kolvex {

// Plain stdio: it also runs from Qt's fatal message, on the way out.
void ReportNoDisplay(std::string_view reason) {
  std::fprintf(stderr, "kolvex: cannot open a display: %.*s\n", static_cast<int>(reason.size()),
               reason.data());
}

StartupMessages::StartupMessages() {
  previous() = qInstallMessageHandler(&Hold);
}

StartupMessages::~StartupMessages() {
  qInstallMessageHandler(previous());
  for (const Held &message : held()) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    previous()(message.type, context, message.text);
  }
}

QtMessageHandler &StartupMessages::previous() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

std::vector<StartupMessages::Held> &StartupMessages::held() {
  static std::vector<Held> messages;
  return messages;
}

void StartupMessages::Hold(QtMsgType type, const QMessageLogContext &context, const QString &text) {
  if (type == QtFatalMsg) {
    const auto platform = std::find_if(held().begin(), held().end(), [](const Held &message) {
      return message.category.startsWith("qt.qpa.");
    });
    const QString reason = platform == held().end() ? text.section(u'\n', 0, 0) : platform->text;
    ReportNoDisplay(qPrintable(reason.trimmed()));
    std::_Exit(ExitNoDisplay);
  }
  held().push_back({type, context.category, text});
}

} // namespace kolvex
