#include "ui/shell.h"

#include <utility>

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "ui/BIOform.h"
#include "ui/application.h"
#include "ui/on_event.h"

namespace kolvex {

void ConnectWindows(TForm1 &form1, TForm2 &form2) {
  QObject::connect(&form1, &TForm1::ChartComputed, &form2, &TForm2::PresentChart);
  // Minimising the input window minimises the program: the result window goes with it and comes
  // back when the input window is restored. Minimising the result window minimises it alone.
  auto minimiseTogether = [&form1, result = QPointer<TForm2>(&form2),
                           hiddenWhileMinimised = false](const QEvent &event) mutable {
    if (result == nullptr) {
      return;
    }
    const bool minimised = form1.isMinimized();
    const auto &change = static_cast<const QWindowStateChangeEvent &>(event);
    const bool wasMinimised = change.oldState().testFlag(Qt::WindowMinimized);
    if (minimised && !wasMinimised) {
      hiddenWhileMinimised = result->isVisible();
      if (hiddenWhileMinimised) {
        result->hide();
      }
    } else if (!minimised && wasMinimised && hiddenWhileMinimised) {
      hiddenWhileMinimised = false;
      result->show();
    }
  };
  OnEveryEvent(form1, QEvent::WindowStateChange, std::move(minimiseTogether));
}

Shell::Shell() = default;

Shell::~Shell() = default;

// The result window is built as soon as the input window is on the screen: building its grid is
// the larger part of starting up, and the input window need not wait for it. So is the windows'
// icon for taskbars and window switchers: finding it reads the icon themes and loads the SVG
// engine. So is the list of people, for the default person: a disk may keep it waiting.
void Shell::Show() {
  OnEvent(form1_, QEvent::Paint, [this] {
    QTimer::singleShot(0, &form1_, [this] {
      form1_.ReadDefaultPerson();
      BuildResultWindow();
    });
  });
  form1_.show();
}

void Shell::BuildResultWindow() {
  // The installed theme's icon, or else the one built in.
  QApplication::setWindowIcon(
      QIcon::fromTheme(QString::fromUtf8(AppId), QIcon(QStringLiteral(":/icons/kolvex.svg"))));
  form2_ = std::make_unique<TForm2>();
  ConnectWindows(form1_, *form2_);
}

} // namespace kolvex
