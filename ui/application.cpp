#include "ui/application.h"

#include <QMessageBox>

namespace kolvex {

void ShowError(const std::exception &error) {
  QString message = QString::fromUtf8(error.what());
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
    message += QLatin1Char('.');
  }
  QMessageBox::critical(nullptr, ApplicationTitle, message);
}

} // namespace kolvex
