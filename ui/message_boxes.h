#pragma once

// Every message box of the program goes through MessageBoxes, so that a test can read the boxes
// instead of a person pressing OK.

#include <QString>

namespace kolvex {

enum class MessageIcon { None, Error };

// One box: its caption, its text and its icon. Every box of the program has one OK button.
struct Message {
  QString caption;
  QString text;
  MessageIcon icon = MessageIcon::None;

  friend bool operator==(const Message &, const Message &) = default;
};

class MessageBoxes {
public:
  virtual ~MessageBoxes() = default;

  // Shows the box. An error box keeps the program waiting until it is closed; any other box
  // leaves the windows as they are, and Show returns while it stays open.
  virtual void Show(const Message &message) = 0;
};

// Boxes on the screen, owned by no window, the text shown as plain text (it may hold whatever the
// user typed): an error box application-modal, the others modeless, an empty caption left empty.
class ScreenMessageBoxes final : public MessageBoxes {
public:
  void Show(const Message &message) override;
};

// Where the program's boxes go: the screen, unless `boxes` has been put in place. Pass nullptr to
// go back to the screen. The caller keeps `boxes` alive while it is in place. Returns the boxes
// that were in place before (nullptr for the screen).
MessageBoxes *SetMessageBoxes(MessageBoxes *boxes) noexcept;
MessageBoxes &CurrentMessageBoxes() noexcept;

} // namespace kolvex
