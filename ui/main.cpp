#include <optional>
#include <string_view>

#include <QApplication>

#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/platform_choice.h"
#include "ui/shell.h"
#include "ui/startup_messages.h"

int main(int argc, char *argv[]) {
  if (const std::optional<int> status = kolvex::AnswerCommandLine(argc, argv)) {
    return *status;
  }
  if (const std::optional<std::string_view> missing = kolvex::ChoosePlatform()) {
    kolvex::ReportNoDisplay(*missing);
    return kolvex::ExitNoDisplay;
  }
  kolvex::NameWindowClass();
  std::optional<kolvex::StartupMessages> startup(std::in_place);
  QApplication app(argc, argv);
  startup.reset();
  kolvex::SetUpApplication();
  kolvex::Shell shell;
  shell.Show();
  return QApplication::exec();
}
