#pragma once

// The message boxes a window test sees: while a RecordedMessageBoxes lives, every box of the
// program is recorded here instead of waiting on the screen for a person to press OK.

#include <functional>
#include <ostream>
#include <vector>

#include "ui/message_boxes.h"

namespace kolvex {

// For GoogleTest's messages about a box.
inline void PrintTo(const Message &message, std::ostream *out) {
  *out << '{' << (message.icon == MessageIcon::Error ? "error" : "plain") << ", \""
       << message.caption.toStdString() << "\", \"" << message.text.toStdString() << "\"}";
}

} // namespace kolvex

namespace kolvex::testing {

class RecordedMessageBoxes final : public MessageBoxes {
public:
  RecordedMessageBoxes() : previous_(SetMessageBoxes(this)) {}
  ~RecordedMessageBoxes() override { SetMessageBoxes(previous_); }
  RecordedMessageBoxes(const RecordedMessageBoxes &) = delete;
  RecordedMessageBoxes &operator=(const RecordedMessageBoxes &) = delete;

  void Show(const Message &message) override {
    shown.push_back(message);
    if (whileOpen) {
      whileOpen(message);
    }
  }

  // Every box shown so far, in order.
  std::vector<Message> shown;
  // Runs while a box is "open", before the program goes on: the place to look at the windows.
  std::function<void(const Message &)> whileOpen;

private:
  MessageBoxes *previous_;
};

} // namespace kolvex::testing
