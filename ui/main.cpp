#include <QApplication>

#include "ui/BIOform.h"
#include "ui/application.h"

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(kolvex::ApplicationTitle);
  kolvex::TForm2 form2;
  form2.PresentChart(kolvex::YearChart::Compute({17, 9, 1974, 2026}), {2026, 12, 8});
  return QApplication::exec();
}
