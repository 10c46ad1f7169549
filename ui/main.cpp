#include <QApplication>

#include "ui/BIOform.h"
#include "ui/application.h"
#include "ui/biomain.h"

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  // The title names the program on the desktop (and in the window class); it is not appended to
  // the window captions, which stand as they are.
  QApplication::setApplicationName(kolvex::ApplicationTitle);
  // Lets the desktop match the windows with the program's menu entry, kolvex.desktop.
  QGuiApplication::setDesktopFileName(QStringLiteral("kolvex"));
  // Only the input window ends the program; it quits when it is closed.
  QApplication::setQuitOnLastWindowClosed(false);

  kolvex::TForm1 form1; // reads today's date
  kolvex::TForm2 form2; // hidden until the first chart
  form1.SetResultWindow(form2);

  form1.show();
  return QApplication::exec();
}
