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

namespace kolvex {

namespace {

enum class Marker { Circle, Square, Triangle };

// Each cycle told apart three ways: by colour (Okabe and Ito's colours, which the common forms of
// colour blindness keep apart; lighter ones on a dark background), by line style, which a
// greyscale print keeps, and by the marker of its critical days.
struct CycleLook {
  int length;
  const char *name;
  QRgb onLight;
  QRgb onDark;
  Qt::PenStyle style;
  Marker marker;
};

constexpr std::array<CycleLook, 3> CycleLooks{{
    {Cycles[0].length, Cycles[0].name.data(), qRgb(213, 94, 0), qRgb(230, 159, 0), Qt::SolidLine,
     Marker::Circle},
    {Cycles[1].length, Cycles[1].name.data(), qRgb(0, 114, 178), qRgb(86, 180, 233), Qt::DashLine,
     Marker::Square},
    {Cycles[2].length, Cycles[2].name.data(), qRgb(0, 158, 115), qRgb(0, 190, 140), Qt::DotLine,
     Marker::Triangle},
}};

constexpr double CurveWidth = 2.0;
constexpr double MarkerRadius = 4.5;
constexpr double KeySample = 30.0; // the length of a line in the key
constexpr int Gap = 8;             // between texts, and around the plot area

QString CycleKeyText(const CycleLook &cycle) {
  return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(cycle.name)).arg(cycle.length);
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
  input_ = forecast.input;
  today_ = today;
  MoveCursor(month, day);
}

void CurvesPlot::MoveCursor(int month, int day) {
  month_ = std::clamp(month, 1, 12);
  cursorDay_ = std::clamp(day, 1, DaysInMonth());
  QString text = QString::fromUtf8(DateWithWeekday(chart_.Year(), month_, cursorDay_) + ": ");
  const double t = DaysSinceBirth(cursorDay_);
  if (t < 0) {
    text += QStringLiteral("до рождения");
  } else {
    const CyclePercents percents = CyclePercentsOn(static_cast<std::int64_t>(t));
    const int values[] = {percents.physical, percents.emotional, percents.intellectual};
    for (std::size_t i = 0; i < CycleLooks.size(); ++i) {
      text += QStringLiteral("%1 %2, ").arg(QString::fromUtf8(CycleLooks[i].name),
                                            PercentText(values[i]));
    }
    text += QString::fromUtf8(chart_.Text(month_, cursorDay_));
  }
  description_ = text;
  setAccessibleDescription(description_);
  update();
  emit CursorMoved();
}

int CurvesPlot::DaysInMonth() const {
  return MonthLength(month_, chart_.Year());
}

double CurvesPlot::DaysSinceBirth(double day) const {
  return static_cast<double>(kolvex::DaysSinceBirth(input_, month_, 1)) + day - 1.0;
}

QSize CurvesPlot::sizeHint() const {
  return {640, 320};
}

QSize CurvesPlot::minimumSizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  int key = 0;
  for (const CycleLook &cycle : CycleLooks) {
    key += static_cast<int>(KeySample) + Gap + metrics.horizontalAdvance(CycleKeyText(cycle)) +
           2 * Gap;
  }
  return {key, 10 * metrics.height()};
}

QRectF CurvesPlot::PlotArea() const {
  const QFontMetrics metrics = fontMetrics();
  const double left = metrics.horizontalAdvance(PercentText(-100)) + 2 * Gap;
  // Room for the key above, half a percent label over the top line and the day labels below.
  const double top = 1.5 * metrics.height() + 2 * Gap;
  const double bottom = metrics.height() + Gap + 4;
  return QRectF(left, top, width() - left - 2 * Gap, height() - top - bottom);
}

double CurvesPlot::DayX(double day) const {
  const QRectF area = PlotArea();
  return area.left() + (day - 0.5) * area.width() / DaysInMonth();
}

int CurvesPlot::DayAtX(double x) const {
  const QRectF area = PlotArea();
  if (x < area.left() || x >= area.right()) {
    return 0;
  }
  return std::clamp(static_cast<int>((x - area.left()) * DaysInMonth() / area.width()) + 1, 1,
                    DaysInMonth());
}

void CurvesPlot::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette &colours = palette();
  const QFontMetricsF metrics(font());
  const QRectF area = PlotArea();
  const int days = DaysInMonth();
  const double dayWidth = area.width() / days;
  const auto y = [&](double height) { return area.center().y() - height * area.height() / 2; };

  // Days before the birth date have no values.
  const double firstLiving = std::max(0.5, 1.0 - DaysSinceBirth(1.0));
  if (firstLiving > 0.5) {
    painter.fillRect(QRectF(area.left(), area.top(),
                            std::min(firstLiving - 0.5, double(days)) * dayWidth, area.height()),
                     colours.color(QPalette::AlternateBase));
  }

  // The cursor's day as a band behind the curves.
  QColor band = colours.color(QPalette::Highlight);
  band.setAlphaF(hasFocus() ? 0.28 : 0.18);
  painter.fillRect(QRectF(DayX(cursorDay_) - dayWidth / 2, area.top(), dayWidth, area.height()),
                   band);

  // Percent lines and labels; the zero line stronger.
  painter.setFont(font());
  for (const int percent : {100, 50, 0, -50, -100}) {
    const double lineY = y(percent / 100.0);
    QColor line = colours.color(percent == 0 ? QPalette::Text : QPalette::Mid);
    if (percent != 0) {
      line.setAlphaF(0.6);
    }
    painter.setPen(QPen(line, 1.0));
    painter.drawLine(QPointF(area.left(), lineY), QPointF(area.right(), lineY));
    painter.setPen(colours.color(QPalette::Text));
    const QString label = percent == 0 ? QStringLiteral("0") : PercentText(percent);
    painter.drawText(QRectF(0, lineY - metrics.height() / 2, area.left() - Gap, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, label);
  }

  // Every day ticked at the bottom, and labelled as often as the labels fit.
  const double labelWidth = metrics.horizontalAdvance(QStringLiteral("31")) + 4;
  int every = 1;
  for (const int candidate : {1, 2, 3, 5, 7, 10, 15}) {
    every = candidate;
    if (every * dayWidth >= labelWidth) {
      break;
    }
  }
  for (int day = 1; day <= days; ++day) {
    const double x = DayX(day);
    painter.setPen(QPen(colours.color(QPalette::Text), 1.0));
    painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
    if ((day - 1) % every == 0) {
      painter.drawText(
          QRectF(x - dayWidth * every / 2, area.bottom() + 4, dayWidth * every, metrics.height()),
          Qt::AlignHCenter | Qt::AlignTop, QString::number(day));
    }
  }

  // The curves, smooth through the days, and their critical days.
  painter.save();
  painter.setClipRect(area.adjusted(0, -MarkerRadius * 2, 0, MarkerRadius * 2));
  const double step = 1.0; // device-independent pixels between the points of a curve
  for (const CycleLook &cycle : CycleLooks) {
    QPainterPath path;
    bool started = false;
    for (double x = DayX(firstLiving);; x += step) {
      x = std::min(x, area.right());
      const double day = (x - area.left()) / dayWidth + 0.5;
      const QPointF point(x, y(CycleHeight(DaysSinceBirth(day), cycle.length)));
      started ? path.lineTo(point) : path.moveTo(point);
      started = true;
      if (x >= area.right()) {
        break;
      }
    }
    painter.setPen(CyclePen(cycle, colours));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }
  for (std::size_t i = 0; i < CycleLooks.size(); ++i) {
    const CycleLook &cycle = CycleLooks[i];
    for (int day = 1; day <= days; ++day) {
      const std::string_view code = chart_.Text(month_, day);
      if (code.size() == 3 && code[i] == '*') {
        const QPointF centre(DayX(day), y(CycleHeight(DaysSinceBirth(day), cycle.length)));
        DrawMarker(painter, cycle.marker, centre, CycleColour(cycle, colours),
                   colours.color(QPalette::Base));
      }
    }
  }
  painter.restore();

  // Today's line, when today lies in the month shown.
  if (today_.year == chart_.Year() && today_.month == month_) {
    const double x = DayX(today_.day);
    QPen pen(colours.color(QPalette::Text), 1.5, Qt::DashDotLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    painter.setPen(colours.color(QPalette::Text));
    const QString label = QStringLiteral("сегодня");
    const double width = metrics.horizontalAdvance(label);
    const double left = x + 4 + width <= area.right() ? x + 4 : x - 4 - width;
    const QRectF box(left - 2, area.top() + 2, width + 4, metrics.height());
    painter.fillRect(box, colours.color(QPalette::Base));
    painter.drawText(box, Qt::AlignCenter, label);
  }

  // The key above the plot.
  double keyX = area.left();
  const double keyY = Gap + metrics.height() / 2;
  for (const CycleLook &cycle : CycleLooks) {
    painter.setPen(CyclePen(cycle, colours));
    painter.drawLine(QPointF(keyX, keyY), QPointF(keyX + KeySample, keyY));
    DrawMarker(painter, cycle.marker, QPointF(keyX + KeySample / 2, keyY),
               CycleColour(cycle, colours), colours.color(QPalette::Base));
    keyX += KeySample + Gap / 2;
    const QString text = CycleKeyText(cycle);
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(QRectF(keyX, Gap, metrics.horizontalAdvance(text) + 1, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
    keyX += metrics.horizontalAdvance(text) + 2 * Gap;
  }

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = area.toAlignedRect();
    option.backgroundColor = colours.color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void CurvesPlot::mouseMoveEvent(QMouseEvent *event) {
  const int day = DayAtX(event->position().x());
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
    MoveCursor(month_ - 1, cursorDay_);
    break;
  case Qt::Key_PageDown:
    MoveCursor(month_ + 1, cursorDay_);
    break;
  default:
    QWidget::keyPressEvent(event);
  }
}

} // namespace kolvex
