#include "ui/curves_window.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "chart/calendar.h"
#include "chart/year_chart.h"
#include "ui/curves_geometry.h"
#include "ui/curves_plot.h"
#include "ui_curves_window.h"

namespace kolvex {

namespace {

constexpr int Gap = 8; // between the result window and this one

QString MonthName(int month) {
  return QString::fromUtf8(MonthNamesNominative[static_cast<std::size_t>(month - 1)]);
}

// "март 2030".
QString MonthAndYear(YearMonth month) {
  return QStringLiteral("%1 %2").arg(MonthName(month.month)).arg(month.year);
}

} // namespace

CurvesWindow::CurvesWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::CurvesWindow>()) {
  ui_->setupUi(this);
  // Wide enough for the longest line under the plot, which ends in the code that tells the
  // critical day; with larger fonts than the window has room for, the line wraps rather than lose
  // its end.
  QString longest = QStringLiteral("30 сентября 2099, воскресенье: ");
  for (const Cycle &cycle : Cycles) {
    longest += QString::fromUtf8(cycle.name.data(), static_cast<qsizetype>(cycle.name.size())) +
               QStringLiteral(" -100 %, ");
  }
  const int lineWidth = ui_->DayLine->fontMetrics().horizontalAdvance(longest + "***") +
                        2 * ui_->DayLine->indent() + 2;
  setMinimumWidth(std::max(minimumSizeHint().width(), lineWidth));
  resize(std::max(width(), minimumWidth()), height());
  QSizePolicy wrapping = ui_->DayLine->sizePolicy();
  wrapping.setHeightForWidth(true);
  ui_->DayLine->setSizePolicy(wrapping);
  connect(ui_->Plot, &CurvesPlot::CursorMoved, this, [this] { CursorMoved(); });
  connect(ui_->PreviousMonth, &QPushButton::clicked, this, [this] { ui_->Plot->GoMonths(-1); });
  connect(ui_->NextMonth, &QPushButton::clicked, this, [this] { ui_->Plot->GoMonths(1); });
  parent->installEventFilter(this);
}

CurvesWindow::~CurvesWindow() = default;

void CurvesWindow::ShowMonth(const Forecast &forecast, const Today &today, int month, int day) {
  ui_->Plot->SetMonth(forecast, today, month, day);
  if (!shownBefore_) {
    shownBefore_ = true;
    // Beside the window that opens it, on the side with more room, level with its top; on a
    // screen too narrow for both it keeps to the screen's edge and covers as little as it can.
    const QWidget &over = *parentWidget()->window();
    const QRect beside = over.frameGeometry();
    QRect placed(QPoint(), size());
    placed.moveCenter(beside.center());
    if (const QScreen *screen = over.screen()) {
      const QRect room = screen->availableGeometry();
      const int frame = over.frameGeometry().width() - over.width(); // this window's frame too
      if (room.right() - beside.right() >= beside.left() - room.left()) {
        placed.moveTopLeft({beside.right() + Gap, beside.top()});
      } else {
        placed.moveTopLeft({beside.left() - Gap - placed.width() - frame, beside.top()});
      }
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
  plot.SetMonth(forecast, today, plot.Month(), plot.Day());
}

void CurvesWindow::CursorMoved() {
  const CurvesPlot &plot = *ui_->Plot;
  const YearMonth shown{plot.Year(), plot.Month()};
  setWindowTitle(QStringLiteral("График биоритмов: ") + MonthAndYear(shown));
  ui_->DayLine->setText(plot.Description());
  // The buttons name the months they go to.
  const auto name = [&shown](YearMonth month) {
    return month.year == shown.year ? MonthName(month.month) : MonthAndYear(month);
  };
  const YearMonth before = MonthsOn(shown, -1);
  const YearMonth after = MonthsOn(shown, 1);
  // At the ends of the range a button leads nowhere, and says so by being unavailable.
  ui_->PreviousMonth->setEnabled(plot.CanGoMonths(-1));
  ui_->NextMonth->setEnabled(plot.CanGoMonths(1));
  ui_->PreviousMonth->setText(QStringLiteral("‹ ") + name(before));
  ui_->NextMonth->setText(name(after) + QStringLiteral(" ›"));
  ui_->PreviousMonth->setAccessibleName(QStringLiteral("Предыдущий месяц, ") +
                                        MonthAndYear(before));
  ui_->NextMonth->setAccessibleName(QStringLiteral("Следующий месяц, ") + MonthAndYear(after));
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
