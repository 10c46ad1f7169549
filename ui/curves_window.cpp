#include "ui/curves_window.h"

#include <algorithm>

#include <QKeyEvent>
#include <QScreen>

#include "chart/calendar.h"
#include "ui/curves_plot.h"
#include "ui_curves_window.h"

namespace kolvex {

CurvesWindow::CurvesWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::CurvesWindow>()) {
  ui_->setupUi(this);
  connect(ui_->Plot, &CurvesPlot::CursorMoved, this, [this] { CursorMoved(); });
  parent->installEventFilter(this);
}

CurvesWindow::~CurvesWindow() = default;

const CurvesPlot &CurvesWindow::Plot() const {
  return *ui_->Plot;
}

void CurvesWindow::ShowMonth(const Forecast &forecast, const Today &today, int month, int day) {
  ui_->Plot->SetMonth(forecast, today, month, day);
  if (!shownBefore_) {
    shownBefore_ = true;
    // Centred over the window that opens it, and on its screen.
    const QWidget &over = *parentWidget()->window();
    QRect placed(QPoint(), size());
    placed.moveCenter(over.frameGeometry().center());
    if (const QScreen *screen = over.screen()) {
      const QRect room = screen->availableGeometry();
      placed.moveLeft(std::clamp(placed.left(), room.left(),
                                 std::max(room.left(), room.right() - placed.width())));
      placed.moveTop(std::clamp(placed.top(), room.top(),
                                std::max(room.top(), room.bottom() - placed.height())));
    }
    move(placed.topLeft());
  }
  show();
  raise();
  activateWindow();
  ui_->Plot->setFocus(Qt::OtherFocusReason);
}

void CurvesWindow::ReplaceChart(const Forecast &forecast, const Today &today) {
  CurvesPlot &plot = *ui_->Plot;
  plot.SetMonth(forecast, today, plot.Month(), plot.CursorDay());
}

void CurvesWindow::CursorMoved() {
  const CurvesPlot &plot = *ui_->Plot;
  setWindowTitle(QStringLiteral("График биоритмов: %1 %2")
                     .arg(QString::fromUtf8(MonthNamesNominative[plot.Month() - 1]))
                     .arg(plot.Chart().Year()));
  ui_->DayLine->setText(plot.Description());
}

// A window of a parent stays on the screen when the parent hides; this one goes along.
bool CurvesWindow::eventFilter(QObject *watched, QEvent *event) {
  if (watched == parentWidget()) {
    if (event->type() == QEvent::Hide && isVisible()) {
      hiddenWithParent_ = true;
      hide();
    } else if (event->type() == QEvent::Show && hiddenWithParent_) {
      hiddenWithParent_ = false;
      show();
    }
  }
  return false;
}

void CurvesWindow::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

} // namespace kolvex
