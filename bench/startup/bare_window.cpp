// The floor every Qt Widgets program pays: an input window with one push button, "Button1", that
// shows a second top-level window, and nothing else. The windows have kolvex's sizes so that both
// programs paint the same area.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);

  QWidget input;
  input.resize(268, 160);
  QPushButton button(QStringLiteral("Show"), &input);
  button.setObjectName(QStringLiteral("Button1"));
  button.setGeometry(80, 112, 113, 25);

  QWidget result;
  result.resize(505, 402);
  QObject::connect(&button, &QPushButton::clicked, &result, &QWidget::show);

  input.show();
  return QApplication::exec();
}
