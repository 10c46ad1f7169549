#include "ui/message_boxes.h"

#include <utility>

#include <QMessageBox>

namespace kolvex {

namespace {

// The one sink in place; nullptr means the screen.
MessageBoxes *installedBoxes = nullptr;

} // namespace

void ScreenMessageBoxes::Show(const Message &message) {
  const auto icon =
      message.icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
  QMessageBox box(icon, message.caption, message.text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

MessageBoxes *SetMessageBoxes(MessageBoxes *boxes) noexcept {
  return std::exchange(installedBoxes, boxes);
}

MessageBoxes &CurrentMessageBoxes() noexcept {
  static ScreenMessageBoxes screen;
  return installedBoxes != nullptr ? *installedBoxes : screen;
}

} // namespace kolvex
