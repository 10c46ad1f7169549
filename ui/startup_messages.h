#pragma once

// Qt's messages while the application starts, and what the program says when no display opens.

#include <string_view>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kolvex {

// The exit status when no display can be opened.
inline constexpr int ExitNoDisplay = 1;

// Says on the standard error that no display opens, and why.
void ReportNoDisplay(std::string_view reason);

// While Qt looks for a display, its messages are held back. If none opens, Qt would abort with a
// core dump and advice to reinstall; instead the program says in one line what failed, with the
// first reason Qt's platform plugins gave (the qt.qpa categories; Qt's other notes, such as the
// one on a locale that is not UTF-8, are no reason), and ends with ExitNoDisplay. Once the
// application is up and this object goes, the held messages go out as they would have. A message
// handler takes no context, hence the statics: one object at a time.
class StartupMessages final {
public:
  StartupMessages();
  StartupMessages(const StartupMessages &) = delete;
  StartupMessages &operator=(const StartupMessages &) = delete;
  ~StartupMessages();

private:
  struct Held {
    QtMsgType type;
    QByteArray category;
    QString text;
  };
  static QtMessageHandler &previous();
  static std::vector<Held> &held();
  static void Hold(QtMsgType type, const QMessageLogContext &context, const QString &text);
};

} // namespace kolvex
