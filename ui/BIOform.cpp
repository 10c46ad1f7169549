#include "ui/BIOform.h"

#include <QMenu>
#include <QMouseEvent>

#include "chart/legend.h"
#include "printer/print_worker.h"
#include "ui/application.h"
#include "ui/curves_window.h"
#include "ui/look.h"
#include "ui_BIOform.h"

namespace kolvex {

TForm2::TForm2(QWidget *parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm2>()),
      printWorker_(new PrintWorker(ProgramPrinter(), this)), gridMenu_(new QMenu(this)),
      pdfSaving_(new PdfSaving(this)) {
  ui_->setupUi(this);

  setFont(SansSerifFont(11));
  ui_->Label1->setFont(CourierFont(13));
  ui_->Label2->setFont(SansSerifFont(13, true));
  ui_->Label3->setFont(SansSerifFont(13));
  ui_->Button2->setFont(SansSerifFont(11));
  for (QLabel *label : {ui_->Label1, ui_->Label2, ui_->Label3}) {
    SetLabelText(*label, label->text());
  }

  // The background in the desktop's colour for text areas, white as a rule; the labels show it.
  setBackgroundRole(QPalette::Base);

  setFixedSize(size());
  UseFixedFrame(*this);
  CentreWhenFirstShown(*this);
  setMouseTracking(true);

  ConnectGuarded(ui_->StringGrid1, &ChartGrid::CellHovered, this, &TForm2::StringGrid1MouseMove);
  // The keyboard reads the chart as the mouse does: the current cell in the same two lines.
  ConnectGuarded(ui_->StringGrid1, &ChartGrid::CellChosenByKeyboard, this,
                 &TForm2::DescribeInLines);
  ConnectGuarded(ui_->StringGrid1, &ChartGrid::CellDoubleClicked, this, &TForm2::ShowCurves);
  ConnectGuarded(ui_->Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  ConnectGuarded(ui_->Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  // A printout that failed ends in the error display, as any handler's error does.
  connect(printWorker_, &PrintWorker::Finished, this, [](const std::exception_ptr &error) {
    RunGuarded([&error] {
      if (error) {
        std::rethrow_exception(error);
      }
    });
  });

  // The grid's context menu: the page as a PDF file, the curves of a month.
  ConnectGuarded(gridMenu_->addAction(QStringLiteral("Сохранить в PDF…")), &QAction::triggered,
                 this, &TForm2::SavePdf);
  curvesItem_ = gridMenu_->addAction(QStringLiteral("График месяца…"));
  ConnectGuarded(curvesItem_, &QAction::triggered, this, [this] { ShowCurves(menuCell_); });
  ui_->StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui_->StringGrid1, &QWidget::customContextMenuRequested, this,
          [this](QPoint point) { MenuAtPointer(point); });
  connect(ui_->StringGrid1, &ChartGrid::ContextMenuKeyPressed, this,
          [this](QPoint point) { MenuAtCurrentCell(point); });

  ui_->Button2->setFocus();
}

TForm2::~TForm2() = default;

const YearChart &TForm2::Chart() const {
  return ui_->StringGrid1->Chart();
}

void TForm2::PresentChart(const Forecast &forecast, const Today &today) {
  ChartGrid &grid = *ui_->StringGrid1;
  const YearChart &chart = forecast.chart;
  grid.SetChart(chart);
  forecast_ = forecast;
  today_ = today;
  if (curves_ != nullptr) {
    curves_->ReplaceChart(forecast, today);
  }
  if (chart.Year() == today.year) {
    grid.SetCurrentCell(today.month, today.day);
    grid.SetTopRow(TopRowForDay(today.day));
  }
  setWindowTitle(QStringLiteral("Ваши биоритмы на %1 год").arg(chart.Year()));
  show();
  raise();
  activateWindow();
}

void TForm2::StringGrid1MouseMove(GridCell cell) {
  DescribeInLines(cell);
}

void TForm2::DescribeInLines(GridCell cell) {
  const DayDescription description = DescribeCell(Chart(), cell.column, cell.row);
  SetLabelText(*ui_->Label2, QString::fromUtf8(description.legend));
  SetLabelText(*ui_->Label3, QString::fromUtf8(description.date));
}

void TForm2::FormMouseMove() {
  SetLabelText(*ui_->Label2, QString::fromUtf8(LegendPrompt));
  SetLabelText(*ui_->Label3, QString());
}

void TForm2::Button1Click() {
  close();
}

// The page goes to the printer off this thread: the windows keep answering meanwhile, and a
// press while it is under way is told "Printing in progress".
void TForm2::Button2Click() {
  printWorker_->Print(Chart());
}

void TForm2::MenuAtPointer(QPoint point) {
  // A scroll area reports the point in its viewport.
  const ChartGrid &grid = *ui_->StringGrid1;
  PopupGridMenu(point, grid.CellAt(grid.ClientPoint(grid.viewport(), point)));
}

// From the keyboard the menu opens with its first entry active, so that Enter chooses it. Its month
// is the current cell's, even when that is scrolled out and the menu stands mid-view.
void TForm2::MenuAtCurrentCell(QPoint point) {
  PopupGridMenu(point, ui_->StringGrid1->CurrentCell());
  gridMenu_->setActiveAction(gridMenu_->actions().constFirst());
}

void TForm2::PopupGridMenu(QPoint point, GridCell cell) {
  menuCell_ = cell;
  curvesItem_->setEnabled(cell.column >= 1);
  gridMenu_->popup(ui_->StringGrid1->viewport()->mapToGlobal(point));
}

void TForm2::SavePdf() {
  pdfSaving_->SaveWithDialog(Chart());
}

void TForm2::ShowCurves(GridCell cell) {
  if (Chart().Year() == 0) {
    return; // no chart presented yet
  }
  if (curves_ == nullptr) {
    curves_ = new CurvesWindow(this);
  }
  curves_->ShowMonth(forecast_, today_, cell.column, cell.row);
}

void TForm2::mouseMoveEvent(QMouseEvent *event) {
  // Only the window's own background: movements over the controls reach here too when the
  // controls do not track the mouse themselves.
  if (childAt(event->position().toPoint()) == nullptr) {
    RunGuarded([this] { FormMouseMove(); });
  }
}

void TForm2::SetLabelText(QLabel &label, const QString &text) {
  label.setText(text);
  const QString measured = text.isEmpty() ? QStringLiteral(" ") : text;
  label.resize(label.fontMetrics().horizontalAdvance(measured), label.height());
}

} // namespace kolvex
