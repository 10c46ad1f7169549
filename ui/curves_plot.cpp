#include "ui/curves_plot.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "chart/calendar.h"
#include "chart/cycle_values.h"
#include "chart/legend.h"
#include "ui/curves_geometry.h"

namespace kolvex {

namespace {

const QString TodayLabel = QStringLiteral("сегодня");

enum class Marker { Circle, Square, Triangle };

// Each cycle told apart three ways: by colour (Okabe and Ito's colours, which the common forms of
// colour blindness keep apart; lighter ones on a dark background), by line style, which a
// greyscale print keeps, and by the marker of its critical days.
struct CycleLook {
  int length;
  std::string_view name;
  QRgb onLight;
  QRgb onDark;
  Qt::PenStyle style;
  Marker marker;
};

constexpr std::array<CycleLook, 3> CycleLooks{{
    {Cycles[0].length, Cycles[0].name, qRgb(213, 94, 0), qRgb(230, 159, 0), Qt::SolidLine,
     Marker::Circle},
    {Cycles[1].length, Cycles[1].name, qRgb(0, 114, 178), qRgb(86, 180, 233), Qt::DashLine,
     Marker::Square},
    {Cycles[2].length, Cycles[2].name, qRgb(0, 158, 115), qRgb(0, 190, 140), Qt::DotLine,
     Marker::Triangle},
}};

constexpr double CurveWidth = 2.0;
constexpr double MarkerRadius = 4.5;
constexpr double KeySample = 30.0; // the length of a line in the key
constexpr int Gap = CurvesGap;

QString CycleKeyText(const CycleLook &cycle) {
  return QStringLiteral("%1 (%2)")
      .arg(QString::fromUtf8(cycle.name.data(), static_cast<qsizetype>(cycle.name.size())))
      .arg(cycle.length);
}

QString PercentText(int percent) {
  return QStringLiteral("%1 %").arg(percent);
}

QColor CycleColour(const CycleLook &cycle, const QPalette &palette) {
  const bool dark = palette.color(QPalette::Base).lightness() < 128;
  return QColor::fromRgb(dark ? cycle.onDark : cycle.onLight);
}

QPen CyclePen(const CycleLook &cycle, const QPalette &palette) {
  QPen pen(CycleColour(cycle, palette), CurveWidth);
  if (cycle.style == Qt::DotLine) {
    pen.setCapStyle(Qt::RoundCap);
    pen.setDashPattern({0.01, 2.0}); // round dots, one line width apart
  } else if (cycle.style == Qt::DashLine) {
    pen.setDashPattern({4.0, 2.5});
  }
  return pen;
}

void DrawMarker(QPainter &painter, Marker marker, QPointF centre, const QColor &fill,
                const QColor &edge) {
  painter.save();
  painter.setPen(QPen(edge, 1.0));
  painter.setBrush(fill);
  const double r = MarkerRadius;
  switch (marker) {
  case Marker::Circle:
    painter.drawEllipse(centre, r, r);
    break;
  case Marker::Square:
    painter.drawRect(QRectF(centre.x() - r * 0.85, centre.y() - r * 0.85, r * 1.7, r * 1.7));
    break;
  case Marker::Triangle: {
    const QPointF points[] = {centre + QPointF(0, -r * 1.15), centre + QPointF(r * 1.1, r * 0.8),
                              centre + QPointF(-r * 1.1, r * 0.8)};
    painter.drawPolygon(points, 3);
    break;
  }
  }
  painter.restore();
}

} // namespace

CurvesPlot::CurvesPlot(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setAccessibleName(QStringLiteral("Кривые биоритмов за месяц"));
}

void CurvesPlot::SetMonth(const Forecast &forecast, const Today &today, int month, int day) {
  chart_ = forecast.chart;
  shown_ = forecast.chart;
  input_ = forecast.input;
  today_ = today;
  MoveCursor(month, day);
}

bool CurvesPlot::CanGoMonths(int months) const {
  return CanShowMonth(input_, MonthsOn({shown_.Year(), month_}, months));
}

void CurvesPlot::GoMonths(int months) {
  if (!CanGoMonths(months)) {
    return; // before the birth year, or past the last year
  }
  const YearMonth to = MonthsOn({shown_.Year(), month_}, months);
  if (to.year != shown_.Year()) {
    BirthInput input = input_;
    input.forecastYear = to.year;
    shown_ = to.year == chart_.Year() ? chart_ : YearChart::Compute(input);
  }
  MoveCursor(to.month, cursorDay_);
}

void CurvesPlot::MoveCursor(int month, int day) {
  month_ = std::clamp(month, 1, 12);
  cursorDay_ = std::clamp(day, 1, DaysInMonth());
  const CursorDay line = DescribeCursorDay(shown_, input_, month_, cursorDay_);
  description_ = QString::fromUtf8(line.shown);
  setAccessibleDescription(description_);
  spoken_ = QString::fromUtf8(line.spoken);
  if (hasFocus()) {
    TellCursorDay(false);
  }
  update();
  emit CursorMoved();
}

int CurvesPlot::DaysInMonth() const {
  return MonthLength(month_, shown_.Year());
}

double CurvesPlot::AgeOn(double day) const {
  return LifeDay(input_, {shown_.Year(), month_}, day);
}

QSize CurvesPlot::sizeHint() const {
  return {640, 320};
}

// Wide enough for the key, which starts where the plot area does.
QSize CurvesPlot::minimumSizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  int key = static_cast<int>(PlotArea().left());
  for (const CycleLook &cycle : CycleLooks) {
    key += static_cast<int>(KeySample) + Gap / 2 + metrics.horizontalAdvance(CycleKeyText(cycle)) +
           2 * Gap;
  }
  return {key, 10 * metrics.height()};
}

QRectF CurvesPlot::PlotArea() const {
  const QFontMetrics metrics = fontMetrics();
  return CurvesPlotArea(size(), metrics.horizontalAdvance(PercentText(-100)), metrics.height());
}

double CurvesPlot::DayX(double day) const {
  return DayMiddleX(PlotArea(), DaysInMonth(), day);
}

double CurvesPlot::HeightY(double height) const {
  return HeightToY(PlotArea(), height);
}

void CurvesPlot::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(font());
  PaintBeforeBirth(painter);
  PaintCursorBand(painter);
  PaintGrid(painter);
  PaintDayAxis(painter);
  PaintCurves(painter);
  PaintCriticalDays(painter);
  PaintToday(painter);
  PaintKey(painter);
  PaintFocus(painter);
}

// Days before the birth date have no values: shaded half way from the background to the text,
// which stands out from the background at least 3 to 1 on a light and on a dark palette.
void CurvesPlot::PaintBeforeBirth(QPainter &painter) const {
  const QRectF area = PlotArea();
  // To the middle of the birth day, where the curves begin.
  const double unborn = std::min(0.5 - AgeOn(1.0), double(DaysInMonth()));
  if (unborn > 0.5) {
    const QColor base = palette().color(QPalette::Base);
    const QColor text = palette().color(QPalette::Text);
    const QColor shade((base.red() + text.red()) / 2, (base.green() + text.green()) / 2,
                       (base.blue() + text.blue()) / 2);
    painter.fillRect(
        QRectF(area.left(), area.top(), unborn * area.width() / DaysInMonth(), area.height()),
        shade);
  }
}

// The cursor's day as a band behind the curves.
void CurvesPlot::PaintCursorBand(QPainter &painter) const {
  const QRectF area = PlotArea();
  const double dayWidth = area.width() / DaysInMonth();
  QColor band = palette().color(QPalette::Highlight);
  band.setAlphaF(hasFocus() ? 0.28 : 0.18);
  painter.fillRect(QRectF(DayX(cursorDay_) - dayWidth / 2, area.top(), dayWidth, area.height()),
                   band);
}

// Percent lines and labels; the zero line stronger.
void CurvesPlot::PaintGrid(QPainter &painter) const {
  const QRectF area = PlotArea();
  const QFontMetricsF metrics(font());
  // Labels a line and a half apart at the least: on a short plot only every other line has one.
  const bool halves = area.height() / 4 >= 1.5 * metrics.height();
  for (const int percent : {100, 50, 0, -50, -100}) {
    const double lineY = HeightY(percent / 100.0);
    QColor line = palette().color(percent == 0 ? QPalette::Text : QPalette::Mid);
    if (percent != 0) {
      line.setAlphaF(0.6);
    }
    painter.setPen(QPen(line, 1.0));
    painter.drawLine(QPointF(area.left(), lineY), QPointF(area.right(), lineY));
    if (!halves && (percent == 50 || percent == -50)) {
      continue;
    }
    painter.setPen(palette().color(QPalette::Text));
    const QString label = percent == 0 ? QStringLiteral("0") : PercentText(percent);
    painter.drawText(QRectF(0, lineY - metrics.height() / 2, area.left() - Gap, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, label);
  }
}

// Every day ticked at the bottom, and labelled as often as the labels fit, but where today's
// label stands.
void CurvesPlot::PaintDayAxis(QPainter &painter) const {
  const QRectF area = PlotArea();
  const QFontMetricsF metrics(font());
  const double dayWidth = area.width() / DaysInMonth();
  const double labelWidth = metrics.horizontalAdvance(QStringLiteral("31")) + 4;
  const int every = DayLabelStep(dayWidth, labelWidth);
  const std::optional<QRectF> today = TodayLabelBox();
  painter.setPen(QPen(palette().color(QPalette::Text), 1.0));
  for (int day = 1; day <= DaysInMonth(); ++day) {
    const double x = DayX(day);
    painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
    const double half = metrics.horizontalAdvance(QString::number(day)) / 2 + 2;
    if (today && x + half > today->left() && x - half < today->right()) {
      continue;
    }
    if ((day - 1) % every == 0) {
      painter.drawText(
          QRectF(x - dayWidth * every / 2, area.bottom() + 4, dayWidth * every, metrics.height()),
          Qt::AlignHCenter | Qt::AlignTop, QString::number(day));
    }
  }
}

// The curves, smooth through the days from the birth on.
void CurvesPlot::PaintCurves(QPainter &painter) const {
  const QRectF area = PlotArea();
  const double dayWidth = area.width() / DaysInMonth();
  const double firstLiving = std::max(0.5, 1.0 - AgeOn(1.0));
  painter.save();
  painter.setClipRect(area.adjusted(0, -MarkerRadius * 2, 0, MarkerRadius * 2));
  for (const CycleLook &cycle : CycleLooks) {
    QPainterPath path;
    path.moveTo(DayX(firstLiving), HeightY(CycleHeight(AgeOn(firstLiving), cycle.length)));
    for (double x = DayX(firstLiving) + 1.0; x < area.right() + 1.0; x += 1.0) {
      const double day = (std::min(x, area.right()) - area.left()) / dayWidth + 0.5;
      path.lineTo(std::min(x, area.right()), HeightY(CycleHeight(AgeOn(day), cycle.length)));
    }
    painter.setPen(CyclePen(cycle, palette()));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }
  painter.restore();
}

// The critical days' markers; where two or three cycles are critical on one day their markers
// stand side by side, so that none hides another.
void CurvesPlot::PaintCriticalDays(QPainter &painter) const {
  for (int day = 1; day <= DaysInMonth(); ++day) {
    const std::string_view code = shown_.Text(month_, day);
    const auto critical = std::count(code.begin(), code.end(), '*');
    double offset = -(static_cast<double>(critical) - 1) * MarkerRadius * 1.2;
    for (std::size_t i = 0; i < CycleLooks.size() && i < code.size(); ++i) {
      if (code[i] == '*') {
        const CycleLook &cycle = CycleLooks[i];
        const QPointF centre(DayX(day) + offset, HeightY(CycleHeight(AgeOn(day), cycle.length)));
        DrawMarker(painter, cycle.marker, centre, CycleColour(cycle, palette()),
                   palette().color(QPalette::Base));
        offset += MarkerRadius * 2.4;
      }
    }
  }
}

// Today's line, when today lies in the month shown.
// Today's label stands under its line in the row of day numbers, in place of the numbers it
// covers, so that it never hides the curves, however short the plot.
std::optional<QRectF> CurvesPlot::TodayLabelBox() const {
  if (today_.year != shown_.Year() || today_.month != month_) {
    return std::nullopt;
  }
  const QRectF area = PlotArea();
  const QFontMetricsF metrics(font());
  const double width = metrics.horizontalAdvance(TodayLabel) + 4;
  const double left =
      std::clamp(DayX(today_.day) - width / 2, 0.0, std::max(0.0, this->width() - width));
  return QRectF(left, area.bottom() + 4, width, metrics.height());
}

void CurvesPlot::PaintToday(QPainter &painter) const {
  const std::optional<QRectF> box = TodayLabelBox();
  if (!box) {
    return;
  }
  const QRectF area = PlotArea();
  const double x = DayX(today_.day);
  painter.setPen(QPen(palette().color(QPalette::Text), 1.5, Qt::DashDotLine));
  painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom() + 4));
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(*box, Qt::AlignHCenter | Qt::AlignTop, TodayLabel);
}

// The key above the plot.
void CurvesPlot::PaintKey(QPainter &painter) const {
  const QFontMetricsF metrics(font());
  double keyX = PlotArea().left();
  const double keyY = Gap + metrics.height() / 2;
  for (const CycleLook &cycle : CycleLooks) {
    painter.setPen(CyclePen(cycle, palette()));
    painter.drawLine(QPointF(keyX, keyY), QPointF(keyX + KeySample, keyY));
    DrawMarker(painter, cycle.marker, QPointF(keyX + KeySample / 2, keyY),
               CycleColour(cycle, palette()), palette().color(QPalette::Base));
    keyX += KeySample + Gap / 2;
    const QString text = CycleKeyText(cycle);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRectF(keyX, Gap, metrics.horizontalAdvance(text) + 1, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
    keyX += metrics.horizontalAdvance(text) + 2 * Gap;
  }
}

void CurvesPlot::PaintFocus(QPainter &painter) const {
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = PlotArea().toAlignedRect();
    option.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void CurvesPlot::TellCursorDay(bool entering) {
  const QRectF area = PlotArea();
  const double dayWidth = area.width() / DaysInMonth();
  spokenDays_.Focus(
      MonthDay{shown_.Year(), month_, cursorDay_}, spoken_, QString(),
      QRectF(DayX(cursorDay_) - dayWidth / 2, area.top(), dayWidth, area.height()).toAlignedRect(),
      entering);
}

void CurvesPlot::focusInEvent(QFocusEvent *event) {
  QWidget::focusInEvent(event);
  spokenDays_.AfterOwnerFocus([this] { TellCursorDay(true); });
}

void CurvesPlot::mouseMoveEvent(QMouseEvent *event) {
  const int day = DayUnderX(PlotArea(), DaysInMonth(), event->position().x());
  if (day != 0 && day != cursorDay_) {
    MoveCursor(month_, day);
  }
}

void CurvesPlot::mousePressEvent(QMouseEvent *event) {
  setFocus(Qt::MouseFocusReason);
  mouseMoveEvent(event);
}

void CurvesPlot::keyPressEvent(QKeyEvent *event) {
  switch (event->key()) {
  case Qt::Key_Left:
    MoveCursor(month_, cursorDay_ - 1);
    break;
  case Qt::Key_Right:
    MoveCursor(month_, cursorDay_ + 1);
    break;
  case Qt::Key_Home:
    MoveCursor(month_, 1);
    break;
  case Qt::Key_End:
    MoveCursor(month_, DaysInMonth());
    break;
  case Qt::Key_PageUp:
    GoMonths(-1);
    break;
  case Qt::Key_PageDown:
    GoMonths(1);
    break;
  default:
    QWidget::keyPressEvent(event);
  }
}

} // namespace kolvex
