#include "ui/BIOform.h"

namespace kolvex {

TForm2::TForm2(QWidget *parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Ваши биоритмы"));
}

void TForm2::PresentChart(const YearChart &chart, const Today &) {
  chart_ = chart;
  setWindowTitle(QStringLiteral("Ваши биоритмы на %1 год").arg(chart.Year()));
  show();
  raise();
  activateWindow();
}

} // namespace kolvex
