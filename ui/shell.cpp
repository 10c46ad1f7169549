#include "ui/shell.h"

#include <QEvent>
#include <QPointer>
#include <QWindowStateChangeEvent>

#include "ui/BIOform.h"
#include "ui/biomain.h"

namespace kolvex {
namespace {

// Minimising the input window minimises the program: the result window goes with it and comes
// back when the input window is restored. Minimising the result window minimises it alone.
class MinimiseTogether final : public QObject {
public:
  MinimiseTogether(TForm1 &form1, TForm2 &form2) : QObject(&form1), form2_(&form2) {
    form1.installEventFilter(this);
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::WindowStateChange || form2_ == nullptr) {
      return false;
    }
    const bool minimised = static_cast<QWidget *>(watched)->isMinimized();
    const bool wasMinimised =
        static_cast<QWindowStateChangeEvent *>(event)->oldState().testFlag(Qt::WindowMinimized);
    if (minimised && !wasMinimised) {
      hiddenWhileMinimised_ = form2_->isVisible();
      if (hiddenWhileMinimised_) {
        form2_->hide();
      }
    } else if (!minimised && wasMinimised && hiddenWhileMinimised_) {
      hiddenWhileMinimised_ = false;
      form2_->show();
    }
    return false;
  }

private:
  QPointer<TForm2> form2_;
  bool hiddenWhileMinimised_ = false;
};

} // namespace

void ConnectWindows(TForm1 &form1, TForm2 &form2) {
  QObject::connect(&form1, &TForm1::ChartComputed, &form2, &TForm2::PresentChart);
  new MinimiseTogether(form1, form2);
}

} // namespace kolvex
