// Velsor: start the application, create the main window, run the message loop
// until the window closes.

#include <QApplication>

#include "window/main_window.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velsor"));
  velsor::MainWindow mainWindow;
  mainWindow.show();
  return QApplication::exec();
}
