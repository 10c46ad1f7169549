#include "ui/message_boxes.h"

#include <utility>

#include <QMessageBox>

#include "ui/window_name.h"

namespace kolvex {

namespace {

// The one sink in place; nullptr means the screen.
MessageBoxes *installedBoxes = nullptr;

} // namespace

void ScreenMessageBoxes::Show(const Message &message) {
  if (message.icon == MessageIcon::Error) {
    QMessageBox box(QMessageBox::Critical, message.caption, message.text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return;
  }
  auto *box = new QMessageBox(QMessageBox::NoIcon, message.caption, message.text, QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  if (message.caption.isEmpty()) {
    box->winId(); // the native window, named by Qt, before the window manager sees it
    ClearWindowName(*box);
  }
  box->show();
}

MessageBoxes *SetMessageBoxes(MessageBoxes *boxes) noexcept {
  return std::exchange(installedBoxes, boxes);
}

MessageBoxes &CurrentMessageBoxes() noexcept {
  static ScreenMessageBoxes screen;
  return installedBoxes != nullptr ? *installedBoxes : screen;
}

} // namespace kolvex
