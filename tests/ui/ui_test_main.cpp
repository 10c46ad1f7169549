// The main of the window tests: a QApplication, on the offscreen platform unless another is
// named, and a stand-in for the screen's message boxes that fails the test instead of waiting
// for a person to press OK.

#include <QApplication>

#include <gtest/gtest.h>

#include "ui/application.h"
#include "ui/message_boxes.h"

namespace {

class UnexpectedMessageBoxes final : public kolvex::MessageBoxes {
public:
  void Show(const kolvex::Message &message) override {
    ADD_FAILURE() << "a message box outside a test's RecordedMessageBoxes: "
                  << message.caption.toStdString() << ": " << message.text.toStdString();
  }
};

} // namespace

int main(int argc, char *argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  kolvex::InstallQtTranslation();
  UnexpectedMessageBoxes unexpected;
  kolvex::SetMessageBoxes(&unexpected);
  const int result = RUN_ALL_TESTS();
  kolvex::SetMessageBoxes(nullptr);
  return result;
}
